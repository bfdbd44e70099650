#pragma once

#include "controls/cpropertypage.h"

class CEditorSettings;
class CKestruneSettings;
class COptionsNumber;
class QCheckBox;
class QComboBox;
class QRadioButton;

// Page "Editor": the editor's general values and the main program's three
// settings of the separate editor window.
class COptionsEditor : public CPropertyPage {
public:
    COptionsEditor(CKestruneSettings& settings, CEditorSettings& editor, QWidget* parent = nullptr);

    void Load() override;
    bool Apply() override;

private:
    void UpdateEnabled();

    CKestruneSettings& m_settings;
    CEditorSettings& m_editor;
    QCheckBox* m_separate;
    QCheckBox* m_openStart;
    QCheckBox* m_closeExit;
    QCheckBox* m_autoComplete;
    QCheckBox* m_calltips;
    QCheckBox* m_showAll;
    QCheckBox* m_reopen;
    QCheckBox* m_askOctave;
    QCheckBox* m_focusOnRun;
    QCheckBox* m_dirOnRun;
    COptionsNumber* m_tabSize;
    QCheckBox* m_useSpaces;
    QComboBox* m_comment;
    QRadioButton* m_smartIndent;
    QRadioButton* m_noIndent;
    QCheckBox* m_externModified;
};
