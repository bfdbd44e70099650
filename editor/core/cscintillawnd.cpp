#include "editor/core/cscintillawnd.h"

#include "common/ctokenizer.h"
#include "platform/ceditorsettings.h"
#include "editor/core/filenamebytes.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QPixmap>

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <QSaveFile>

#include <cctype>
#include <vector>

namespace {

// Messages and values the component headers do not name.
constexpr unsigned kWrapVisualFlagsLocation = 2462;  // SCI_SETWRAPVISUALFLAGSLOCATION
constexpr unsigned kWrapVisualFlags = 2460;          // SCI_SETWRAPVISUALFLAGS
constexpr unsigned kAnnotationSetVisible = 2548;     // SCI_ANNOTATIONSETVISIBLE
constexpr int kOctaveLexer = QsciScintillaBase::SCLEX_OCTAVE;
constexpr int kBraceLightStyle = 34;
constexpr int kLineNumberStyle = 33;

const char kWordChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.";
const char kNumberChars[] = "0123456789.-";

// Extension groups and their lexers, in lookup order.
struct LexerRow {
    const char* extensions;
    int lexer;
};
const LexerRow kLexerTable[] = {
    {"py", 2},
    {"c|cc|cpp|cxx|cs|h|hh|hpp|hxx|sma|dlg|rc|rc2|idl|odl|mak|js|java", 3},
    {"htm|html|shtml|htt|cfm|tpl|hta", 4},
    {"xml|gcl|xsl|svg|xul|xsd|dtd|xslt|axl", 5},
    {"pl|pm|cgi|pod", 6},
    {"sql|spec|body|sps|spb|sf|sp", 7},
    {"vb|bas|frm|cls|ctl|pag|dsr|dob", 8},
    {"properties", 9},
    {"err", 10},
    {"iface|mak", 11},
    {"bat|cmd|nt", 12},
    {"xcode", 13},
    {"tex|sty", 14},
    {"lua", 15},
    {"diff", 16},
    {"conf", 17},
    {"pas|inc|pp", 18},
    {"ave", 19},
    {"ada|ads|adb", 20},
    {"lsp|lisp|scm|smd|ss", 21},
    {"rb", 22},
    {"e", 23},
    {"e", 24},
    {"tcl", 25},
    {"tab|spf", 26},
    {"ant", 27},
    {"vbs|dsm", 28},
    {"bc|cln", 31},
    {"m", 54},
    {"sol", 33},
    {"asm", 34},
    {"cpp", 35},
    {"f|for|f90|f95", 36},
    {"f77", 37},
    {"css", 38},
    {"pov", 39},
    {"lt|lot", 40},
    {"src|em", 41},
};

// Folder markers in the order the marker sets list their symbols.
const int kFolderMarkers[7] = {
    QsciScintillaBase::SC_MARKNUM_FOLDEROPEN,    QsciScintillaBase::SC_MARKNUM_FOLDER,
    QsciScintillaBase::SC_MARKNUM_FOLDERSUB,     QsciScintillaBase::SC_MARKNUM_FOLDERTAIL,
    QsciScintillaBase::SC_MARKNUM_FOLDEREND,     QsciScintillaBase::SC_MARKNUM_FOLDEROPENMID,
    QsciScintillaBase::SC_MARKNUM_FOLDERMIDTAIL,
};

using B = QsciScintillaBase;
const int kFoldSymbols[5][7] = {
    {B::SC_MARK_EMPTY, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY,
     B::SC_MARK_EMPTY, B::SC_MARK_EMPTY},
    {B::SC_MARK_MINUS, B::SC_MARK_PLUS, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY,
     B::SC_MARK_EMPTY, B::SC_MARK_EMPTY},
    {B::SC_MARK_ARROWDOWN, B::SC_MARK_ARROW, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY, B::SC_MARK_EMPTY,
     B::SC_MARK_EMPTY, B::SC_MARK_EMPTY},
    {B::SC_MARK_CIRCLEMINUS, B::SC_MARK_CIRCLEPLUS, B::SC_MARK_VLINE, B::SC_MARK_LCORNERCURVE,
     B::SC_MARK_CIRCLEPLUSCONNECTED, B::SC_MARK_CIRCLEMINUSCONNECTED, B::SC_MARK_TCORNERCURVE},
    {B::SC_MARK_BOXMINUS, B::SC_MARK_BOXPLUS, B::SC_MARK_VLINE, B::SC_MARK_LCORNER,
     B::SC_MARK_BOXPLUSCONNECTED, B::SC_MARK_BOXMINUSCONNECTED, B::SC_MARK_TCORNER},
};

const int kIndicators[] = {29, 31, 28, 27, 26, 25, 24, 23, 22, 21};

// A red dot: breakpoint.
const char* const kBreakpointXpm[] = {
    "12 12 3 1",
    "  c None",
    ". c #C00000",
    "+ c #FF4040",
    "    ....    ",
    "  ........  ",
    " ...++++... ",
    " ..++++++.. ",
    "..++++++++..",
    "..++++++++..",
    "..++++++++..",
    "..++++++++..",
    " ..++++++.. ",
    " ...++++... ",
    "  ........  ",
    "    ....    ",
};

// A yellow arrow: debug position.
const char* const kDebugXpm[] = {
    "12 12 3 1",
    "  c None",
    ". c #806000",
    "+ c #FFD700",
    "     .      ",
    "     ..     ",
    "     .+.    ",
    "......++.   ",
    ".+++++++.   ",
    ".++++++++.  ",
    ".++++++++.  ",
    ".+++++++.   ",
    "......++.   ",
    "     .+.    ",
    "     ..     ",
    "     .      ",
};

// The component's find structure (Sci_TextToFind).
struct TextToFind {
    struct {
        long cpMin;
        long cpMax;
    } chrg;
    const char* lpstrText;
    struct {
        long cpMin;
        long cpMax;
    } chrgText;
};

// The component's own accessibility object converts the caret position into a
// character count from the start of the text on every caret move, which makes
// each key cost time in proportion to the file. Unless an assistive tool is
// listening when the window is first asked for, the editing window gets a
// plain accessible widget instead.
QAccessibleInterface* EditingWindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("CScintillaWnd") && object && object->isWidgetType() &&
        !QAccessible::isActive())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

CScintillaWnd::LineEnd DetectLineEnd(const QByteArray& text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            return CScintillaWnd::LineEnd::Lf;
        if (text[i] == '\r') {
            return i + 1 < text.size() && text[i + 1] == '\n' ? CScintillaWnd::LineEnd::CrLf
                                                               : CScintillaWnd::LineEnd::Cr;
        }
    }
    return CScintillaWnd::LineEnd::Lf;
}

}  // namespace

CScintillaWnd::CScintillaWnd(QWidget* parent) : QsciScintilla(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(EditingWindowAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    SendScintilla(SCI_SETEOLMODE, static_cast<int>(m_lineEnd));
    SendScintilla(SCI_SETMOUSEDWELLTIME, 400);
    // Completion lists come in the keyword list's own order, not sorted.
    SendScintilla(SCI_AUTOCSETORDER, 2);  // SC_ORDER_CUSTOM
    connect(this, &QsciScintillaBase::SCN_DWELLSTART, this, &CScintillaWnd::OnDwellStart);
    connect(this, &QsciScintillaBase::SCN_DWELLEND, this, [this](int, int, int) {
        m_lastHoverPoint = QPoint(-1, -1);
        emit hoverEnded();
    });
    // Line-number width follows the number of digits of the line count.
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & SC_UPDATE_CONTENT) && m_lineNumbers)
            UpdateLineNumberWidth();
    });
}

void CScintillaWnd::ApplySettings(const CEditorSettings& s, const QByteArray& keywords)
{
    // 1. Lexer.
    SendScintilla(SCI_SETLEXER, m_lexer);
    SendScintilla(SCI_SETSTYLEBITS, SendScintilla(SCI_GETSTYLEBITSNEEDED));
    // 2. Keyword set 0.
    SendScintilla(SCI_SETKEYWORDS, 0UL, keywords.constData());
    // 3. The nine styles, in the lexer's order of importance.
    static const int kStyleOrder[] = {0, 1, 3, 2, 4, 5, 6, 7, 8};
    for (int style : kStyleOrder) {
        const CStyleSettings& st = s.styles[style];
        SendScintilla(SCI_STYLESETFORE, style, st.foreColor);
        SendScintilla(SCI_STYLESETBACK, style, st.backColor);
        SendScintilla(SCI_STYLESETSIZE, style, st.fontSize);
        SendScintilla(SCI_STYLESETFONT, static_cast<uintptr_t>(style),
                      st.fontName.toUtf8().constData());
        SendScintilla(SCI_STYLESETBOLD, style, st.bold ? 1 : 0);
        SendScintilla(SCI_STYLESETITALIC, style, st.italic ? 1 : 0);
        SendScintilla(SCI_STYLESETUNDERLINE, style, st.underline ? 1 : 0);
    }
    // 4. Zoom, tabs and indentation.
    SendScintilla(SCI_SETZOOM, s.zoomLevel);
    SendScintilla(SCI_SETTABWIDTH, s.tabSize);
    SendScintilla(SCI_SETUSETABS, s.useSpaces ? 0 : 1);
    SendScintilla(SCI_SETINDENT, 0);  // indent equals the tab width
    SendScintilla(SCI_SETTABINDENTS, 1);
    SendScintilla(SCI_SETINDENTATIONGUIDES, 3);  // SC_IV_LOOKBOTH
    SendScintilla(kWrapVisualFlagsLocation, 0);
    SendScintilla(kWrapVisualFlags, 1);
    // 5. Caret (4 pixels stands for a block caret).
    SendScintilla(SCI_SETCARETSTYLE, s.caretWidth == 4 ? 2 : 1);
    SendScintilla(SCI_SETCARETWIDTH, s.caretWidth);
    SendScintilla(SCI_SETCARETFORE, s.caretColor);
    SendScintilla(SCI_SETCARETPERIOD, s.caretPeriod);
    SendScintilla(SCI_SETCARETLINEVISIBLE, s.caretLineVisible ? 1 : 0);
    SendScintilla(SCI_SETCARETLINEBACK, s.caretLineColor);
    // 6. Selection.
    SendScintilla(SCI_SETSELFORE, s.selectionUseForeColor ? 1UL : 0UL, s.selectionForeColor);
    SendScintilla(SCI_SETSELBACK, s.selectionUseBackColor ? 1UL : 0UL, s.selectionBackColor);
    SendScintilla(SCI_SETSELEOLFILLED, s.selectionEolFilled ? 1 : 0);
    // 7. Left text margin.
    SendScintilla(SCI_SETMARGINLEFT, 0UL, 10L);
    // 8. Lexer properties.
    SendScintilla(SCI_SETPROPERTY, "fold", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.compact", "0");
    SendScintilla(SCI_SETPROPERTY, "fold.comment", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.preprocessor", "1");
    SendScintilla(SCI_SETPROPERTY, "lexer.cpp.track.preprocessor", "0");
    // 9. Folding and margins.
    SendScintilla(SCI_SETFOLDFLAGS, 16);  // line below a folded block
    SendScintilla(SCI_SETMARGINMASKN, static_cast<unsigned long>(FoldingMargin),
                  static_cast<long>(SC_MASK_FOLDERS));
    // Told before each insertion and deletion, not after: the component's
    // accessibility hook on the after-notices counts characters from the start
    // of the text on every key.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    SendScintilla(SCI_SETMARGINSENSITIVEN, LineNumberMargin, 1);
    SendScintilla(SCI_SETMARGINSENSITIVEN, SelectionMargin, 1);
    SendScintilla(SCI_SETMARGINSENSITIVEN, FoldingMargin, 1);
    // 10. Folder markers of the chosen set.
    const int set = s.foldingStyle >= 0 && s.foldingStyle <= 4 ? s.foldingStyle : 0;
    for (int i = 0; i < 7; ++i) {
        SendScintilla(SCI_MARKERDEFINE, kFolderMarkers[i], kFoldSymbols[set][i]);
        SendScintilla(SCI_MARKERSETFORE, kFolderMarkers[i], 0xFFFFFF);
        SendScintilla(SCI_MARKERSETBACK, kFolderMarkers[i], s.foldingColor);
    }
    // 11. Matching brace.
    SendScintilla(SCI_STYLESETBACK, kBraceLightStyle, 0x00FFFF);
    // 12. Line ends: the file's own style; the text is never converted.
    SendScintilla(SCI_SETEOLMODE, static_cast<int>(m_lineEnd));
    // 13. Breakpoint and debug-position images.
    SendScintilla(SCI_MARKERDEFINEPIXMAP, static_cast<unsigned long>(BreakpointMarker),
                  QPixmap(kBreakpointXpm));
    SendScintilla(SCI_MARKERDEFINEPIXMAP, static_cast<unsigned long>(DebugMarker),
                  QPixmap(kDebugXpm));
    // 14. Margins.
    ShowLineNumbers(true);
    ShowFoldingMargin(s.foldingStyle != 0);
    ShowSelectionMargin(true);
    // 15. Annotations boxed.
    SendScintilla(kAnnotationSetVisible, 2);
    // 16. Indicators (30 is left alone).
    for (int indicator : kIndicators)
        SendScintilla(SCI_INDICSETSTYLE, indicator, INDIC_ROUNDBOX);
    for (int indicator : kIndicators)
        SendScintilla(SCI_INDICSETALPHA, indicator, 100);
    for (int indicator : kIndicators)
        SendScintilla(SCI_INDICSETUNDER, indicator, 1);
    // 17. Edge; a line edge stands at twice the column.
    SendScintilla(SCI_SETEDGEMODE, s.edgeStyle);
    SendScintilla(SCI_SETEDGECOLUMN, s.edgeStyle == 1 ? s.edgeColumn * 2 : s.edgeColumn);
    SendScintilla(SCI_SETEDGECOLOUR, s.edgeColor);
    // 18. Call tips.
    SendScintilla(SCI_CALLTIPSETFORE, 0x808080);
    SendScintilla(SCI_CALLTIPSETBACK, 0xD2FAFA);
    SendScintilla(SCI_CALLTIPSETFOREHLT, 0xFF0000);
    // 19. A dotted name (a structure field) is one word.
    SendScintilla(SCI_SETWORDCHARS, 0UL, kWordChars);
    // 20. The component's own context menu is off.
    SendScintilla(SCI_USEPOPUP, 0);
    // 21. Blanks and line ends.
    ShowAllCharacters(s.showAllCharacters);
}

void CScintillaWnd::SetLineEnd(LineEnd mode)
{
    m_lineEnd = mode;
    SendScintilla(SCI_SETEOLMODE, static_cast<int>(mode));
}

int CScintillaWnd::LexerForExtension(const std::string& extension)
{
    std::string lower = extension;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const LexerRow& row : kLexerTable) {
        CTokenizer tokens(row.extensions, "|");
        while (tokens.HasMoreTokens()) {
            if (tokens.NextToken() == lower)
                return row.lexer;
        }
    }
    return kOctaveLexer;
}

bool CScintillaWnd::LoadFromFile(const QString& path, QString* error)
{
    // Read first: a file that cannot be read leaves the text as it was.
    QByteArray bytes;
    QString reason;
    if (!FileNameBytes::ReadFile(path, bytes, &reason)) {
        if (error)
            *error = QStringLiteral("Cannot open %1").arg(reason);
        return false;
    }

    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const std::string extension =
        dot > slash ? path.mid(dot + 1).toStdString() : std::string();
    m_lexer = LexerForExtension(extension);
    SendScintilla(SCI_SETLEXER, m_lexer);

    SendScintilla(SCI_CANCEL);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_CLEARALL);
    SetLineEnd(DetectLineEnd(bytes));
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0);
    return true;
}

bool CScintillaWnd::SaveToFile(const QString& path, QString* error)
{
    // Written beside the old file and renamed over it only when complete, so
    // a full disk or a refused write never leaves a truncated file.
    const long length = GetLength();
    const char* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    QString reason;
    if (!FileNameBytes::WriteFile(path, QByteArray(text, int(length)), &reason)) {
        if (error)
            *error = QStringLiteral("Cannot save %1").arg(reason);
        return false;
    }
    SendScintilla(SCI_SETSAVEPOINT);
    return true;
}

QByteArray CScintillaWnd::GetWordAt(long position, bool numeric, long* startOut, long* endOut)
{
    if (numeric)
        SendScintilla(SCI_SETWORDCHARS, 0UL, kNumberChars);
    const long start = SendScintilla(SCI_WORDSTARTPOSITION, static_cast<unsigned long>(position), 1L);
    const long end = SendScintilla(SCI_WORDENDPOSITION, static_cast<unsigned long>(position), 1L);
    if (numeric)
        SendScintilla(SCI_SETWORDCHARS, 0UL, kWordChars);
    if (startOut)
        *startOut = start;
    if (endOut)
        *endOut = end;
    if (end <= start)
        return QByteArray();
    QByteArray word(end - start + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, start, end, word.data());
    word.chop(1);
    return word;
}

QByteArray CScintillaWnd::GetText()
{
    const long length = GetLength();
    QByteArray text(length + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), text.data());
    text.chop(1);
    return text;
}

void CScintillaWnd::SetText(const QByteArray& text)
{
    SendScintilla(SCI_SETTEXT, text.constData());
}

long CScintillaWnd::GetLength()
{
    return SendScintilla(SCI_GETLENGTH);
}

long CScintillaWnd::GetLineCount()
{
    return SendScintilla(SCI_GETLINECOUNT);
}

QByteArray CScintillaWnd::GetLine(long line)
{
    const long length = SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(line));
    QByteArray text(length + 1, '\0');
    SendScintilla(SCI_GETLINE, static_cast<unsigned long>(line), text.data());
    text.truncate(length);
    return text;
}

QByteArray CScintillaWnd::GetSelectedText()
{
    const long length = SendScintilla(SCI_GETSELECTIONEND) - SendScintilla(SCI_GETSELECTIONSTART);
    // The message writes the terminating zero too.
    QByteArray text(length + 1, '\0');
    SendScintilla(SCI_GETSELTEXT, 0UL, text.data());
    text.truncate(length);
    return text;
}

void CScintillaWnd::GotoLine(long line)
{
    SendScintilla(SCI_GOTOLINE, static_cast<unsigned long>(line));
}

void CScintillaWnd::GotoPosition(long position)
{
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(position));
}

long CScintillaWnd::GetCurrentPosition()
{
    return SendScintilla(SCI_GETCURRENTPOS);
}

long CScintillaWnd::GetAnchor()
{
    return SendScintilla(SCI_GETANCHOR);
}

long CScintillaWnd::LineFromPosition(long position)
{
    return SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
}

long CScintillaWnd::PositionFromLine(long line)
{
    return SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

long CScintillaWnd::GetLineEndPosition(long line)
{
    return SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
}

int CScintillaWnd::GetLineIndentation(long line)
{
    return static_cast<int>(SendScintilla(SCI_GETLINEINDENTATION, static_cast<unsigned long>(line)));
}

void CScintillaWnd::SetLineIndentation(long line, int indentation)
{
    SendScintilla(SCI_SETLINEINDENTATION, static_cast<unsigned long>(line),
                  static_cast<long>(indentation));
}

long CScintillaWnd::GetLineIndentPosition(long line)
{
    return SendScintilla(SCI_GETLINEINDENTPOSITION, static_cast<unsigned long>(line));
}

int CScintillaWnd::MarkerAdd(long line, int marker)
{
    return static_cast<int>(
        SendScintilla(SCI_MARKERADD, static_cast<unsigned long>(line), static_cast<long>(marker)));
}

void CScintillaWnd::MarkerDelete(long line, int marker)
{
    SendScintilla(SCI_MARKERDELETE, static_cast<unsigned long>(line), static_cast<long>(marker));
}

void CScintillaWnd::MarkerDeleteAll(int marker)
{
    SendScintilla(SCI_MARKERDELETEALL, marker);
}

long CScintillaWnd::MarkerNext(long fromLine, int markerMask)
{
    return SendScintilla(SCI_MARKERNEXT, static_cast<unsigned long>(fromLine),
                         static_cast<long>(markerMask));
}

long CScintillaWnd::MarkerPrevious(long fromLine, int markerMask)
{
    return SendScintilla(SCI_MARKERPREVIOUS, static_cast<unsigned long>(fromLine),
                         static_cast<long>(markerMask));
}

int CScintillaWnd::MarkersOfLine(long line)
{
    return static_cast<int>(SendScintilla(SCI_MARKERGET, static_cast<unsigned long>(line)));
}

long CScintillaWnd::FindText(int flags, long from, long to, const QByteArray& text, long* matchEnd)
{
    TextToFind find{{from, to}, text.constData(), {0, 0}};
    const long found = SendScintilla(SCI_FINDTEXT, static_cast<unsigned long>(flags), &find);
    if (matchEnd)
        *matchEnd = found >= 0 ? find.chrgText.cpMax : -1;
    return found;
}

void CScintillaWnd::SetSelection(long anchor, long caret)
{
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
}

void CScintillaWnd::SetTargetStart(long position)
{
    SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(position));
}

void CScintillaWnd::SetTargetEnd(long position)
{
    SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(position));
}

long CScintillaWnd::ReplaceTarget(const QByteArray& text)
{
    return SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()), text.constData());
}

long CScintillaWnd::SearchInTarget(const QByteArray& text)
{
    return SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.constData());
}

int CScintillaWnd::GetStyleAt(long position)
{
    return static_cast<int>(SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
}

int CScintillaWnd::GetZoom()
{
    return static_cast<int>(SendScintilla(SCI_GETZOOM));
}

void CScintillaWnd::ShowLineNumbers(bool show)
{
    m_lineNumbers = show;
    m_lineNumberDigits = 0;
    if (show)
        UpdateLineNumberWidth();
    else
        SendScintilla(SCI_SETMARGINWIDTHN, LineNumberMargin, 0L);
}

void CScintillaWnd::UpdateLineNumberWidth()
{
    long digits = 1;
    for (long count = GetLineCount(); count >= 10; count /= 10)
        ++digits;
    if (digits == m_lineNumberDigits)
        return;
    m_lineNumberDigits = digits;
    const long width = SendScintilla(SCI_TEXTWIDTH, static_cast<uintptr_t>(kLineNumberStyle), "9");
    SendScintilla(SCI_SETMARGINWIDTHN, static_cast<unsigned long>(LineNumberMargin),
                  width * (digits + 1));
}

void CScintillaWnd::ShowSelectionMargin(bool show)
{
    m_selectionMargin = show;
    SendScintilla(SCI_SETMARGINWIDTHN, SelectionMargin, show ? 16 : 0);
}

void CScintillaWnd::ShowFoldingMargin(bool show)
{
    m_foldingMargin = show;
    SendScintilla(SCI_SETMARGINWIDTHN, FoldingMargin, show ? 16 : 0);
}

void CScintillaWnd::ShowAllCharacters(bool show)
{
    SendScintilla(SCI_SETVIEWWS, show ? SCWS_VISIBLEALWAYS : SCWS_INVISIBLE);
    SendScintilla(SCI_SETVIEWEOL, show ? 1 : 0);
}

void CScintillaWnd::OnDwellStart(int position, int x, int y)
{
    const QPoint point(x, y);
    if (point == m_lastHoverPoint)
        return;
    m_lastHoverPoint = point;
    Q_UNUSED(position);
    const long nearest = SendScintilla(SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(x),
                                       static_cast<long>(y));
    if (nearest < 0)
        return;
    const QByteArray word = GetWordAt(nearest, false).trimmed();
    if (!word.isEmpty())
        emit hoverWord(word, viewport()->mapToGlobal(point));
}

void CScintillaWnd::contextMenuEvent(QContextMenuEvent* event)
{
    emit contextMenuWanted(event->globalPos());
    event->accept();
}

void CScintillaWnd::ReleaseKeys(const QList<QKeySequence>& keys)
{
    QList<int> taken;
    for (const QKeySequence& key : keys) {
        if (!key.isEmpty())
            taken.append(key[0].toCombined());
    }
    for (QsciCommand* command : standardCommands()->commands()) {
        if (taken.contains(command->key()))
            command->setKey(0);
        if (taken.contains(command->alternateKey()))
            command->setAlternateKey(0);
    }
}

void CScintillaWnd::keyPressEvent(QKeyEvent* event)
{
    // The completion list opens on every typed letter, so Enter must still end
    // the line: "end" + Enter would otherwise stay on its line and "x" + Enter
    // would become the list's first name. A name picked with the arrow keys,
    // Tab or a double click is still taken.
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool moves = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (SendScintilla(SCI_AUTOCACTIVE) == 0)
        m_completionPicked = false;
    else if (moves)
        m_completionPicked = true;
    else if (enter && !m_completionPicked)
        SendScintilla(SCI_AUTOCCANCEL);
    else
        m_completionPicked = false;
    QsciScintilla::keyPressEvent(event);
}

void CScintillaWnd::leaveEvent(QEvent* event)
{
    m_lastHoverPoint = QPoint(-1, -1);
    emit hoverEnded();
    QsciScintilla::leaveEvent(event);
}
