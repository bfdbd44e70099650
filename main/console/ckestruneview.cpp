#include "main/console/ckestruneview.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "common/cprompttext.h"
#include "controls/cmessagebox.h"
#include "main/console/ccompletionlist.h"
#include "main/console/ccompletionrequest.h"
#include "main/console/chistoryrecall.h"
#include "main/console/iconsolehistory.h"
#include "main/console/iconsolehost.h"
#include "platform/ckestrunesettings.h"
#include "platform/appfolders.h"
#include "platform/ckestrunesettings.h"
#include "platform/cprofile.h"
#include "platform/octavequote.h"

namespace {
const char* const kProgram = "Kestrune";

QString Program()
{
    return QString::fromLatin1(kProgram);
}

// Error locations of current interpreters name a function, not a file:
// "    g at line 3 column 3" after "error: called from".
const QRegularExpression& LocationLine()
{
    static const QRegularExpression expression(
        QStringLiteral("^[ \\t]+(?:-->[ \\t]*)?([A-Za-z_][\\w.:>@-]*) at line (\\d+)(?: column (\\d+))?[ \\t]*$"),
        QRegularExpression::MultilineOption);
    return expression;
}

const QRegularExpression& WebAddress()
{
    static const QRegularExpression expression(QStringLiteral("https?://[^\\s<>\"']+"));
    return expression;
}
}  // namespace

CKestruneView::CKestruneView(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("CommandWindow"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(true);
    setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    m_outputFormat.setFontFamilies({QStringLiteral("Courier New"), QStringLiteral("monospace")});
    m_outputFormat.setForeground(Qt::black);
    m_outputFormat.setFontWeight(QFont::Normal);
    m_outputFormat.setFontItalic(false);
    m_outputFormat.setFontUnderline(false);
    m_outputFormat.setFontStrikeOut(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    const CProfile profile(Program());
    SetZoomLevel(profile.GetInt(QStringLiteral("Command"), QStringLiteral("FontZoomLevel"), 100), false);
    setCurrentCharFormat(m_outputFormat);
    m_completionList = new CCompletionList(this);
    connect(m_completionList, &CCompletionList::accepted, this, &CKestruneView::AcceptCompletion);
}

CKestruneView::~CKestruneView() = default;

QFont CKestruneView::OutputFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("monospace")});
    font.setPointSizeF(10);
    return font;
}

// ---------------------------------------------------------------- output

void CKestruneView::Post(Pending pending)
{
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(m_pendingLock);
        // What ends a burst (a prompt, a question, an echo) is not kept
        // waiting for the frame.
        const bool urgent = m_frameWait && !MidBurst(pending);
        m_pending.push_back(std::move(pending));
        if (!m_flushPosted || urgent) {
            m_flushPosted = true;
            m_frameWait = false;
            post = true;
        }
    }
    if (post)
        QMetaObject::invokeMethod(this, &CKestruneView::FlushPending, Qt::QueuedConnection);
}

void CKestruneView::PostWrite(const QString& text, const std::vector<Span>& spans, int maxLines)
{
    Pending pending;
    pending.op = Pending::Write;
    pending.text = text;
    pending.spans = spans;
    pending.maxLines = maxLines;
    Post(std::move(pending));
}

void CKestruneView::PostEcho(const QString& text)
{
    Pending pending;
    pending.op = Pending::Echo;
    pending.text = text;
    Post(std::move(pending));
}

void CKestruneView::PostReset(const QString& text)
{
    Pending pending;
    pending.op = Pending::Reset;
    pending.text = text;
    Post(std::move(pending));
}

void CKestruneView::PostReplace(const QString& oldText, const QString& newText)
{
    Pending pending;
    pending.op = Pending::Replace;
    pending.text = oldText;
    pending.other = newText;
    Post(std::move(pending));
}

void CKestruneView::PostCaretToEnd()
{
    Pending pending;
    pending.op = Pending::CaretToEnd;
    Post(std::move(pending));
}

long long CKestruneView::AppliedCount() const
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    return m_applied;
}

void CKestruneView::FlushPending()
{
    std::vector<Pending> work;
    {
        std::lock_guard<std::mutex> lock(m_pendingLock);
        m_flushPosted = false;
        // An echo alone waits a moment: the answer usually follows within a
        // few milliseconds and both are then drawn once. Output arriving
        // meanwhile posts its own flush at once.
        const bool onlyEchoes = !m_pending.empty() &&
                                std::all_of(m_pending.begin(), m_pending.end(),
                                            [](const Pending& p) { return p.op == Pending::Echo; });
        if (onlyEchoes && !m_echoDeferred) {
            m_echoDeferred = true;
            QTimer::singleShot(kEchoDelayMs, this, &CKestruneView::FlushPending);
            return;
        }
        m_echoDeferred = false;
        // Whole lines of a running loop, and the window was drawn a moment
        // ago: they wait for the next drawing, however many pieces come.
        const qint64 sinceLast = m_lastFlush.isValid() ? m_lastFlush.elapsed() : kFrameMs;
        if (sinceLast < kFrameMs && !m_pending.empty() && std::all_of(m_pending.begin(), m_pending.end(), MidBurst)) {
            if (!m_frameWait) {
                m_frameWait = true;
                m_flushPosted = true;
                QTimer::singleShot(static_cast<int>(kFrameMs - sinceLast), Qt::PreciseTimer, this, [this] {
                    {
                        std::lock_guard<std::mutex> lock(m_pendingLock);
                        m_frameWait = false;
                    }
                    FlushPending();
                });
            }
            return;
        }
        m_frameWait = false;
        work.swap(m_pending);
    }
    if (work.empty())
        return;
    m_lastFlush.start();
    // Output is not part of what the user can undo: the undo stack is
    // switched off while it is written (which also empties it).
    // Consecutive writes with the same line limit go in as one insertion: the
    // text widget's cost is per insertion, not per byte.
    std::vector<Pending> merged;
    merged.reserve(work.size());
    for (Pending& pending : work) {
        if (!merged.empty() && pending.op == Pending::Write && merged.back().op == Pending::Write &&
            merged.back().maxLines == pending.maxLines) {
            Pending& into = merged.back();
            const int offset = static_cast<int>(into.text.size());
            for (Span span : pending.spans) {
                span.start += offset;
                into.spans.push_back(span);
            }
            into.text += pending.text;
        } else {
            merged.push_back(std::move(pending));
        }
    }
    document()->setUndoRedoEnabled(false);
    for (const Pending& pending : merged)
        Apply(pending);
    document()->setUndoRedoEnabled(true);
    EndOutputEdit();
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_applied += static_cast<long long>(work.size());
}

bool CKestruneView::MidBurst(const Pending& pending)
{
    return pending.op == Pending::Write && pending.text.endsWith(QLatin1Char('\n'));
}

int CKestruneView::LinesBeyond(const QString& text, int maxLines)
{
    if (maxLines <= 0)
        return 0;
    int feeds = 0;
    for (int i = static_cast<int>(text.size()) - 1; i >= 0; --i) {
        if (text.at(i) == QLatin1Char('\n') && ++feeds == maxLines)
            return i + 1;
    }
    return 0;
}

void CKestruneView::EndOutputEdit()
{
    CaretToEnd();
    setCurrentCharFormat(textCursor().charFormat());
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

void CKestruneView::Apply(const Pending& pending)
{
    switch (pending.op) {
    case Pending::Write: {
        // Output goes in front of what the user typed meanwhile, so a
        // statement typed ahead stays the command line behind the prompt.
        const int length = TextLength();
        const int fromInput = length - qMin(m_inputStart, length);
        const int fromSubmitted = m_submittedEnd >= 0 ? length - qMin(m_submittedEnd, length) : -1;
        ApplyWrite(pending, length - fromInput);
        m_inputStart = qMax(0, TextLength() - fromInput);
        m_submittedEnd = fromSubmitted >= 0 ? qMax(0, TextLength() - fromSubmitted) : -1;
        break;
    }
    case Pending::Echo: {
        // The echo stands in for what Enter queued; text typed after that
        // stays behind it as the next command line. A statement sent from
        // elsewhere replaces nothing: what the user is typing stays.
        const int start = qMin(m_inputStart, TextLength());
        const int end = m_submittedEnd >= start ? qMin(m_submittedEnd, TextLength()) : start;
        const int kept = TextLength() - end;
        ReplaceRange(start, end, pending.text);
        m_inputStart = TextLength() - kept;
        m_submittedEnd = -1;
        break;
    }
    case Pending::Reset: {
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        QTextCharFormat bold = m_outputFormat;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(pending.text, bold);
        m_inputStart = TextLength();
        m_submittedEnd = -1;
        break;
    }
    case Pending::Replace: {
        if (pending.text.isEmpty())
            break;
        QTextCursor found = document()->find(pending.text, 0, QTextDocument::FindCaseSensitively);
        while (!found.isNull()) {
            found.insertText(pending.other);
            found = document()->find(pending.text, found.position(), QTextDocument::FindCaseSensitively);
        }
        m_inputStart = TextLength();
        m_submittedEnd = -1;
        break;
    }
    case Pending::CaretToEnd:
        break;
    }
}

void CKestruneView::ApplyWrite(const Pending& pending, int at)
{
    if (pending.text.isEmpty())
        return;
    // Lines the window would trim at once are never inserted: a burst
    // larger than MaxLines costs no more than MaxLines.
    const int skip = LinesBeyond(pending.text, pending.maxLines);
    const QString text = skip ? pending.text.mid(skip) : pending.text;
    QTextCursor cursor(document());
    cursor.setPosition(qBound(0, at, TextLength()));
    const int base = cursor.position() - skip;
    cursor.insertText(text, m_outputFormat);
    for (const Span& span : pending.spans) {
        const int start = base + qMax(span.start, skip);
        const int end = qMin(base + span.start + span.length, TextLength());
        if (span.length <= 0 || start >= end)
            continue;
        if (span.kind == Span::Link) {
            ApplyLinkFormat(start, end, pending.text.mid(span.start, span.length).trimmed());
            continue;
        }
        QTextCursor range(document());
        range.setPosition(start);
        range.setPosition(end, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        if (span.kind == Span::Error)
            format.setForeground(Qt::red);
        else
            format.setFontWeight(QFont::Bold);
        range.mergeCharFormat(format);
    }
    // A link begun by an earlier write is marked whole: the search starts at
    // the beginning of the line the text continues.
    const int lineStart = document()->findBlock(base + skip).position();
    MarkLinks(lineStart, lineStart < base + skip ? TextRange(lineStart, base + skip) + text : text);
    TrimTo(pending.maxLines);
}

void CKestruneView::ApplyLinkFormat(int start, int end, const QString& href)
{
    QTextCursor range(document());
    range.setPosition(start);
    range.setPosition(end, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorHref(href);
    format.setFontUnderline(true);
    format.setForeground(QColor(0, 0, 204));
    range.mergeCharFormat(format);
}

void CKestruneView::MarkLinks(int base, const QString& text)
{
    if (text.contains(QStringLiteral("://"))) {
        QRegularExpressionMatchIterator it = WebAddress().globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            QString url = match.captured(0);
            while (!url.isEmpty() && QStringLiteral(".,;:)]}").contains(url.back()))
                url.chop(1);
            ApplyLinkFormat(base + match.capturedStart(0), base + match.capturedStart(0) + url.size(), url);
        }
    }
    if (text.contains(QStringLiteral(" at line "))) {
        QRegularExpressionMatchIterator it = LocationLine().globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            // Only the function and its position: "g at line 3 column 3".
            const int start = match.capturedStart(1);
            const int end = match.capturedEnd(0);
            QString link = text.mid(start, end - start).trimmed();
            ApplyLinkFormat(base + start, base + start + link.size(), link);
        }
    }
}

void CKestruneView::TrimTo(int maxLines)
{
    if (maxLines <= 0)
        return;
    const int excess = document()->blockCount() - maxLines;
    if (excess <= 0)
        return;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.setPosition(document()->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void CKestruneView::FormatOutputRange(int start, int end, bool bold)
{
    QTextCursor range(document());
    range.setPosition(qBound(0, start, TextLength()));
    range.setPosition(qBound(0, end, TextLength()), QTextCursor::KeepAnchor);
    QTextCharFormat format = m_outputFormat;
    if (bold)
        format.setFontWeight(QFont::Bold);
    range.setCharFormat(format);
}

// ---------------------------------------------------------------- text helpers

int CKestruneView::TextLength() const
{
    return document()->characterCount() - 1;
}

QString CKestruneView::TextRange(int start, int end) const
{
    QTextCursor cursor(document());
    cursor.setPosition(qBound(0, start, TextLength()));
    cursor.setPosition(qBound(0, end, TextLength()), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

int CKestruneView::EditStart() const
{
    return qMin(qMax(m_inputStart, m_submittedEnd), TextLength());
}

QString CKestruneView::CommandLine() const
{
    return TextRange(EditStart(), TextLength());
}

void CKestruneView::ReplaceRange(int start, int end, const QString& text)
{
    QTextCursor cursor(document());
    cursor.setPosition(qBound(0, start, TextLength()));
    cursor.setPosition(qBound(0, end, TextLength()), QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void CKestruneView::SetCaret(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, position, TextLength()));
    setTextCursor(cursor);
}

void CKestruneView::CaretToEnd()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
}

// ---------------------------------------------------------------- keys

bool CKestruneView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Keys of the window's own table win over the menu accelerators.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            switch (key->key()) {
            case Qt::Key_C: case Qt::Key_P: case Qt::Key_N: case Qt::Key_B:
            case Qt::Key_F: case Qt::Key_D: case Qt::Key_A: case Qt::Key_E:
            case Qt::Key_K: case Qt::Key_W: case Qt::Key_L: case Qt::Key_V:
            case Qt::Key_Z: case Qt::Key_Y: case Qt::Key_I: case Qt::Key_X:
            case Qt::Key_Insert:
                event->accept();
                return true;
            default:
                break;
            }
        }
    }
    return QPlainTextEdit::event(event);
}

void CKestruneView::keyPressEvent(QKeyEvent* event)
{
    if (HandleCompletionKey(event))
        return;
    if (!HandleKey(event))
        QPlainTextEdit::keyPressEvent(event);
}

// The keys of the command window while the completion list is shown.
bool CKestruneView::HandleCompletionKey(QKeyEvent* event)
{
    if (!m_completionList->isVisible())
        return false;
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        m_completionList->Accept();
        return true;
    case Qt::Key_Escape:
        m_completionList->hide();
        return false;
    case Qt::Key_Up:
        m_completionList->SelectPrevious();
        return true;
    case Qt::Key_Down:
        m_completionList->SelectNext();
        return true;
    case Qt::Key_P:
    case Qt::Key_N:
        if (control) {
            event->key() == Qt::Key_P ? m_completionList->SelectPrevious() : m_completionList->SelectNext();
            return true;
        }
        break;
    default:
        break;
    }
    const QString text = event->text();
    if (control || text.isEmpty() || !text.at(0).isPrint())
        return false;
    // Typing narrows the list: the character goes in, then the longer token
    // is asked for again. After a delimiter there is no token left to ask for.
    m_completionList->hide();
    if (!HandleKey(event))
        QPlainTextEdit::keyPressEvent(event);
    if (!CCompletionRequest::Delimiters().contains(text.at(0)))
        RequestCompletion();
    return true;
}

bool CKestruneView::HandleKey(QKeyEvent* event)
{
    const QTextCursor cursor = textCursor();
    const int s = cursor.selectionStart();
    const int e = cursor.selectionEnd();
    // P is read once per key and used throughout.
    const int p = qMin(m_inputStart, TextLength());
    const bool control = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key();

    if (isReadOnly()) {
        if (m_host && m_host->IsStarting() && TypeAhead(event))
            return true;
        if (control && key == Qt::Key_C && cursor.hasSelection()) {
            copy();
            return true;
        }
        return false;
    }
    if (event->matches(QKeySequence::Cut)) {
        Cut();
        return true;
    }
    if (control && key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Backspace &&
        key != Qt::Key_Delete && key != Qt::Key_Insert && key != Qt::Key_Left &&
        key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Home && key != Qt::Key_Tab &&
        key != Qt::Key_Space) {
        if (HandleControlKey(event, s, e, p))
            return true;
        // A character that comes with Control held (a keypad digit) is typed
        // at the command line too, never into the output above it.
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint() && s < p)
            CaretToEnd();
        return false;
    }

    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Enter();
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (s < p)
            CaretToEnd();
        else
            RequestCompletion();
        return true;
    case Qt::Key_Escape:
        return false;
    case Qt::Key_Space:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        if (s < p) {
            CaretToEnd();
            return true;
        }
        if (key == Qt::Key_Insert && shift) {
            Paste();
            return true;
        }
        return false;
    case Qt::Key_Left:
        return s == p;
    case Qt::Key_Backspace:
        if (s < p) {
            CaretToEnd();
            return true;
        }
        if (s == p)
            return e <= s;
        if (control) {
            // The word before the caret, never reaching into the prompt.
            const QString line = TextRange(p, s);
            const int blank = static_cast<int>(line.lastIndexOf(QLatin1Char(' ')));
            ReplaceRange(blank < 0 ? p : p + blank + 1, s, QString());
            return true;
        }
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (s < p)
            return false;
        Recall(key == Qt::Key_Up);
        return true;
    case Qt::Key_Home:
        if (s < p)
            return false;
        if (shift) {
            QTextCursor select = textCursor();
            select.setPosition(p);
            select.setPosition(s, QTextCursor::KeepAnchor);
            setTextCursor(select);
        } else {
            SetCaret(p);
        }
        return true;
    default:
        break;
    }
    // Typing anywhere in the output continues the command line.
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && s < p)
        CaretToEnd();
    return false;
}

bool CKestruneView::HandleControlKey(QKeyEvent* event, int s, int e, int p)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_C:
        if (!m_host || !m_host->InterpreterKnown())
            return false;
        if (e > s) {
            copy();
            return true;
        }
        if (m_host->IsConnected())
            m_host->RequestInterrupt();
        return true;
    case Qt::Key_P:
        if (s >= p)
            Recall(true);
        return true;
    case Qt::Key_N:
        if (s < p)
            return false;
        Recall(false);
        return true;
    case Qt::Key_B:
        if (s > p) {
            SetCaret(s - 1);
            return true;
        }
        return false;
    case Qt::Key_F:
        if (s >= p) {
            SetCaret(s + 1);
            return true;
        }
        return false;
    case Qt::Key_D:
        if (s >= p) {
            QTextCursor cursor = textCursor();
            cursor.clearSelection();
            cursor.deleteChar();
            return true;
        }
        return false;
    case Qt::Key_A:
        if (s >= p) {
            SetCaret(p);
            return true;
        }
        return false;
    case Qt::Key_E:
        if (s >= p)
            CaretToEnd();
        return true;
    case Qt::Key_K:
        if (s >= p) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(s);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            return true;
        }
        return false;
    case Qt::Key_W:
        if (s >= p) {
            const QString line = TextRange(p, s);
            const int blank = static_cast<int>(line.lastIndexOf(QLatin1Char(' ')));
            ReplaceRange(blank < 0 ? p : p + blank + 1, s, QString());
            return true;
        }
        return false;
    case Qt::Key_L:
        ClearWindow(true);
        return true;
    case Qt::Key_V:
        if (!m_host || !m_host->InterpreterKnown())
            return false;
        if (s >= p)
            Paste();
        return true;
    case Qt::Key_Z:
        undo();
        return true;
    case Qt::Key_Y:
        redo();
        return true;
    case Qt::Key_I:
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        // Ctrl+Num+ (the menu's Zoom In, which the text control would take as
        // a typed "+") and Ctrl+Shift+Num+ zoom; neither types a sign.
        if (!keypad)
            return false;
        event->key() == Qt::Key_Plus ? ZoomIn() : ZoomOut();
        return true;
    default:
        return false;
    }
}

// While the interpreter starts the window takes no statement, but the keys
// typed meanwhile are kept at the end, as the command line to be.
bool CKestruneView::TypeAhead(QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    m_inputStart = qMin(m_inputStart, TextLength());
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        end.insertText(QStringLiteral("\n"));
        break;
    case Qt::Key_Backspace:
        if (TextLength() <= m_inputStart)
            return true;
        end.deletePreviousChar();
        break;
    default: {
        const QString text = event->text();
        if (text.isEmpty() || !text.at(0).isPrint())
            return false;
        end.insertText(text);
        break;
    }
    }
    CaretToEnd();
    return true;
}

void CKestruneView::ReleaseTypeAhead()
{
    const QString line = CommandLine();
    const int lastFeed = static_cast<int>(line.lastIndexOf(QLatin1Char('\n')));
    CaretToEnd();
    if (lastFeed < 0)
        return;
    const QString rest = line.mid(lastFeed + 1);
    ReplaceRange(EditStart() + lastFeed, TextLength(), QString());
    CaretToEnd();
    Enter();
    textCursor().insertText(rest);
    CaretToEnd();
}

bool CKestruneView::Enter()
{
    const QTextCursor cursor = textCursor();
    const int s = cursor.selectionStart();
    const int p = EditStart();
    if (s < p) {
        CaretToEnd();
        return true;
    }
    const QString line = CommandLine();
    if (line.isEmpty() || line.contains(QStringLiteral("Press Control-C again to abort"))) {
        // One line end, queued like any statement: a running statement that
        // waits for input gets it, otherwise the interpreter answers with
        // one prompt.
        if (m_host) {
            m_host->QueueCommand("", false);
            m_host->RequestWorkspaceRefresh();
        }
        return true;
    }
    CaretToEnd();
    const bool reply = m_host && m_host->WaitsForInput();
    const QStringList pieces = line.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        if (m_host)
            m_host->QueueCommand(piece.toStdString(), true);
        if (m_history && !reply && !piece.contains(QStringLiteral("%-- ")))
            m_history->AddFromWindow(piece);
    }
    QTextCursor end = textCursor();
    end.insertText(QStringLiteral("\n"));
    m_submittedEnd = TextLength();
    return true;
}

void CKestruneView::Recall(bool backwards)
{
    if (!m_history)
        return;
    // Plain positions: a QTextCursor would follow the replacement below.
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    const int p = EditStart();
    const QString prefix = TextRange(p, qMax(anchor, position));
    const CHistoryRecall::Step step =
        backwards ? CHistoryRecall::Backward(m_history->Entries(), m_history->Cursor(), prefix)
                  : CHistoryRecall::Forward(m_history->Entries(), m_history->Cursor(), prefix);
    if (step.action == CHistoryRecall::Action::Nothing)
        return;
    const QString text = step.action == CHistoryRecall::Action::Show ? m_history->Entries().at(step.index)
                                                                    : QString();
    ReplaceRange(p, TextLength(), text);
    // The user's selection comes back, so the caret stays after the prefix.
    QTextCursor restore = textCursor();
    restore.setPosition(qMin(anchor, TextLength()));
    restore.setPosition(qMin(position, TextLength()), QTextCursor::KeepAnchor);
    setTextCursor(restore);
}

void CKestruneView::RequestCompletion()
{
    const QTextCursor cursor = textCursor();
    const int p = qMin(m_inputStart, TextLength());
    const int from = qMax(0, p - 1);
    const CCompletionRequest request =
        CCompletionRequest::Build(TextRange(from, cursor.selectionStart()), cursor.selectionEnd());
    // The token ends at the selection's start; a selection after it is
    // replaced along with it.
    m_completionStart = qMax(p, cursor.selectionStart() - static_cast<int>(request.token.size()));
    m_completionEnd = cursor.selectionEnd();
    m_completionToken = TextRange(m_completionStart, cursor.selectionStart());
    if (m_host)
        m_host->QueueCommand(request.statement.toStdString(), false);
}

void CKestruneView::ShowCompletions(const QStringList& matches)
{
    m_completionList->hide();
    if (matches.isEmpty() || !CompletionRangeHoldsToken())
        return;
    // A single match needs no choice and goes straight into the command line.
    if (matches.size() == 1) {
        AcceptCompletion(matches.first());
        return;
    }
    const QRect caret = cursorRect().translated(viewport()->geometry().topLeft());
    m_completionList->ShowAt(matches, caret);
}

// The command line may have changed since the request (output, Enter,
// recall): the range must still lie in it and still hold the token.
bool CKestruneView::CompletionRangeHoldsToken() const
{
    const int p = qMin(m_inputStart, TextLength());
    const int start = m_completionStart;
    const int end = m_completionEnd;
    return start >= p && end <= TextLength() && start <= end &&
           TextRange(start, start + static_cast<int>(m_completionToken.size())) == m_completionToken;
}

void CKestruneView::AcceptCompletion(const QString& text)
{
    m_completionList->hide();
    setFocus(Qt::OtherFocusReason);
    if (!CompletionRangeHoldsToken())
        return;
    const int start = m_completionStart;
    const int end = m_completionEnd;
    m_completionStart = m_completionEnd = -1;
    // Letters typed after the request, before its answer came, belong to the
    // token: they are replaced as well.
    int replaceEnd = end;
    const QTextCursor cursor = textCursor();
    if (cursor.selectionStart() > end) {
        const QString typed = TextRange(start, cursor.selectionStart());
        if (CCompletionRequest::Build(typed, 0).token == typed)
            replaceEnd = cursor.selectionEnd();
    }
    ReplaceRange(start, replaceEnd, text);
    CaretToEnd();
}

// ---------------------------------------------------------------- clipboard

void CKestruneView::Cut()
{
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && cursor.selectionStart() >= qMin(m_inputStart, TextLength()))
        QPlainTextEdit::cut();
}

void CKestruneView::Paste()
{
    if (isReadOnly())
        return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data)
        insertFromMimeData(data);
}

bool CKestruneView::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText() && textCursor().selectionStart() >= qMin(m_inputStart, TextLength());
}

void CKestruneView::insertFromMimeData(const QMimeData* source)
{
    const int p = qMin(m_inputStart, TextLength());
    QTextCursor cursor = textCursor();
    if (!source->hasText() || cursor.selectionStart() < p)
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cursor.insertText(text, m_outputFormat);
    const int after = cursor.position();
    FormatOutputRange(p, TextLength(), false);
    SetCaret(after);
}

// ---------------------------------------------------------------- commands

bool CKestruneView::ConfirmSetting(bool CKestruneSettings::*confirm, const QString& text)
{
    CKestruneSettings settings = CKestruneSettings::fromSettings(Program());
    if (!(settings.*confirm))
        return true;
    const CMessageBox::Result result =
        CMessageBox::Show(this, text, Program(), QMessageBox::Ok | QMessageBox::Cancel,
                          QMessageBox::Information, QStringLiteral("Don't tell me again"));
    if (result.checked) {
        // Read again: the box may have been open for a while.
        settings = CKestruneSettings::fromSettings(Program());
        settings.*confirm = false;
        settings.toSettings(Program());
    }
    return result.button == QMessageBox::Ok;
}

void CKestruneView::ClearWindow(bool ask)
{
    if (ask && !ConfirmSetting(&CKestruneSettings::confirmClearWindow,
                               QStringLiteral("All text will be cleared from the command window.")))
        return;
    const QString prompt = QString::fromLatin1((m_host && m_host->IsDebugMode()) ? CPromptText::kDebug : CPromptText::kGui);
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(prompt, m_outputFormat);
    document()->setUndoRedoEnabled(true);
    m_inputStart = TextLength();
    m_submittedEnd = -1;
    EndOutputEdit();
}

void CKestruneView::ClearWorkspace()
{
    if (ConfirmSetting(&CKestruneSettings::confirmClearVariables, QStringLiteral("All variables will be deleted.")) && m_host)
        m_host->QueueCommand("clear all", false);
}

void CKestruneView::ClearHistory()
{
    if (ConfirmSetting(&CKestruneSettings::confirmClearHistory,
                       QStringLiteral("Are you sure you want to clear your command history.")) && m_history)
        m_history->Clear();
}

void CKestruneView::OpenDataFile()
{
    const QString filter = QStringLiteral(
        "Matlab File (*.mat);;Hdf5 Format (*.hdf5);;Hdf5 Single Precision (*.fhdf5);;Ascii File (*.txt);;"
        "Binary (*.bin);;Float Binary (*.fbin);;Zip Format (*.zip)");
    QFileDialog dialog(this, QStringLiteral("Open"), CKestruneSettings::fromSettings().workPath, filter);
    dialog.setDefaultSuffix(QStringLiteral("mat"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenDataFile(dialog.selectedFiles().first());
}

void CKestruneView::OpenDataFile(const QString& path)
{
    if (QFileInfo(path).suffix().isEmpty() || !m_host)
        return;
    std::string literal;
    if (!OctaveQuote(path.toStdString(), literal))
        return;
    m_host->QueueCommand("load(" + literal + ");", false);
}

void CKestruneView::DropFiles(const QStringList& paths)
{
    std::string joined;
    for (const QString& path : paths) {
        const std::string statement = OctaveRunFile(path.toStdString());
        if (statement.empty())
            continue;
        if (!joined.empty())
            joined += "\n";
        joined += statement;
    }
    if (!joined.empty() && m_host)
        m_host->QueueCommand(joined, true);
}

void CKestruneView::SetZoomLevel(int level, bool store)
{
    m_zoom = qBound(10, level, 310);
    QFont font = OutputFont();
    font.setPointSizeF(10.0 * m_zoom / 100.0);
    setFont(font);
    if (store) {
        CProfile profile(Program());
        profile.WriteInt(QStringLiteral("Command"), QStringLiteral("FontZoomLevel"), m_zoom);
    }
}

void CKestruneView::ZoomIn()
{
    if (m_zoom < 301)
        SetZoomLevel(m_zoom + 10, true);
}

void CKestruneView::ZoomOut()
{
    if (m_zoom > 19)
        SetZoomLevel(m_zoom - 10, true);
}

void CKestruneView::ZoomDefault()
{
    SetZoomLevel(100, true);
}

// ---------------------------------------------------------------- links

void CKestruneView::ActivateLink(const QString& link)
{
    if (link.contains(QStringLiteral("http://")) || link.contains(QStringLiteral("https://"))) {
        emit webLinkActivated(link);
        QDesktopServices::openUrl(QUrl(link.trimmed()));
        return;
    }
    if (link.contains(QStringLiteral("line "))) {
        static const QRegularExpression functionOnly(
            QStringLiteral("^\\s*(?:-->\\s*)?([A-Za-z_][\\w.:>@-]*) (at line \\d+(?: column \\d+)?)\\s*$"));
        const QRegularExpressionMatch match = functionOnly.match(link);
        if (match.hasMatch()) {
            ResolveLocation(match.captured(1), match.captured(2));
            return;
        }
        if (m_host)
            m_host->OpenInEditor(link.toStdString());
        return;
    }
    // The link's text comes from the interpreter's output: only a name is
    // asked about, as for a typed help topic.
    const QString topic = link.trimmed();
    if (m_host && IsHelpTopic(topic))
        m_host->QueueCommand("help " + topic.toStdString(), true);
}

bool CKestruneView::IsHelpTopic(const QString& topic)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][\\w.]*$"));
    return name.match(topic).hasMatch();
}

void CKestruneView::ResolveLocation(const QString& function, const QString& where)
{
    if (!m_host)
        return;
    const QString file = AppFolders::PrivateTempFolder() +
                         QStringLiteral("/which_%1.txt").arg(++m_resolveSerial);
    QFile::remove(file);
    std::string name;
    std::string target;
    if (!OctaveQuote(function.toStdString(), name) || !OctaveQuote(file.toStdString(), target))
        return;
    // A command-line function keeps its variables out of the user's workspace;
    // the answer appears under its final name only when complete.
    const std::string statement =
        "function KestruneWhich(n, f), fid = fopen([f '.part'], 'w'); fputs(fid, which(n)); "
        "fclose(fid); rename([f '.part'], f); end, KestruneWhich(" + name + ", " + target + ");###";
    m_host->QueueCommand(statement, false);
    auto* timer = new QTimer(this);
    const QDeadlineTimer deadline(10000);
    timer->setInterval(30);
    connect(timer, &QTimer::timeout, this, [this, timer, deadline, file, function, where] {
        if (!QFileInfo::exists(file)) {
            if (!deadline.hasExpired())
                return;
            emit statusMessage(QStringLiteral("The file of %1 was not found.").arg(function));
        } else {
            QFile answer(file);
            QString path;
            if (answer.open(QIODevice::ReadOnly))
                path = QString::fromUtf8(answer.readAll()).trimmed();
            answer.close();
            QFile::remove(file);
            if (!path.isEmpty() && QFileInfo(path).isFile()) {
                if (m_host)
                    m_host->OpenInEditor((path + QLatin1Char(' ') + where).toStdString());
            } else {
                emit statusMessage(QStringLiteral("The file of %1 was not found.").arg(function));
            }
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

void CKestruneView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QString link = anchorAt(event->pos());
        if (!link.isEmpty()) {
            ActivateLink(link);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void CKestruneView::mouseMoveEvent(QMouseEvent* event)
{
    viewport()->setCursor(anchorAt(event->pos()).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    QPlainTextEdit::mouseMoveEvent(event);
}

// ---------------------------------------------------------------- menu, drop, print

void CKestruneView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool editable = !isReadOnly();
    const bool inLine = textCursor().selectionStart() >= qMin(m_inputStart, TextLength());
    menu.addAction(QStringLiteral("Undo"), this, &QPlainTextEdit::undo)->setEnabled(editable && document()->isUndoAvailable());
    menu.addAction(QStringLiteral("Redo"), this, &QPlainTextEdit::redo)->setEnabled(editable && document()->isRedoAvailable());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cut"), this, &CKestruneView::Cut)->setEnabled(editable && inLine && textCursor().hasSelection());
    menu.addAction(QStringLiteral("Copy"), this, &QPlainTextEdit::copy)->setEnabled(textCursor().hasSelection());
    menu.addAction(QStringLiteral("Paste"), this, &CKestruneView::Paste)->setEnabled(editable && inLine);
    menu.addAction(QStringLiteral("Delete"), this, [this] {
        if (textCursor().selectionStart() >= qMin(m_inputStart, TextLength()))
            textCursor().removeSelectedText();
    })->setEnabled(editable && inLine && textCursor().hasSelection());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Clear Window"), this, [this] { ClearWindow(true); });
    menu.exec(event->globalPos());
}

void CKestruneView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CKestruneView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CKestruneView::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (!paths.isEmpty())
        DropFiles(paths);
    event->acceptProposedAction();
}

void CKestruneView::PrintTo(QPrinter* printer)
{
    // 720 twips: half an inch on every side.
    printer->setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    document()->print(printer);
}

void CKestruneView::PrintWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(&printer);
}

void CKestruneView::PrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { PrintTo(target); });
    dialog.exec();
}
