#include "main/options/coptionsediting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "controls/ccolorpicker.h"
#include "main/options/coptionsnumber.h"
#include "platform/ceditorsettings.h"

namespace {
QComboBox* Choices(const QStringList& items, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems(items);
    return box;
}

void Select(QComboBox* box, int index)
{
    box->setCurrentIndex(qBound(0, index, box->count() - 1));
}
}  // namespace

COptionsEditing::COptionsEditing(CEditorSettings& editor, QWidget* parent)
    : CPropertyPage(parent)
    , m_editor(editor)
    , m_caretWidth(Choices({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("Block")},
                           this))
    , m_caretPeriod(new COptionsNumber(0, 10000, this))
    , m_caretColor(new CColorPicker(this))
    , m_edgeStyle(Choices({QStringLiteral("None"), QStringLiteral("Line"), QStringLiteral("Background")}, this))
    , m_edgeColumn(new COptionsNumber(1, 1000, this))
    , m_edgeColor(new CColorPicker(this))
    , m_caretLine(new QCheckBox(QStringLiteral("Enable current line highlighting"), this))
    , m_caretLineColor(new CColorPicker(this))
    , m_foldStyle(Choices({QStringLiteral("None"), QStringLiteral("Plus/Minus"), QStringLiteral("Arrow"),
                           QStringLiteral("Circle tree"), QStringLiteral("Box tree")},
                          this))
    , m_foldColor(new CColorPicker(this))
{
    auto* caret = new QGroupBox(QStringLiteral("Caret"), this);
    auto* caretForm = new QFormLayout(caret);
    caretForm->addRow(QStringLiteral("Width:"), m_caretWidth);
    caretForm->addRow(QStringLiteral("Blink period:"), m_caretPeriod);
    caretForm->addRow(QStringLiteral("Color:"), m_caretColor);

    auto* edge = new QGroupBox(QStringLiteral("Vertical Edge Style"), this);
    auto* edgeForm = new QFormLayout(edge);
    edgeForm->addRow(QStringLiteral("Style:"), m_edgeStyle);
    edgeForm->addRow(QStringLiteral("Columns:"), m_edgeColumn);
    edgeForm->addRow(QStringLiteral("Color:"), m_edgeColor);

    auto* line = new QGroupBox(QStringLiteral("Current Line"), this);
    auto* lineForm = new QFormLayout(line);
    lineForm->addRow(m_caretLine);
    lineForm->addRow(QStringLiteral("Color:"), m_caretLineColor);

    auto* fold = new QGroupBox(QStringLiteral("Folder Margin"), this);
    auto* foldForm = new QFormLayout(fold);
    foldForm->addRow(QStringLiteral("Style:"), m_foldStyle);
    foldForm->addRow(QStringLiteral("Color:"), m_foldColor);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* group : {caret, edge, line, fold})
        layout->addWidget(group);
    layout->addStretch();
}

void COptionsEditing::Load()
{
    Select(m_caretWidth, m_editor.caretWidth);
    m_caretPeriod->SetValue(m_editor.caretPeriod);
    m_caretColor->SetColor(m_editor.caretColor);
    Select(m_edgeStyle, m_editor.edgeStyle);
    m_edgeColumn->SetValue(m_editor.edgeColumn);
    m_edgeColor->SetColor(m_editor.edgeColor);
    m_caretLine->setChecked(m_editor.caretLineVisible);
    m_caretLineColor->SetColor(m_editor.caretLineColor);
    Select(m_foldStyle, m_editor.foldingStyle);
    m_foldColor->SetColor(m_editor.foldingColor);
}

bool COptionsEditing::Apply()
{
    m_editor.caretWidth = m_caretWidth->currentIndex();
    m_editor.caretPeriod = m_caretPeriod->Value();
    m_editor.caretColor = m_caretColor->Color();
    m_editor.edgeStyle = m_edgeStyle->currentIndex();
    m_editor.edgeColumn = m_edgeColumn->Value();
    m_editor.edgeColor = m_edgeColor->Color();
    m_editor.caretLineVisible = m_caretLine->isChecked();
    m_editor.caretLineColor = m_caretLineColor->Color();
    m_editor.foldingStyle = m_foldStyle->currentIndex();
    m_editor.foldingColor = m_foldColor->Color();
    return true;
}
