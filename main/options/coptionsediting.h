#pragma once

#include "controls/cpropertypage.h"

class CColorPicker;
class CEditorSettings;
class COptionsNumber;
class QCheckBox;
class QComboBox;

// Page "Editor::Editing": caret, vertical edge, current line and folding.
class COptionsEditing : public CPropertyPage {
public:
    COptionsEditing(CEditorSettings& editor, QWidget* parent = nullptr);

    void Load() override;
    bool Apply() override;

private:
    CEditorSettings& m_editor;
    QComboBox* m_caretWidth;
    COptionsNumber* m_caretPeriod;
    CColorPicker* m_caretColor;
    QComboBox* m_edgeStyle;
    COptionsNumber* m_edgeColumn;
    CColorPicker* m_edgeColor;
    QCheckBox* m_caretLine;
    CColorPicker* m_caretLineColor;
    QComboBox* m_foldStyle;
    CColorPicker* m_foldColor;
};
