#include "main/options/coptionseditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "main/options/coptionsnumber.h"
#include "platform/ceditorsettings.h"
#include "platform/ckestrunesettings.h"

COptionsEditor::COptionsEditor(CKestruneSettings& settings, CEditorSettings& editor, QWidget* parent)
    : CPropertyPage(parent)
    , m_settings(settings)
    , m_editor(editor)
    , m_separate(new QCheckBox(QStringLiteral("Show as Separate Window"), this))
    , m_openStart(new QCheckBox(QStringLiteral("Open at Kestrune startup"), this))
    , m_closeExit(new QCheckBox(QStringLiteral("Close at Kestrune exit"), this))
    , m_autoComplete(new QCheckBox(QStringLiteral("Enable Auto-completion on each input"), this))
    , m_calltips(new QCheckBox(QStringLiteral("Function parameters hint on input"), this))
    , m_showAll(new QCheckBox(QStringLiteral("Show All Characters"), this))
    , m_reopen(new QCheckBox(QStringLiteral("Reopen files from previous session"), this))
    , m_askOctave(new QCheckBox(QStringLiteral("Ask to open Kestrune at startup"), this))
    , m_focusOnRun(new QCheckBox(QStringLiteral("Change focus to Commnad Window on run"), this))
    , m_dirOnRun(new QCheckBox(QStringLiteral("Change directory on run"), this))
    , m_tabSize(new COptionsNumber(1, 32, this))
    , m_useSpaces(new QCheckBox(QStringLiteral("Use spaces instead of tabs for indentation"), this))
    , m_comment(new QComboBox(this))
    , m_smartIndent(new QRadioButton(QStringLiteral("Smart indent"), this))
    , m_noIndent(new QRadioButton(QStringLiteral("No indent"), this))
    , m_externModified(new QCheckBox(QStringLiteral("Detect files that have been externally modified"), this))
{
    m_separate->setObjectName(QStringLiteral("separateWindow"));
    m_openStart->setObjectName(QStringLiteral("openAtStart"));
    m_closeExit->setObjectName(QStringLiteral("closeAtExit"));
    m_comment->addItems({QStringLiteral("#"), QStringLiteral("%"), QStringLiteral("##")});

    auto* general = new QGroupBox(QStringLiteral("General"), this);
    auto* generalLayout = new QVBoxLayout(general);
    for (QWidget* w : {static_cast<QWidget*>(m_separate), static_cast<QWidget*>(m_openStart),
                       static_cast<QWidget*>(m_closeExit), static_cast<QWidget*>(m_autoComplete),
                       static_cast<QWidget*>(m_calltips), static_cast<QWidget*>(m_showAll),
                       static_cast<QWidget*>(m_reopen), static_cast<QWidget*>(m_askOctave),
                       static_cast<QWidget*>(m_focusOnRun), static_cast<QWidget*>(m_dirOnRun)})
        generalLayout->addWidget(w);
    m_openStart->setContentsMargins(20, 0, 0, 0);
    m_closeExit->setContentsMargins(20, 0, 0, 0);

    auto* tabs = new QGroupBox(QStringLiteral("Tabs and Indent"), this);
    auto* tabsLayout = new QFormLayout(tabs);
    tabsLayout->addRow(QStringLiteral("Tab size:"), m_tabSize);
    tabsLayout->addRow(m_useSpaces);
    tabsLayout->addRow(QStringLiteral("Default comment style:"), m_comment);

    auto* indent = new QGroupBox(QStringLiteral("Indenting for Enter key"), this);
    auto* indentLayout = new QVBoxLayout(indent);
    indentLayout->addWidget(m_smartIndent);
    indentLayout->addWidget(m_noIndent);

    auto* changes = new QGroupBox(QStringLiteral("File changes"), this);
    (new QVBoxLayout(changes))->addWidget(m_externModified);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : {general, tabs, indent, changes})
        layout->addWidget(w);
    layout->addStretch();
    connect(m_separate, &QCheckBox::toggled, this, &COptionsEditor::UpdateEnabled);
}

void COptionsEditor::UpdateEnabled()
{
    m_openStart->setEnabled(m_separate->isChecked());
    m_closeExit->setEnabled(m_separate->isChecked());
}

void COptionsEditor::Load()
{
    m_separate->setChecked(m_settings.useSeparateEditor);
    m_openStart->setChecked(m_settings.openEditorStart);
    m_closeExit->setChecked(m_settings.closeEditorExit);
    m_autoComplete->setChecked(m_editor.autoCompleteEnabled);
    m_calltips->setChecked(m_editor.calltipsEnabled);
    m_showAll->setChecked(m_editor.showAllCharacters);
    m_reopen->setChecked(m_editor.reopenFiles);
    m_askOctave->setChecked(m_editor.openOctaveStart);
    m_focusOnRun->setChecked(m_editor.changeFocusOnRun);
    m_dirOnRun->setChecked(m_editor.changeDirOnRun);
    m_tabSize->SetValue(m_editor.tabSize);
    m_useSpaces->setChecked(m_editor.useSpaces);
    m_comment->setCurrentIndex(qBound(0, m_editor.comment, m_comment->count() - 1));
    m_smartIndent->setChecked(m_editor.smartIndent);
    m_noIndent->setChecked(!m_editor.smartIndent);
    m_externModified->setChecked(m_editor.externModified);
    UpdateEnabled();
}

bool COptionsEditor::Apply()
{
    m_settings.useSeparateEditor = m_separate->isChecked();
    m_settings.openEditorStart = m_openStart->isChecked();
    m_settings.closeEditorExit = m_closeExit->isChecked();
    m_editor.autoCompleteEnabled = m_autoComplete->isChecked();
    m_editor.calltipsEnabled = m_calltips->isChecked();
    m_editor.showAllCharacters = m_showAll->isChecked();
    m_editor.reopenFiles = m_reopen->isChecked();
    m_editor.openOctaveStart = m_askOctave->isChecked();
    m_editor.changeFocusOnRun = m_focusOnRun->isChecked();
    m_editor.changeDirOnRun = m_dirOnRun->isChecked();
    m_editor.tabSize = m_tabSize->Value();
    m_editor.useSpaces = m_useSpaces->isChecked();
    m_editor.comment = m_comment->currentIndex();
    m_editor.smartIndent = m_smartIndent->isChecked();
    m_editor.externModified = m_externModified->isChecked();
    return true;
}
