#pragma once

#include <QString>

#include <array>

class CProfile;

// Look of one lexical style of the Octave lexer.
struct CStyleSettings {
    QString fontName = QStringLiteral("Courier New");
    int fontSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int foreColor = 0x000000;  // 0x00BBGGRR, as the component takes it
    int backColor = 0xFFFFFF;

    bool operator==(const CStyleSettings& other) const;
    bool operator!=(const CStyleSettings& other) const { return !(*this == other); }
};

// Every setting the editor reads from its profile ("Marlinote"): section
// "General" and the appearance sections written by the main program's options.
// A plain value: read it once, hand copies to the views, compare to see what
// changed. Member defaults are the defaults of a first start.
class CEditorSettings {
public:
    static constexpr int StyleCount = 9;
    // Value name of a style in the style sections ("DEFAULT" ... "DOUBLEQUOTESTRING").
    static const char* StyleValueName(int style);
    static CStyleSettings DefaultStyle(int style);

    CEditorSettings();

    void fromSettings(const CProfile& profile);
    void toSettings(CProfile& profile) const;

    bool operator==(const CEditorSettings& other) const;
    bool operator!=(const CEditorSettings& other) const { return !(*this == other); }

    // Section "General".
    bool autoCompleteEnabled = true;
    bool calltipsEnabled = true;
    bool showAllCharacters = false;
    bool smartIndent = true;  // stored as "SmarIndent"
    int comment = 0;          // 0 "#", 1 "%", 2 "##", 3 "%%"
    bool useSpaces = true;
    int tabSize = 4;
    int zoomLevel = 0;
    bool reopenFiles = true;
    bool externModified = true;
    bool autoSaveEnable = true;
    bool deleteOnExit = false;
    int saveTime = 5;
    bool replaceOrAppend = false;
    bool defaultFolder = false;
    QString extension = QStringLiteral("asv");
    QString append = QStringLiteral("~");
    QString savePath;
    bool openOctaveStart = true;
    bool changeDirOnRun = true;
    bool changeFocusOnRun = true;

    // Sections "FontName", "FontSize", ... "BackColor", one value per style.
    std::array<CStyleSettings, StyleCount> styles;

    // Sections "Caret", "CaretLine", "Selection", "Folding", "EdgeLine".
    int caretWidth = 1;  // 4 means a block caret
    int caretColor = 0x000000;
    int caretPeriod = 500;
    bool caretLineVisible = true;
    int caretLineColor = 0xFFFF80;
    int selectionForeColor = 0x000000;
    bool selectionUseForeColor = false;
    int selectionBackColor = 0xC0C0C0;
    bool selectionUseBackColor = true;
    bool selectionEolFilled = false;
    int foldingStyle = 4;  // 0 hides the folding margin, 1..4 marker sets
    int foldingColor = 0x808080;
    int edgeStyle = 1;     // 0 none, 1 line, 2 background
    int edgeColumn = 50;   // drawn at twice this column with style 1
    int edgeColor = 0x808080;
};
