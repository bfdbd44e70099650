#include "main/options/coptionsfontsandcolors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/ccolorpicker.h"
#include "controls/cfontpreview.h"

namespace {
enum Style { Default, Comment, Command, Number, Keyword, String, Operator, Identifier, DoubleQuote };

const char* const kStyleNames[] = {"Default", "Comment",  "Command",    "Number",
                                   "Keyword", "String",   "Operator",   "Identifier",
                                   "Double quote string"};

struct SamplePiece {
    Style style;
    const char* text;
};

const SamplePiece kSample[] = {
    {Comment, "% create a file for output\n"}, {Command, "!touch testFile.txt\n"},
    {Identifier, "fid"},                       {Operator, " = "},
    {Keyword, "fopen"},                        {Operator, "("},
    {DoubleQuote, "\"testFile.txt\""},         {Operator, ", "},
    {String, "'w'"},                           {Operator, ");\n"},
    {Identifier, "num"},                       {Operator, " = "},
    {Number, "100"},
};
}  // namespace

COptionsFontsAndColors::COptionsFontsAndColors(CEditorSettings& editor, QWidget* parent)
    : CPropertyPage(parent)
    , m_editor(editor)
    , m_list(new QListWidget(this))
    , m_font(new QFontComboBox(this))
    , m_size(new QComboBox(this))
    , m_bold(new QCheckBox(QStringLiteral("Bold"), this))
    , m_italic(new QCheckBox(QStringLiteral("Italic"), this))
    , m_underline(new QCheckBox(QStringLiteral("Underline"), this))
    , m_fore(new CColorPicker(this))
    , m_back(new CColorPicker(this))
    , m_sample(new CFontPreview(this))
{
    m_list->setObjectName(QStringLiteral("styles"));
    m_italic->setObjectName(QStringLiteral("italic"));
    for (const char* name : kStyleNames)
        m_list->addItem(QString::fromLatin1(name));
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28})
        m_size->addItem(QString::number(size));
    m_size->setEditable(true);
    m_sample->setObjectName(QStringLiteral("sample"));

    auto* styleGroup = new QGroupBox(QStringLiteral("Style"), this);
    (new QVBoxLayout(styleGroup))->addWidget(m_list);
    auto* restore = new QPushButton(QStringLiteral("Restore Default Styles"), this);
    restore->setObjectName(QStringLiteral("restoreDefaults"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Font:"), m_font);
    form->addRow(QStringLiteral("Size:"), m_size);
    form->addRow(m_bold);
    form->addRow(m_italic);
    form->addRow(m_underline);
    form->addRow(QStringLiteral("Foreground color:"), m_fore);
    form->addRow(QStringLiteral("Background color:"), m_back);
    auto* sampleGroup = new QGroupBox(QStringLiteral("Sample"), this);
    (new QVBoxLayout(sampleGroup))->addWidget(m_sample);

    auto* grid = new QGridLayout(this);
    grid->addWidget(styleGroup, 0, 0);
    grid->addLayout(form, 0, 1);
    grid->addWidget(sampleGroup, 1, 0, 1, 2);
    grid->addWidget(restore, 2, 1, Qt::AlignRight);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        StoreCurrent();
        ShowStyle(row);
    });
    connect(restore, &QPushButton::clicked, this, &COptionsFontsAndColors::RestoreDefaults);
    auto changed = [this] {
        if (!m_showing) {
            StoreCurrent();
            DrawSample();
        }
    };
    connect(m_font, &QFontComboBox::currentFontChanged, this, changed);
    connect(m_size, &QComboBox::currentTextChanged, this, changed);
    for (QCheckBox* box : {m_bold, m_italic, m_underline})
        connect(box, &QCheckBox::toggled, this, changed);
    connect(m_fore, &CColorPicker::colorChanged, this, changed);
    connect(m_back, &CColorPicker::colorChanged, this, changed);
}

void COptionsFontsAndColors::Load()
{
    m_styles = m_editor.styles;
    m_current = -1;
    m_list->setCurrentRow(0);
    DrawSample();
}

void COptionsFontsAndColors::StoreCurrent()
{
    if (m_current < 0 || m_showing)
        return;
    CStyleSettings& style = m_styles[static_cast<size_t>(m_current)];
    if (m_font->currentFont().family() != m_shownFamily)
        style.fontName = m_font->currentFont().family();
    const int size = m_size->currentText().toInt();
    style.fontSize = size > 0 ? qMin(size, 72) : style.fontSize;
    style.bold = m_bold->isChecked();
    style.italic = m_italic->isChecked();
    style.underline = m_underline->isChecked();
    style.foreColor = m_fore->Color();
    style.backColor = m_back->Color();
}

void COptionsFontsAndColors::ShowStyle(int index)
{
    if (index < 0 || index >= CEditorSettings::StyleCount)
        return;
    m_showing = true;
    const CStyleSettings& style = m_styles[static_cast<size_t>(index)];
    m_font->setCurrentFont(QFont(style.fontName));
    m_shownFamily = m_font->currentFont().family();
    m_size->setCurrentText(QString::number(style.fontSize));
    m_bold->setChecked(style.bold);
    m_italic->setChecked(style.italic);
    m_underline->setChecked(style.underline);
    m_fore->SetColor(style.foreColor);
    m_back->SetColor(style.backColor);
    m_current = index;
    m_showing = false;
}

void COptionsFontsAndColors::RestoreDefaults()
{
    for (int i = 0; i < CEditorSettings::StyleCount; ++i)
        m_styles[static_cast<size_t>(i)] = CEditorSettings::DefaultStyle(i);
    ShowStyle(m_current < 0 ? 0 : m_current);
    DrawSample();
}

void COptionsFontsAndColors::DrawSample()
{
    QList<CFontPreview::Piece> pieces;
    for (const SamplePiece& piece : kSample) {
        const CStyleSettings& style = m_styles[static_cast<size_t>(piece.style)];
        QFont font(style.fontName, style.fontSize, style.bold ? QFont::Bold : QFont::Normal, style.italic);
        font.setUnderline(style.underline);
        pieces.append({QString::fromLatin1(piece.text), font, CColorPicker::ToQColor(style.foreColor),
                       CColorPicker::ToQColor(style.backColor)});
    }
    m_sample->SetPieces(pieces);
}

bool COptionsFontsAndColors::Apply()
{
    StoreCurrent();
    m_editor.styles = m_styles;
    return true;
}
