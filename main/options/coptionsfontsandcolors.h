#pragma once

#include <array>

#include "controls/cpropertypage.h"
#include "platform/ceditorsettings.h"

class CColorPicker;
class CFontPreview;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QListWidget;

// Page "Editor::Fonts & Colors": the nine text styles, edited one at a time,
// with a sample drawn in all of them.
class COptionsFontsAndColors : public CPropertyPage {
public:
    COptionsFontsAndColors(CEditorSettings& editor, QWidget* parent = nullptr);

    void Load() override;
    bool Apply() override;

private:
    void StoreCurrent();
    void ShowStyle(int style);
    void RestoreDefaults();
    void DrawSample();

    CEditorSettings& m_editor;
    std::array<CStyleSettings, CEditorSettings::StyleCount> m_styles;
    int m_current = -1;
    // The family the font box settled on for the shown style: a face that is
    // not installed shows as a substitute and must not replace the stored name.
    QString m_shownFamily;
    bool m_showing = false;
    QListWidget* m_list;
    QFontComboBox* m_font;
    QComboBox* m_size;
    QCheckBox* m_bold;
    QCheckBox* m_italic;
    QCheckBox* m_underline;
    CColorPicker* m_fore;
    CColorPicker* m_back;
    CFontPreview* m_sample;
};
