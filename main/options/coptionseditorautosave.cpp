#include "main/options/coptionseditorautosave.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/cmessagebox.h"
#include "main/options/coptionsnumber.h"
#include "platform/ceditorsettings.h"

COptionsEditorAutosave::COptionsEditorAutosave(CEditorSettings& editor, QWidget* parent)
    : CPropertyPage(parent)
    , m_editor(editor)
    , m_enable(new QCheckBox(QStringLiteral("Enable Autosave"), this))
    , m_body(new QWidget(this))
{
    m_saveTime = new COptionsNumber(1, 1440, m_body);
    m_deleteOnExit = new QCheckBox(QStringLiteral("Automatically delete autosave files on close"), m_body);
    m_replace = new QRadioButton(QStringLiteral("Replace extension with:"), m_body);
    m_append = new QRadioButton(QStringLiteral("Append filename with:"), m_body);
    m_extension = new QLineEdit(m_body);
    m_appendText = new QLineEdit(m_body);
    m_sourceFolders = new QRadioButton(QStringLiteral("Source file directories"), m_body);
    m_singleFolder = new QRadioButton(QStringLiteral("Single directory:"), m_body);
    m_savePath = new QLineEdit(m_body);
    m_saveTime->setObjectName(QStringLiteral("saveTime"));
    m_extension->setObjectName(QStringLiteral("extension"));
    m_replace->setObjectName(QStringLiteral("replace"));
    m_append->setObjectName(QStringLiteral("append"));
    m_appendText->setObjectName(QStringLiteral("appendText"));
    auto* naming = new QButtonGroup(this);
    naming->addButton(m_replace);
    naming->addButton(m_append);
    auto* folder = new QButtonGroup(this);
    folder->addButton(m_sourceFolders);
    folder->addButton(m_singleFolder);

    auto* grid = new QGridLayout(m_body);
    grid->addWidget(new QLabel(QStringLiteral("Save every:"), m_body), 0, 0);
    grid->addWidget(m_saveTime, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("minutes"), m_body), 0, 2);
    grid->addWidget(m_deleteOnExit, 1, 0, 1, 3);
    grid->addWidget(m_replace, 2, 0);
    grid->addWidget(m_extension, 2, 1, 1, 2);
    grid->addWidget(m_append, 3, 0);
    grid->addWidget(m_appendText, 3, 1, 1, 2);
    grid->addWidget(m_sourceFolders, 4, 0, 1, 3);
    grid->addWidget(m_singleFolder, 5, 0);
    grid->addWidget(m_savePath, 5, 1, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enable);
    layout->addWidget(m_body);
    layout->addStretch();
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(m_enable), static_cast<QAbstractButton*>(m_replace),
                                    static_cast<QAbstractButton*>(m_append),
                                    static_cast<QAbstractButton*>(m_singleFolder),
                                    static_cast<QAbstractButton*>(m_sourceFolders)})
        connect(button, &QAbstractButton::toggled, this, &COptionsEditorAutosave::UpdateEnabled);
}

void COptionsEditorAutosave::UpdateEnabled()
{
    m_body->setEnabled(m_enable->isChecked());
    m_extension->setEnabled(m_replace->isChecked());
    m_appendText->setEnabled(m_append->isChecked());
    m_savePath->setEnabled(m_singleFolder->isChecked());
}

void COptionsEditorAutosave::Load()
{
    m_enable->setChecked(m_editor.autoSaveEnable);
    m_saveTime->SetValue(m_editor.saveTime);
    m_deleteOnExit->setChecked(m_editor.deleteOnExit);
    (m_editor.replaceOrAppend ? m_append : m_replace)->setChecked(true);
    m_extension->setText(m_editor.extension);
    m_appendText->setText(m_editor.append);
    (m_editor.defaultFolder ? m_singleFolder : m_sourceFolders)->setChecked(true);
    m_savePath->setText(m_editor.savePath);
    UpdateEnabled();
}

bool COptionsEditorAutosave::Apply()
{
    QString extension = m_extension->text().trimmed();
    if (extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    const QString append = m_appendText->text();
    const bool appendMode = m_append->isChecked();
    // The backup must never take the source file's own name.
    const bool clash = appendMode ? append.isEmpty()
                                  : (extension.isEmpty() || extension.compare(QStringLiteral("m"), Qt::CaseInsensitive) == 0);
    if (m_enable->isChecked() && clash) {
        CMessageBox::Show(this,
                          appendMode ? QStringLiteral("The text appended to autosave files must not be empty.")
                                     : QStringLiteral("The autosave extension must differ from \"m\" and not be empty."),
                          QStringLiteral("Kestrune"), QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    m_editor.autoSaveEnable = m_enable->isChecked();
    m_editor.saveTime = m_saveTime->Value();
    m_editor.deleteOnExit = m_deleteOnExit->isChecked();
    m_editor.replaceOrAppend = appendMode;
    if (!clash) {
        m_editor.extension = extension;
        m_editor.append = append;
    }
    m_editor.defaultFolder = m_singleFolder->isChecked();
    m_editor.savePath = m_savePath->text();
    return true;
}
