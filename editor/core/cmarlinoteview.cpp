#include "editor/core/cmarlinoteview.h"

#include "editor/core/breakpointstatements.h"
#include "editor/core/cgotodlg.h"
#include "editor/core/cinterpreterlink.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cscintillawnd.h"
#include "editor/core/octavetext.h"
#include "platform/cprofile.h"
#include "platform/editorprotocol.h"
#include "platform/octavequote.h"

#include <QColorDialog>
#include <QEvent>
#include <QFileInfo>
#include <QFontDialog>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

using B = QsciScintillaBase;

bool IsIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Colours are stored as 0x00BBGGRR.
QColor FromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int ToBgr(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// A line that holds code: not empty and not a comment once blanks are gone.
bool IsCodeLine(const QByteArray& line)
{
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        return c != '%' && c != '#';
    }
    return false;
}

// Only a valid name can be run as a statement; anything else in a file name
// would be read as code.
bool IsOctaveIdentifier(const QByteArray& name)
{
    if (name.isEmpty() || std::isdigit(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(), IsIdentifierChar);
}

QByteArray LineEndText(CScintillaWnd::LineEnd mode)
{
    switch (mode) {
    case CScintillaWnd::LineEnd::CrLf:
        return "\r\n";
    case CScintillaWnd::LineEnd::Cr:
        return "\r";
    default:
        return "\n";
    }
}

}  // namespace

CMarlinoteView::CMarlinoteView(QWidget* parent) : QWidget(parent)
{
    m_editor = new CScintillaWnd(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    setFocusProxy(m_editor);
    m_editor->installEventFilter(this);

    m_doc = new CMarlinoteDoc(this);

    m_cellTimer = new QTimer(this);
    m_cellTimer->setSingleShot(true);
    m_cellTimer->setInterval(150);
    connect(m_cellTimer, &QTimer::timeout, this, [this] {
        RefreshCells(false);
        if (m_textEdited) {
            m_textEdited = false;
            emit textEdited();
        }
    });

    connect(m_editor, &B::SCN_CHARADDED, this, &CMarlinoteView::OnCharAdded);
    connect(m_editor, &B::SCN_UPDATEUI, this, &CMarlinoteView::OnUpdateUi);
    connect(m_editor, &B::SCN_MODIFIED, this, &CMarlinoteView::OnModified);
    connect(m_editor, &B::SCN_MARGINCLICK, this, &CMarlinoteView::OnMarginClick);
    connect(m_editor, &B::SCN_ZOOM, this, &CMarlinoteView::OnZoom);
    connect(m_editor, &B::SCN_CALLTIPCLICK, this, &CMarlinoteView::OnCallTipClick);
    connect(m_editor, &CScintillaWnd::hoverWord, this, &CMarlinoteView::OnHoverWord);
    connect(m_editor, &CScintillaWnd::hoverEnded, this, [this] {
        if (m_link)
            m_link->HideValueTooltip();
    });

    ApplySettings(m_settings);
}

CMarlinoteView::~CMarlinoteView() = default;

void CMarlinoteView::ApplySettings(const CEditorSettings& settings)
{
    m_settings = settings;
    m_editor->ApplySettings(m_settings, m_keywordsJoined);
}

void CMarlinoteView::SetKeywords(const QStringList& keywords)
{
    m_keywords = keywords;
    m_keywordBytes.clear();
    m_keywordBytes.reserve(keywords.size());
    for (const QString& k : keywords)
        m_keywordBytes.push_back(k.toUtf8());
    m_keywordsJoined = keywords.join(QLatin1Char(' ')).toUtf8();
    // The component restyles what it shows by itself.
    m_editor->SendScintilla(B::SCI_SETKEYWORDS, 0UL, m_keywordsJoined.constData());
}

void CMarlinoteView::SetInterpreterLink(CInterpreterLink* link)
{
    m_link = link;
}

bool CMarlinoteView::IsDebugMode() const
{
    return m_link && m_link->IsDebugMode();
}

long CMarlinoteView::GetCaretPosition() const
{
    return m_editor->GetCurrentPosition();
}

void CMarlinoteView::RestoreCaret(long position)
{
    position = std::clamp(position, 0L, m_editor->GetLength());
    m_editor->GotoPosition(position);
    m_editor->SendScintilla(B::SCI_SCROLLCARET);
}

// ---------------------------------------------------------------------------
// Interpreter commands

bool CMarlinoteView::Send(const QByteArray& text, bool activate, bool offerStart, bool echo)
{
    if (!m_link)
        return false;
    return m_link->SendToMainProgram(text, activate, offerStart, echo);
}

QByteArray CMarlinoteView::RememberFunctionName()
{
    const QByteArray name = m_doc->GetFunctionName();
    if (m_link)
        m_link->RememberRequest(name, m_doc->GetPath(), this);
    return name;
}

std::vector<int> CMarlinoteView::GetBreakpoints() const
{
    std::vector<int> lines;
    const int mask = 1 << CScintillaWnd::BreakpointMarker;
    for (long line = m_editor->MarkerNext(0, mask); line >= 0;
         line = m_editor->MarkerNext(line + 1, mask))
        lines.push_back(static_cast<int>(line + 1));
    return lines;
}

std::vector<int> CMarlinoteView::SentBreakpoints() const
{
    std::vector<int> lines = GetBreakpoints();
    // A marker on the first line was never sent.
    lines.erase(std::remove(lines.begin(), lines.end(), 1), lines.end());
    return lines;
}

QByteArray CMarlinoteView::ClearAllBreakpointsStatement() const
{
    return BreakpointStatements::ClearAll(m_doc->GetFunctionName(), SentBreakpoints());
}

QByteArray CMarlinoteView::SetAllBreakpointsStatement() const
{
    return BreakpointStatements::SetAll(m_doc->GetFunctionName(), SentBreakpoints());
}

void CMarlinoteView::ToggleBreakpoint()
{
    ToggleBreakpointAtLine(
        static_cast<int>(m_editor->LineFromPosition(m_editor->GetCurrentPosition()) + 1));
}

void CMarlinoteView::ToggleBreakpointAtLine(int line)
{
    const long index = line - 1;
    const long count = m_editor->GetLineCount();
    if (index < 0 || index >= count)
        return;
    const int bit = 1 << CScintillaWnd::BreakpointMarker;
    if (m_editor->MarkersOfLine(index) & bit) {
        m_editor->MarkerDelete(index, CScintillaWnd::BreakpointMarker);
        if (!m_link || line == 1)
            return;
        std::vector<int> remaining = GetBreakpoints();
        remaining.erase(std::remove(remaining.begin(), remaining.end(), 1), remaining.end());
        const QByteArray statement =
            BreakpointStatements::Clear(RememberFunctionName(), line, remaining);
        if (!statement.isEmpty())
            Send(statement, false, true);
        return;
    }
    long target = index;
    while (target < count && !IsCodeLine(m_editor->GetLine(target)))
        ++target;
    if (target >= count)
        return;
    // The interpreter finds breakpoints by function name only; a marker it
    // can never take would promise a stop that never comes.
    if (m_link && !IsOctaveIdentifier(m_doc->GetFunctionName())) {
        emit errorOccurred(tr("A breakpoint cannot be set in %1: the interpreter sets breakpoints by "
                              "function name, and this file name is not a valid one.")
                               .arg(m_doc->GetBaseTitle()));
        return;
    }
    m_editor->MarkerAdd(target, CScintillaWnd::BreakpointMarker);
    if (target == 0 || !m_link)
        return;  // a marker on the first line is not sent
    const QByteArray statement =
        BreakpointStatements::Set(RememberFunctionName(), static_cast<int>(target + 1));
    if (!statement.isEmpty())
        Send(statement, false, true);
}

void CMarlinoteView::SetBreakpointUsed(int marked, int used)
{
    const long count = m_editor->GetLineCount();
    if (marked < 1 || marked > count || marked == used)
        return;
    if (!(m_editor->MarkersOfLine(marked - 1) & (1 << CScintillaWnd::BreakpointMarker)))
        return;
    m_editor->MarkerDelete(marked - 1, CScintillaWnd::BreakpointMarker);
    if (used >= 1 && used <= count)
        m_editor->MarkerAdd(used - 1, CScintillaWnd::BreakpointMarker);
}

void CMarlinoteView::RunOrContinue()
{
    if (!m_link)
        return;
    if (IsDebugMode()) {
        Send("dbcont", false, false);
        return;
    }
    if (m_doc->GetPath().isEmpty())
        return;
    QString error;
    if (m_doc->IsModified() && !m_doc->Save(&error)) {
        emit errorOccurred(tr("%1 was not run because it could not be saved.\n%2")
                               .arg(m_doc->GetBaseTitle(), error));
        return;
    }
    if (m_settings.changeDirOnRun) {
        std::string folder;
        if (!OctaveQuote(QFileInfo(m_doc->GetPath()).absolutePath().toStdString(), folder))
            return;
        Send("cd " + QByteArray::fromStdString(folder), false, true);
    }
    const QByteArray name = RememberFunctionName();
    // A script named like a command the main program carries out itself
    // (exit.m, clc.m) runs by its path.
    if (IsOctaveIdentifier(name) && !EditorProtocol::IsMainProgramCommand(name)) {
        Send(name, m_settings.changeFocusOnRun, false);
        return;
    }
    const std::string statement = OctaveRunFile(m_doc->GetPath().toStdString());
    if (statement.empty())
        return;
    Send(QByteArray::fromStdString(statement), m_settings.changeFocusOnRun, false);
}

void CMarlinoteView::DebugStep()
{
    if (IsDebugMode())
        Send("dbstep", false, true);
}

void CMarlinoteView::DebugStepIn()
{
    if (IsDebugMode())
        Send("dbstep in", false, true);
}

void CMarlinoteView::DebugStepOut()
{
    if (IsDebugMode())
        Send("dbstep out", false, true);
}

void CMarlinoteView::DebugStop()
{
    if (IsDebugMode())
        Send("dbquit", false, true);
}

void CMarlinoteView::EvaluateSelection()
{
    if (!m_link)
        return;
    const QByteArray text = m_editor->GetSelectedText();
    RememberFunctionName();
    for (QByteArray piece : text.split('\n')) {
        if (piece.endsWith('\r'))
            piece.chop(1);
        if (piece.isEmpty())
            continue;
        Send(piece, m_settings.changeFocusOnRun, true);
    }
}

long CMarlinoteView::SelectCurrentCell()
{
    const long caretLine = m_editor->LineFromPosition(m_editor->GetCurrentPosition());
    const long count = m_editor->GetLineCount();
    long first = 0;
    for (long line = caretLine; line >= 0; --line) {
        if (m_editor->GetLine(line).contains("%% ")) {
            first = line + 1;
            break;
        }
    }
    long next = count;
    for (long line = caretLine + 1; line < count; ++line) {
        if (m_editor->GetLine(line).contains("%% ")) {
            next = line;
            break;
        }
    }
    const long start = m_editor->PositionFromLine(first);
    const long end = next < count ? m_editor->PositionFromLine(next) : m_editor->GetLength();
    m_editor->SetSelection(start, std::max(start, end));
    return next;
}

void CMarlinoteView::EvaluateCurrentCell()
{
    if (!m_link)
        return;
    SelectCurrentCell();
    EvaluateSelection();
}

void CMarlinoteView::EvaluateCurrentCellAndAdvance()
{
    if (!m_link)
        return;
    // The selection ends at the next break: advance to that break itself, not
    // to the one after it.
    const long next = SelectCurrentCell();
    EvaluateSelection();
    if (next >= m_editor->GetLineCount())
        return;
    const int at = m_editor->GetLine(next).indexOf("%% ");
    m_editor->GotoPosition(m_editor->PositionFromLine(next) + at + 3);
}

static QPoint CaretScreenPoint(CScintillaWnd* editor)
{
    const long pos = editor->GetCurrentPosition();
    const int x = static_cast<int>(
        editor->SendScintilla(B::SCI_POINTXFROMPOSITION, 0UL, pos));
    const int y = static_cast<int>(
        editor->SendScintilla(B::SCI_POINTYFROMPOSITION, 0UL, pos));
    return editor->viewport()->mapToGlobal(QPoint(x, y));
}

void CMarlinoteView::DescribeCommand()
{
    if (!m_link)
        return;
    const QByteArray word = m_editor->GetWordAt(m_editor->GetCurrentPosition(), false).trimmed();
    if (word.isEmpty())
        return;
    m_link->RememberTooltip(word, CaretScreenPoint(m_editor), true);
    Send("help " + word + ";###", false, true);
}

void CMarlinoteView::DocumentationOfWord()
{
    if (!m_link)
        return;
    const QByteArray word = m_editor->GetWordAt(m_editor->GetCurrentPosition(), false).trimmed();
    if (!word.isEmpty())
        Send("doc " + word + ";###", false, true);
}

void CMarlinoteView::SetDebugLine(int line)
{
    m_editor->MarkerDeleteAll(CScintillaWnd::DebugMarker);
    m_debugLine = 0;
    if (line <= 0)
        return;
    const long count = m_editor->GetLineCount();
    long target = std::min<long>(line - 1, count - 1);
    m_editor->GotoLine(target);
    while (target < count && !IsCodeLine(m_editor->GetLine(target)))
        ++target;
    if (target >= count)
        target = line - 1 < count ? line - 1 : count - 1;
    m_editor->MarkerAdd(target, CScintillaWnd::DebugMarker);
    m_debugLine = line;
}

void CMarlinoteView::ClearBreakpointsAndDebugLine()
{
    m_editor->MarkerDeleteAll(CScintillaWnd::BreakpointMarker);
    m_editor->MarkerDeleteAll(CScintillaWnd::DebugMarker);
    m_debugLine = 0;
}

// ---------------------------------------------------------------------------
// Cells

void CMarlinoteView::InsertCellBreak()
{
    const long line = m_editor->LineFromPosition(m_editor->GetCurrentPosition());
    const long lineStart = m_editor->PositionFromLine(line);
    const long indentEnd = m_editor->GetLineIndentPosition(line);
    QByteArray indent = m_editor->GetLine(line).left(indentEnd - lineStart);
    const QByteArray text = LineEndText(m_editor->GetLineEnd()) + indent + "%% ";
    const long at = m_editor->GetLineEndPosition(line);
    m_editor->SendScintilla(B::SCI_INSERTTEXT, static_cast<unsigned long>(at), text.constData());
    m_editor->GotoPosition(at + text.size());
}

void CMarlinoteView::InsertCellBreaksAroundSelection()
{
    const long selStart = m_editor->SendScintilla(B::SCI_GETSELECTIONSTART);
    const long selEnd = m_editor->SendScintilla(B::SCI_GETSELECTIONEND);
    const long firstLine = m_editor->LineFromPosition(selStart);
    const long lastLine = m_editor->LineFromPosition(selEnd);
    const QByteArray eol = LineEndText(m_editor->GetLineEnd());
    auto indentOf = [this](long line) {
        const long start = m_editor->PositionFromLine(line);
        return m_editor->GetLine(line).left(m_editor->GetLineIndentPosition(line) - start);
    };
    m_editor->SendScintilla(B::SCI_BEGINUNDOACTION);
    // The break after the selection first, so the first position stays valid.
    const QByteArray after = eol + indentOf(lastLine) + "%% ";
    const long afterAt = m_editor->GetLineEndPosition(lastLine);
    m_editor->SendScintilla(B::SCI_INSERTTEXT, static_cast<unsigned long>(afterAt),
                            after.constData());
    const QByteArray before = indentOf(firstLine) + "%% " + eol;
    m_editor->SendScintilla(B::SCI_INSERTTEXT,
                            static_cast<unsigned long>(m_editor->PositionFromLine(firstLine)),
                            before.constData());
    m_editor->SendScintilla(B::SCI_ENDUNDOACTION);
    m_editor->SetSelection(selStart + before.size(), selEnd + before.size());
}

void CMarlinoteView::NextCell()
{
    const long line = m_editor->LineFromPosition(m_editor->GetCurrentPosition());
    long end = 0;
    const long found =
        m_editor->FindText(0, m_editor->GetLineEndPosition(line), m_editor->GetLength(), "%% ", &end);
    if (found >= 0)
        m_editor->GotoPosition(end);
}

void CMarlinoteView::PreviousCell()
{
    const long line = m_editor->LineFromPosition(m_editor->GetCurrentPosition());
    const long from = m_editor->PositionFromLine(line);
    if (from == 0)
        return;
    long end = 0;
    const long found = m_editor->FindText(0, from - 1, 0, "%% ", &end);
    if (found >= 0)
        m_editor->GotoPosition(end);
}

void CMarlinoteView::GotoCell(int index)
{
    RefreshCells(false);
    if (index < 0 || index >= static_cast<int>(m_cellLines.size()))
        return;
    const long line = m_cellLines[index] - 1;
    const QByteArray text = m_editor->GetLine(line);
    const int at = text.indexOf("%% ");
    m_editor->GotoPosition(m_editor->PositionFromLine(line) + (at >= 0 ? at + 3 : 0));
    m_editor->setFocus();
}

QStringList CMarlinoteView::GetCellNames()
{
    RefreshCells(false);
    return m_cellNames;
}

std::vector<int> CMarlinoteView::GetCellLines()
{
    RefreshCells(false);
    return m_cellLines;
}

int CMarlinoteView::GetCurrentCellIndex()
{
    RefreshCells(false);
    const int caretLine =
        static_cast<int>(m_editor->LineFromPosition(m_editor->GetCurrentPosition()) + 1);
    int index = -1;
    for (int i = 0; i < static_cast<int>(m_cellLines.size()) && m_cellLines[i] <= caretLine; ++i)
        index = i;
    return index;
}

void CMarlinoteView::RefreshCells(bool force)
{
    if (m_cellsDirty || force) {
        m_cellsDirty = false;
        m_cellTimer->stop();
        const char* text =
            static_cast<const char*>(m_editor->SendScintillaPtrResult(B::SCI_GETCHARACTERPOINTER));
        const auto cells = OctaveText::FindCells(text, static_cast<size_t>(m_editor->GetLength()));
        QStringList names;
        std::vector<int> lines;
        for (const auto& cell : cells) {
            names << QString::fromStdString(cell.name);
            lines.push_back(cell.line);
        }
        if (names != m_cellNames || lines != m_cellLines) {
            m_cellNames = names;
            m_cellLines = lines;
            m_currentCell = GetCurrentCellIndex();
            emit cellListChanged(m_cellNames, m_currentCell);
        }
    }
    const int current = GetCurrentCellIndexCached();
    if (current != m_currentCell) {
        m_currentCell = current;
        emit currentCellChanged(current);
    }
}

int CMarlinoteView::GetCurrentCellIndexCached() const
{
    const int caretLine =
        static_cast<int>(m_editor->LineFromPosition(m_editor->GetCurrentPosition()) + 1);
    const auto it = std::upper_bound(m_cellLines.begin(), m_cellLines.end(), caretLine);
    return static_cast<int>(it - m_cellLines.begin()) - 1;
}

// ---------------------------------------------------------------------------
// Number near the caret

void CMarlinoteView::IncrementValue(double step)
{
    ChangeNumber('+', step);
}

void CMarlinoteView::DecrementValue(double step)
{
    ChangeNumber('-', step);
}

void CMarlinoteView::DivideValue(double factor)
{
    ChangeNumber('/', factor);
}

void CMarlinoteView::MultiplyValue(double factor)
{
    ChangeNumber('*', factor);
}

void CMarlinoteView::ChangeNumber(char operation, double operand)
{
    if (operation == '/' && operand == 0)
        return;
    const long caret = m_editor->GetCurrentPosition();
    long start = 0;
    long end = 0;
    const QByteArray word = m_editor->GetWordAt(caret, true, &start, &end);
    bool ok = false;
    const double number = word.toDouble(&ok);
    if (word.isEmpty() || !ok)
        return;
    double result = number;
    switch (operation) {
    case '+':
        result = number + operand;
        break;
    case '-':
        result = number - operand;
        break;
    case '/':
        result = number / operand;
        break;
    default:
        result = number * operand;
        break;
    }
    const QByteArray text = QByteArray::fromStdString(OctaveText::FormatNumber(result));
    m_editor->SetTargetStart(start);
    m_editor->SetTargetEnd(end);
    m_editor->ReplaceTarget(text);
    m_editor->GotoPosition(std::min(caret, start + static_cast<long>(text.size())));
    if (m_link) {
        const long keep = m_editor->GetCurrentPosition();
        EvaluateCurrentCell();
        m_editor->GotoPosition(keep);
    }
}

// ---------------------------------------------------------------------------
// Text commands

void CMarlinoteView::Comment()
{
    const long selStart = m_editor->SendScintilla(B::SCI_GETSELECTIONSTART);
    const long selEnd = m_editor->SendScintilla(B::SCI_GETSELECTIONEND);
    const long first = m_editor->LineFromPosition(selStart);
    const long last = m_editor->LineFromPosition(selEnd);
    const std::string prefix = OctaveText::CommentPrefix(m_settings.comment);
    m_editor->SendScintilla(B::SCI_BEGINUNDOACTION);
    for (long line = first; line <= last; ++line) {
        m_editor->SendScintilla(B::SCI_INSERTTEXT,
                                static_cast<unsigned long>(m_editor->GetLineIndentPosition(line)),
                                prefix.c_str());
    }
    m_editor->SendScintilla(B::SCI_ENDUNDOACTION);
    m_editor->SetSelection(m_editor->PositionFromLine(first), m_editor->GetLineEndPosition(last));
}

void CMarlinoteView::Uncomment()
{
    const long selStart = m_editor->SendScintilla(B::SCI_GETSELECTIONSTART);
    const long selEnd = m_editor->SendScintilla(B::SCI_GETSELECTIONEND);
    const long first = m_editor->LineFromPosition(selStart);
    const long last = m_editor->LineFromPosition(selEnd);
    m_editor->SendScintilla(B::SCI_BEGINUNDOACTION);
    for (long line = first; line <= last; ++line) {
        std::size_t offset = 0;
        const std::size_t length =
            OctaveText::UncommentLength(m_editor->GetLine(line).toStdString(), &offset);
        if (length == 0)
            continue;
        m_editor->SendScintilla(B::SCI_DELETERANGE,
                                static_cast<unsigned long>(m_editor->PositionFromLine(line) +
                                                           static_cast<long>(offset)),
                                static_cast<long>(length));
    }
    m_editor->SendScintilla(B::SCI_ENDUNDOACTION);
    m_editor->SetSelection(m_editor->PositionFromLine(first), m_editor->GetLineEndPosition(last));
}

void CMarlinoteView::Indent()
{
    const long first = m_editor->LineFromPosition(m_editor->SendScintilla(B::SCI_GETSELECTIONSTART));
    const long last = m_editor->LineFromPosition(m_editor->SendScintilla(B::SCI_GETSELECTIONEND));
    m_editor->SendScintilla(B::SCI_BEGINUNDOACTION);
    for (long line = first; line <= last; ++line)
        m_editor->SetLineIndentation(line, m_editor->GetLineIndentation(line) + m_settings.tabSize);
    m_editor->SendScintilla(B::SCI_ENDUNDOACTION);
}

void CMarlinoteView::Unindent()
{
    const long first = m_editor->LineFromPosition(m_editor->SendScintilla(B::SCI_GETSELECTIONSTART));
    const long last = m_editor->LineFromPosition(m_editor->SendScintilla(B::SCI_GETSELECTIONEND));
    m_editor->SendScintilla(B::SCI_BEGINUNDOACTION);
    for (long line = first; line <= last; ++line) {
        m_editor->SetLineIndentation(
            line, std::max(0, m_editor->GetLineIndentation(line) - m_settings.tabSize));
    }
    m_editor->SendScintilla(B::SCI_ENDUNDOACTION);
}

// ---------------------------------------------------------------------------
// Display

void CMarlinoteView::StoreSetting(const char* key, int value)
{
    CProfile profile(QStringLiteral("Marlinote"));
    profile.WriteInt(QStringLiteral("General"), QLatin1String(key), value);
    emit settingsChanged(m_settings);
}

void CMarlinoteView::ZoomIn()
{
    m_editor->SendScintilla(B::SCI_ZOOMIN);
}

void CMarlinoteView::ZoomOut()
{
    m_editor->SendScintilla(B::SCI_ZOOMOUT);
}

void CMarlinoteView::OnZoom()
{
    const int zoom = m_editor->GetZoom();
    if (zoom == m_settings.zoomLevel)
        return;
    m_settings.zoomLevel = zoom;
    StoreSetting("ZoomLevel", zoom);
}

void CMarlinoteView::ToggleAutoCompletion()
{
    m_settings.autoCompleteEnabled = !m_settings.autoCompleteEnabled;
    StoreSetting("AutoCompleteEnabled", m_settings.autoCompleteEnabled ? 1 : 0);
}

void CMarlinoteView::ToggleShowAllCharacters()
{
    m_settings.showAllCharacters = !m_settings.showAllCharacters;
    m_editor->ShowAllCharacters(m_settings.showAllCharacters);
    StoreSetting("ShowAllCharacters", m_settings.showAllCharacters ? 1 : 0);
}

void CMarlinoteView::ToggleLineNumbers()
{
    m_editor->ShowLineNumbers(!m_editor->IsLineNumbersShown());
}

void CMarlinoteView::ToggleSelectionMargin()
{
    m_editor->ShowSelectionMargin(!m_editor->IsSelectionMarginShown());
}

void CMarlinoteView::ToggleFoldingMargin()
{
    m_editor->ShowFoldingMargin(!m_editor->IsFoldingMarginShown());
}

void CMarlinoteView::GotoCharacterPositionDialog()
{
    CGotoDlg dialog(CGotoDlg::Kind::CharacterPosition, m_editor->GetLength(),
                    m_editor->GetCurrentPosition(), this);
    if (dialog.exec() == QDialog::Accepted)
        GotoCharacterPosition(dialog.GetValue());
}

void CMarlinoteView::GotoLineDialog()
{
    CGotoDlg dialog(CGotoDlg::Kind::Line, m_editor->GetLineCount(),
                    m_editor->LineFromPosition(m_editor->GetCurrentPosition()) + 1, this);
    if (dialog.exec() == QDialog::Accepted)
        GotoLineNumber(dialog.GetValue());
}

void CMarlinoteView::GotoCharacterPosition(long position)
{
    m_editor->GotoPosition(std::clamp(position, 0L, m_editor->GetLength()));
    m_editor->setFocus();
}

void CMarlinoteView::GotoLineNumber(long line)
{
    m_editor->GotoLine(std::clamp(line - 1, 0L, m_editor->GetLineCount() - 1));
    m_editor->setFocus();
}

void CMarlinoteView::ChooseStyleForeColor()
{
    const int style = m_editor->GetStyleAt(m_editor->GetCurrentPosition());
    if (style < 0 || style >= CEditorSettings::StyleCount)
        return;
    const QColor color = QColorDialog::getColor(FromBgr(m_settings.styles[style].foreColor), this);
    if (!color.isValid())
        return;
    m_settings.styles[style].foreColor = ToBgr(color);
    m_editor->SendScintilla(B::SCI_STYLESETFORE, style, m_settings.styles[style].foreColor);
    CProfile(QStringLiteral("Marlinote"))
        .WriteInt(QStringLiteral("ForeColor"), QLatin1String(CEditorSettings::StyleValueName(style)),
                  m_settings.styles[style].foreColor);
    emit settingsChanged(m_settings);
}

void CMarlinoteView::ChooseStyleBackColor()
{
    const int style = m_editor->GetStyleAt(m_editor->GetCurrentPosition());
    if (style < 0 || style >= CEditorSettings::StyleCount)
        return;
    const QColor color = QColorDialog::getColor(FromBgr(m_settings.styles[style].backColor), this);
    if (!color.isValid())
        return;
    m_settings.styles[style].backColor = ToBgr(color);
    m_editor->SendScintilla(B::SCI_STYLESETBACK, style, m_settings.styles[style].backColor);
    CProfile(QStringLiteral("Marlinote"))
        .WriteInt(QStringLiteral("BackColor"), QLatin1String(CEditorSettings::StyleValueName(style)),
                  m_settings.styles[style].backColor);
    emit settingsChanged(m_settings);
}

void CMarlinoteView::ChooseStyleFont()
{
    const int style = m_editor->GetStyleAt(m_editor->GetCurrentPosition());
    if (style < 0 || style >= CEditorSettings::StyleCount)
        return;
    CStyleSettings& st = m_settings.styles[style];
    QFont initial(st.fontName, st.fontSize);
    initial.setBold(st.bold);
    initial.setItalic(st.italic);
    initial.setUnderline(st.underline);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, this);
    if (!ok)
        return;
    st.fontName = font.family();
    st.fontSize = font.pointSize() > 0 ? font.pointSize() : st.fontSize;
    st.bold = font.bold();
    st.italic = font.italic();
    st.underline = font.underline();
    ApplySettings(m_settings);
    CProfile profile(QStringLiteral("Marlinote"));
    const QString name = QLatin1String(CEditorSettings::StyleValueName(style));
    profile.WriteString(QStringLiteral("FontName"), name, st.fontName);
    profile.WriteInt(QStringLiteral("FontSize"), name, st.fontSize);
    profile.WriteInt(QStringLiteral("FontBold"), name, st.bold);
    profile.WriteInt(QStringLiteral("FontItalic"), name, st.italic);
    profile.WriteInt(QStringLiteral("FontUnderline"), name, st.underline);
    emit settingsChanged(m_settings);
}

void CMarlinoteView::Undo()
{
    m_editor->SendScintilla(B::SCI_UNDO);
}

void CMarlinoteView::Redo()
{
    m_editor->SendScintilla(B::SCI_REDO);
}

void CMarlinoteView::Cut()
{
    m_editor->SendScintilla(B::SCI_CUT);
}

void CMarlinoteView::Copy()
{
    m_editor->SendScintilla(B::SCI_COPY);
}

void CMarlinoteView::Paste()
{
    m_editor->SendScintilla(B::SCI_PASTE);
}

void CMarlinoteView::Erase()
{
    m_editor->SendScintilla(B::SCI_CLEAR);
}

void CMarlinoteView::SelectAll()
{
    m_editor->SendScintilla(B::SCI_SELECTALL);
}

QString CMarlinoteView::StyleName(int style)
{
    static const char* const kNames[] = {"Default",  "Comment",  "Command",
                                         "Number",   "Keyword",  "String",
                                         "Operator", "Identifier", "Double quote string"};
    if (style < 0 || style >= CEditorSettings::StyleCount)
        return QStringLiteral("Default");
    return QLatin1String(kNames[style]);
}

// ---------------------------------------------------------------------------
// Call tips

void CMarlinoteView::ShowCallTip(const QStringList& signatures)
{
    // The answer may come after the user has closed the call.
    if (!std::exchange(m_callTipAwaited, false))
        return;
    DisplayCallTip(signatures, 0);
}

void CMarlinoteView::DisplayCallTip(const QStringList& signatures, int index)
{
    if (signatures.isEmpty())
        return;
    m_callTipSignatures = signatures;
    m_callTipIndex = (index % signatures.size() + signatures.size()) % signatures.size();
    m_callTipParameter = 0;
    const QByteArray tip = "\x01" + QByteArray::number(m_callTipIndex + 1) + " of " +
                           QByteArray::number(signatures.size()) + "\x02" +
                           signatures[m_callTipIndex].toUtf8();
    m_callTipText = tip;
    m_editor->SendScintilla(B::SCI_CALLTIPSHOW,
                            static_cast<uintptr_t>(m_editor->GetCurrentPosition()), tip.constData());
    HighlightCallTipParameter();
}

void CMarlinoteView::HighlightCallTipParameter()
{
    // The parameter runs from after the "(" or the n-th "," to the next "," or ")".
    int start = m_callTipText.indexOf('(');
    if (start < 0)
        return;
    ++start;
    for (int n = 0; n < m_callTipParameter; ++n) {
        const int comma = m_callTipText.indexOf(',', start);
        if (comma < 0)
            return;
        start = comma + 1;
    }
    int end = start;
    while (end < m_callTipText.size() && m_callTipText[end] != ',' && m_callTipText[end] != ')')
        ++end;
    m_editor->SendScintilla(B::SCI_CALLTIPSETHLT, static_cast<unsigned long>(start),
                            static_cast<long>(end));
}

void CMarlinoteView::OnCallTipClick(int direction)
{
    // 1 is the up arrow, 2 the down arrow.
    if (m_callTipSignatures.isEmpty() || (direction != 1 && direction != 2))
        return;
    DisplayCallTip(m_callTipSignatures, m_callTipIndex + (direction == 1 ? -1 : 1));
}

void CMarlinoteView::CallTipOnChar(int ch)
{
    const bool showing = m_editor->SendScintilla(B::SCI_CALLTIPACTIVE) != 0;
    if (ch == '(') {
        if (!m_link || !m_settings.calltipsEnabled)
            return;
        const long caret = m_editor->GetCurrentPosition();
        const long lineStart = m_editor->PositionFromLine(m_editor->LineFromPosition(caret));
        const QByteArray before = m_editor->GetLine(m_editor->LineFromPosition(caret))
                                      .left(caret - lineStart - 1);
        int end = before.size();
        while (end > 0 && (before[end - 1] == ' ' || before[end - 1] == '\t'))
            --end;
        int start = end;
        while (start > 0 && (IsIdentifierChar(before[start - 1]) || before[start - 1] == '.'))
            --start;
        const QByteArray name = before.mid(start, end - start);
        if (!name.isEmpty())
            m_callTipAwaited = Send("help " + name + ";###", false, false);
    } else if (ch == ',' && showing) {
        ++m_callTipParameter;
        HighlightCallTipParameter();
    } else if (ch == ')') {
        m_callTipAwaited = false;
        if (showing)
            m_editor->SendScintilla(B::SCI_CALLTIPCANCEL);
    }
}

// ---------------------------------------------------------------------------
// Typing

void CMarlinoteView::OnCharAdded(int ch)
{
    CallTipOnChar(ch);
    if (m_settings.autoCompleteEnabled && m_editor->SendScintilla(B::SCI_CALLTIPACTIVE) == 0)
        AutoComplete();
    // A CR LF line end arrives as two characters; act once, on its LF.
    const bool lineEnd =
        ch == '\n' || (ch == '\r' && m_editor->GetLineEnd() == CScintillaWnd::LineEnd::Cr);
    m_lineEnded = lineEnd;
    if (lineEnd && m_settings.smartIndent)
        SmartIndent();
}

void CMarlinoteView::AutoComplete()
{
    const long caret = m_editor->GetCurrentPosition();
    const long lineStart = m_editor->PositionFromLine(m_editor->LineFromPosition(caret));
    const long span = std::min(caret - lineStart, 256L);
    if (span <= 0)
        return;
    QByteArray before(span + 1, '\0');
    m_editor->SendScintilla(B::SCI_GETTEXTRANGE, caret - span, caret, before.data());
    before.chop(1);
    int start = before.size();
    while (start > 0 && IsIdentifierChar(before[start - 1]))
        --start;
    const QByteArray word = before.mid(start);
    if (word.isEmpty())
        return;
    QByteArray list;
    for (const QByteArray& name : m_keywordBytes) {
        if (name.startsWith(word)) {
            if (!list.isEmpty())
                list += ' ';
            list += name;
        }
    }
    if (list.isEmpty()) {
        m_editor->SendScintilla(B::SCI_AUTOCCANCEL);
        return;
    }
    m_editor->SendScintilla(B::SCI_AUTOCSHOW, static_cast<uintptr_t>(word.size()),
                            list.constData());
}

void CMarlinoteView::SmartIndent()
{
    const long line = m_editor->LineFromPosition(m_editor->GetCurrentPosition());
    if (line <= 0)
        return;
    const int tab = std::max(1, m_settings.tabSize);
    const long previous = line - 1;
    int level = m_editor->GetLineIndentation(previous) / tab;
    const std::string word = OctaveText::FirstWord(m_editor->GetLine(previous).toStdString());
    m_editor->SendScintilla(B::SCI_BEGINUNDOACTION);
    if (OctaveText::IsClosingWord(word)) {
        level = std::max(0, level - 1);
        m_editor->SetLineIndentation(previous, level * tab);
    }
    if (OctaveText::IsOpeningWord(word))
        ++level;
    m_editor->SetLineIndentation(line, level * tab);
    m_editor->SendScintilla(B::SCI_ENDUNDOACTION);
    m_editor->GotoPosition(m_editor->GetLineIndentPosition(line));
}

// ---------------------------------------------------------------------------
// Notifications

void CMarlinoteView::OnModified(int, int modificationType, const char*, int, int, int, int, int,
                                int, int)
{
    // The editing window reports changes before they happen (see its event
    // mask); the cell list is recomputed later anyway.
    if (modificationType & (B::SC_MOD_BEFOREINSERT | B::SC_MOD_BEFOREDELETE |
                            B::SC_MOD_INSERTTEXT | B::SC_MOD_DELETETEXT)) {
        m_cellsDirty = true;
        m_textEdited = true;
        m_cellTimer->start();
    }
}

void CMarlinoteView::OnUpdateUi(int)
{
    const long caret = m_editor->GetCurrentPosition();
    const long anchor = m_editor->GetAnchor();
    const long line = m_editor->LineFromPosition(caret);
    const int column = static_cast<int>(m_editor->SendScintilla(B::SCI_GETCOLUMN, static_cast<unsigned long>(caret)));
    const int selection = static_cast<int>(std::labs(caret - anchor));
    if (line + 1 != m_lastLine || column + 1 != m_lastColumn || selection != m_lastSelection) {
        m_lastLine = static_cast<int>(line + 1);
        m_lastColumn = column + 1;
        m_lastSelection = selection;
        emit caretPositionChanged(m_lastLine, m_lastColumn, m_lastSelection);
        if (!m_cellsDirty)
            RefreshCells(false);
    }
    const int style = m_editor->GetStyleAt(caret);
    if (style != m_lastStyle) {
        m_lastStyle = style;
        emit styleNameChanged(StyleName(style));
    }
}

void CMarlinoteView::OnMarginClick(int position, int, int margin)
{
    const long line = m_editor->LineFromPosition(position);
    if (margin == CScintillaWnd::SelectionMargin)
        ToggleBreakpointAtLine(static_cast<int>(line + 1));
    else if (margin == CScintillaWnd::FoldingMargin)
        m_editor->SendScintilla(B::SCI_TOGGLEFOLD, static_cast<unsigned long>(line));
}

void CMarlinoteView::OnHoverWord(const QByteArray& word, const QPoint& screenPoint)
{
    if (!m_link || !m_link->IsDebugMode() || m_link->IsDescribePending())
        return;
    m_link->RememberTooltip(word, screenPoint, false);
    Send("getvalue:" + word, false, false, false);
}

bool CMarlinoteView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::FocusIn)
        emit focusReceived();
    return QWidget::eventFilter(watched, event);
}
