#pragma once

#include "controls/cpropertypage.h"

class CEditorSettings;
class COptionsNumber;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// Page "Editor::Autosave". Refuses a backup name that would be the source
// file's own (extension "m", or nothing to append).
class COptionsEditorAutosave : public CPropertyPage {
public:
    COptionsEditorAutosave(CEditorSettings& editor, QWidget* parent = nullptr);

    void Load() override;
    bool Apply() override;

private:
    void UpdateEnabled();

    CEditorSettings& m_editor;
    QCheckBox* m_enable;
    COptionsNumber* m_saveTime;
    QCheckBox* m_deleteOnExit;
    QRadioButton* m_replace;
    QRadioButton* m_append;
    QLineEdit* m_extension;
    QLineEdit* m_appendText;
    QRadioButton* m_sourceFolders;
    QRadioButton* m_singleFolder;
    QLineEdit* m_savePath;
    QWidget* m_body;
};
