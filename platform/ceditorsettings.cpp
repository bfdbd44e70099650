#include "platform/ceditorsettings.h"

#include "platform/cprofile.h"

namespace {

const char* const kGeneral = "General";

// Style value names and their first-start colours and weight, by style number
// of the Octave lexer.
struct StyleDefault {
    const char* name;
    int foreColor;
    bool bold;
};
const StyleDefault kStyleDefaults[CEditorSettings::StyleCount] = {
    {"DEFAULT", 0x000000, false},    {"COMMENT", 0x228B22, false},
    {"COMMAND", 0xFF0000, false},    {"NUMBER", 0x0080FF, false},
    {"KEYWORD", 0xFF0000, true},     {"STRING", 0x808080, false},
    {"OPERATOR", 0x000000, false},   {"IDENTIFIER", 0x000000, false},
    {"DOUBLEQUOTESTRING", 0x808080, false},
};

bool ReadBool(const CProfile& p, const char* section, const char* key, bool def)
{
    return p.GetInt(QLatin1String(section), QLatin1String(key), def ? 1 : 0) != 0;
}

int ReadInt(const CProfile& p, const char* section, const char* key, int def)
{
    return p.GetInt(QLatin1String(section), QLatin1String(key), def);
}

QString ReadString(const CProfile& p, const char* section, const char* key, const QString& def)
{
    return p.GetString(QLatin1String(section), QLatin1String(key), def);
}

void WriteInt(CProfile& p, const char* section, const char* key, int value)
{
    p.WriteInt(QLatin1String(section), QLatin1String(key), value);
}

void WriteString(CProfile& p, const char* section, const char* key, const QString& value)
{
    p.WriteString(QLatin1String(section), QLatin1String(key), value);
}

}  // namespace

bool CStyleSettings::operator==(const CStyleSettings& o) const
{
    return fontName == o.fontName && fontSize == o.fontSize && bold == o.bold &&
           italic == o.italic && underline == o.underline && foreColor == o.foreColor &&
           backColor == o.backColor;
}

const char* CEditorSettings::StyleValueName(int style)
{
    if (style < 0 || style >= StyleCount)
        return "";
    return kStyleDefaults[style].name;
}

CStyleSettings CEditorSettings::DefaultStyle(int style)
{
    CStyleSettings s;
    if (style >= 0 && style < StyleCount) {
        s.foreColor = kStyleDefaults[style].foreColor;
        s.bold = kStyleDefaults[style].bold;
    }
    return s;
}

CEditorSettings::CEditorSettings()
{
    for (int i = 0; i < StyleCount; ++i)
        styles[i] = DefaultStyle(i);
}

void CEditorSettings::fromSettings(const CProfile& p)
{
    const CEditorSettings d;
    autoCompleteEnabled = ReadBool(p, kGeneral, "AutoCompleteEnabled", d.autoCompleteEnabled);
    calltipsEnabled = ReadBool(p, kGeneral, "CalltipsEnabled", d.calltipsEnabled);
    showAllCharacters = ReadBool(p, kGeneral, "ShowAllCharacters", d.showAllCharacters);
    smartIndent = ReadBool(p, kGeneral, "SmarIndent", d.smartIndent);
    comment = ReadInt(p, kGeneral, "Comment", d.comment);
    useSpaces = ReadBool(p, kGeneral, "UseSpaces", d.useSpaces);
    tabSize = ReadInt(p, kGeneral, "TabSize", d.tabSize);
    zoomLevel = ReadInt(p, kGeneral, "ZoomLevel", d.zoomLevel);
    reopenFiles = ReadBool(p, kGeneral, "ReopenFiles", d.reopenFiles);
    externModified = ReadBool(p, kGeneral, "ExternModified", d.externModified);
    autoSaveEnable = ReadBool(p, kGeneral, "AutoSaveEnable", d.autoSaveEnable);
    deleteOnExit = ReadBool(p, kGeneral, "DeleteOnExit", d.deleteOnExit);
    saveTime = ReadInt(p, kGeneral, "SaveTime", d.saveTime);
    replaceOrAppend = ReadBool(p, kGeneral, "ReplaceOrAppend", d.replaceOrAppend);
    defaultFolder = ReadBool(p, kGeneral, "DefaultFolder", d.defaultFolder);
    extension = ReadString(p, kGeneral, "Extension", d.extension);
    append = ReadString(p, kGeneral, "Append", d.append);
    savePath = ReadString(p, kGeneral, "SavePath", d.savePath);
    openOctaveStart = ReadBool(p, kGeneral, "OpenOctaveStart", d.openOctaveStart);
    changeDirOnRun = ReadBool(p, kGeneral, "ChangeDirOnRun", d.changeDirOnRun);
    changeFocusOnRun = ReadBool(p, kGeneral, "ChangeFocusOnRun", d.changeFocusOnRun);

    for (int i = 0; i < StyleCount; ++i) {
        const char* name = kStyleDefaults[i].name;
        const CStyleSettings sd = DefaultStyle(i);
        CStyleSettings& s = styles[i];
        s.fontName = ReadString(p, "FontName", name, sd.fontName);
        s.fontSize = ReadInt(p, "FontSize", name, sd.fontSize);
        s.bold = ReadBool(p, "FontBold", name, sd.bold);
        s.italic = ReadBool(p, "FontItalic", name, sd.italic);
        s.underline = ReadBool(p, "FontUnderline", name, sd.underline);
        s.foreColor = ReadInt(p, "ForeColor", name, sd.foreColor);
        s.backColor = ReadInt(p, "BackColor", name, sd.backColor);
    }

    caretWidth = ReadInt(p, "Caret", "Width", d.caretWidth);
    caretColor = ReadInt(p, "Caret", "Color", d.caretColor);
    caretPeriod = ReadInt(p, "Caret", "Period", d.caretPeriod);
    caretLineVisible = ReadBool(p, "CaretLine", "Visible", d.caretLineVisible);
    caretLineColor = ReadInt(p, "CaretLine", "Color", d.caretLineColor);
    selectionForeColor = ReadInt(p, "Selection", "ForeColor", d.selectionForeColor);
    selectionUseForeColor = ReadBool(p, "Selection", "UseForeColor", d.selectionUseForeColor);
    selectionBackColor = ReadInt(p, "Selection", "BackColor", d.selectionBackColor);
    selectionUseBackColor = ReadBool(p, "Selection", "UseBackColor", d.selectionUseBackColor);
    selectionEolFilled = ReadBool(p, "Selection", "SelEOLFilled", d.selectionEolFilled);
    foldingStyle = ReadInt(p, "Folding", "Style", d.foldingStyle);
    foldingColor = ReadInt(p, "Folding", "Color", d.foldingColor);
    edgeStyle = ReadInt(p, "EdgeLine", "Style", d.edgeStyle);
    edgeColumn = ReadInt(p, "EdgeLine", "Column", d.edgeColumn);
    edgeColor = ReadInt(p, "EdgeLine", "Color", d.edgeColor);
}

void CEditorSettings::toSettings(CProfile& p) const
{
    WriteInt(p, kGeneral, "AutoCompleteEnabled", autoCompleteEnabled);
    WriteInt(p, kGeneral, "CalltipsEnabled", calltipsEnabled);
    WriteInt(p, kGeneral, "ShowAllCharacters", showAllCharacters);
    WriteInt(p, kGeneral, "SmarIndent", smartIndent);
    WriteInt(p, kGeneral, "Comment", comment);
    WriteInt(p, kGeneral, "UseSpaces", useSpaces);
    WriteInt(p, kGeneral, "TabSize", tabSize);
    WriteInt(p, kGeneral, "ZoomLevel", zoomLevel);
    WriteInt(p, kGeneral, "ReopenFiles", reopenFiles);
    WriteInt(p, kGeneral, "ExternModified", externModified);
    WriteInt(p, kGeneral, "AutoSaveEnable", autoSaveEnable);
    WriteInt(p, kGeneral, "DeleteOnExit", deleteOnExit);
    WriteInt(p, kGeneral, "SaveTime", saveTime);
    WriteInt(p, kGeneral, "ReplaceOrAppend", replaceOrAppend);
    WriteInt(p, kGeneral, "DefaultFolder", defaultFolder);
    WriteString(p, kGeneral, "Extension", extension);
    WriteString(p, kGeneral, "Append", append);
    WriteString(p, kGeneral, "SavePath", savePath);
    WriteInt(p, kGeneral, "OpenOctaveStart", openOctaveStart);
    WriteInt(p, kGeneral, "ChangeDirOnRun", changeDirOnRun);
    WriteInt(p, kGeneral, "ChangeFocusOnRun", changeFocusOnRun);

    for (int i = 0; i < StyleCount; ++i) {
        const char* name = kStyleDefaults[i].name;
        const CStyleSettings& s = styles[i];
        WriteString(p, "FontName", name, s.fontName);
        WriteInt(p, "FontSize", name, s.fontSize);
        WriteInt(p, "FontBold", name, s.bold);
        WriteInt(p, "FontItalic", name, s.italic);
        WriteInt(p, "FontUnderline", name, s.underline);
        WriteInt(p, "ForeColor", name, s.foreColor);
        WriteInt(p, "BackColor", name, s.backColor);
    }

    WriteInt(p, "Caret", "Width", caretWidth);
    WriteInt(p, "Caret", "Color", caretColor);
    WriteInt(p, "Caret", "Period", caretPeriod);
    WriteInt(p, "CaretLine", "Visible", caretLineVisible);
    WriteInt(p, "CaretLine", "Color", caretLineColor);
    WriteInt(p, "Selection", "ForeColor", selectionForeColor);
    WriteInt(p, "Selection", "UseForeColor", selectionUseForeColor);
    WriteInt(p, "Selection", "BackColor", selectionBackColor);
    WriteInt(p, "Selection", "UseBackColor", selectionUseBackColor);
    WriteInt(p, "Selection", "SelEOLFilled", selectionEolFilled);
    WriteInt(p, "Folding", "Style", foldingStyle);
    WriteInt(p, "Folding", "Color", foldingColor);
    WriteInt(p, "EdgeLine", "Style", edgeStyle);
    WriteInt(p, "EdgeLine", "Column", edgeColumn);
    WriteInt(p, "EdgeLine", "Color", edgeColor);
}

bool CEditorSettings::operator==(const CEditorSettings& o) const
{
    return autoCompleteEnabled == o.autoCompleteEnabled && calltipsEnabled == o.calltipsEnabled &&
           showAllCharacters == o.showAllCharacters && smartIndent == o.smartIndent &&
           comment == o.comment && useSpaces == o.useSpaces && tabSize == o.tabSize &&
           zoomLevel == o.zoomLevel && reopenFiles == o.reopenFiles &&
           externModified == o.externModified && autoSaveEnable == o.autoSaveEnable &&
           deleteOnExit == o.deleteOnExit && saveTime == o.saveTime &&
           replaceOrAppend == o.replaceOrAppend && defaultFolder == o.defaultFolder &&
           extension == o.extension && append == o.append && savePath == o.savePath &&
           openOctaveStart == o.openOctaveStart && changeDirOnRun == o.changeDirOnRun &&
           changeFocusOnRun == o.changeFocusOnRun && styles == o.styles &&
           caretWidth == o.caretWidth && caretColor == o.caretColor &&
           caretPeriod == o.caretPeriod && caretLineVisible == o.caretLineVisible &&
           caretLineColor == o.caretLineColor && selectionForeColor == o.selectionForeColor &&
           selectionUseForeColor == o.selectionUseForeColor &&
           selectionBackColor == o.selectionBackColor &&
           selectionUseBackColor == o.selectionUseBackColor &&
           selectionEolFilled == o.selectionEolFilled && foldingStyle == o.foldingStyle &&
           foldingColor == o.foldingColor && edgeStyle == o.edgeStyle &&
           edgeColumn == o.edgeColumn && edgeColor == o.edgeColor;
}
