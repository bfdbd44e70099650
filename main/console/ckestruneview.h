#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCharFormat>

#include <mutex>
#include <string>
#include <vector>

class CKestruneSettings;
class CCompletionList;
class IConsoleHistory;
class IConsoleHost;
class QPrinter;

// The command window: interpreter output accumulates in it and the user types
// statements after the last prompt (the command line starts at the
// input-start position P). Output arrives from the session's threads through
// the Post* calls, which may be called from any thread; everything else runs
// on the GUI thread.
class CKestruneView : public QPlainTextEdit {
    Q_OBJECT
public:
    // A range of text written, in characters of the text it belongs to.
    struct Span {
        int start = 0;
        int length = 0;
        enum Kind { Error, Link, Bold } kind = Error;
    };

    explicit CKestruneView(QWidget* parent = nullptr);
    ~CKestruneView() override;

    void SetHost(IConsoleHost* host) { m_host = host; }
    void SetHistory(IConsoleHistory* history) { m_history = history; }

    // --- Output, callable from any thread (applied in order on the GUI) -----
    void PostWrite(const QString& text, const std::vector<Span>& spans, int maxLines);
    void PostEcho(const QString& text);
    void PostReset(const QString& text);
    void PostReplace(const QString& oldText, const QString& newText);
    void PostCaretToEnd();
    // Applies every pending output now (GUI thread; tests and the benchmark).
    void FlushPending();
    // Number of output operations applied so far (any thread).
    long long AppliedCount() const;

    // --- GUI thread -----------------------------------------------------------
    int InputStart() const { return m_inputStart; }
    // The command line: the text from P to the end.
    QString CommandLine() const;
    // The whole text with line feeds.
    QString Text() const { return toPlainText(); }

    // The interpreter took its first prompt: what was typed while it started
    // becomes the command line, and the lines ended with Return are sent.
    void ReleaseTypeAhead();

    void ClearWindow(bool ask = true);
    void ClearWorkspace();
    void ClearHistory();
    void OpenDataFile();
    void OpenDataFile(const QString& path);
    void DropFiles(const QStringList& paths);
    void Paste();
    void Cut();

    int ZoomLevel() const { return m_zoom; }
    void ZoomIn();
    void ZoomOut();
    void ZoomDefault();
    void SetZoomLevel(int level, bool store);

    // Acts on a clicked link text.
    void ActivateLink(const QString& link);
    // A name help may be asked about (letters, digits, '_' and '.').
    static bool IsHelpTopic(const QString& topic);
    // Prints the whole window (margins of half an inch).
    void PrintTo(QPrinter* printer);
    void PrintWithDialog();
    void PrintPreview();

    // The completion answer: with one match it replaces the token at once,
    // with more the completion list offers them.
    void ShowCompletions(const QStringList& matches);
    CCompletionList* CompletionList() const { return m_completionList; }

    // Output format: the command window's fixed font and colours.
    static QFont OutputFont();
    void FormatOutputRange(int start, int end, bool bold);

    // Resolving an error location that names only a function: the file
    // written by the interpreter holds its path.
    void ResolveLocation(const QString& function, const QString& where);

signals:
    // A link that names a web address (tests observe it instead of a browser).
    void webLinkActivated(const QString& url);
    void statusMessage(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;

private:
    struct Pending {
        enum Op { Write, Echo, Reset, Replace, CaretToEnd } op = Write;
        QString text;
        QString other;
        std::vector<Span> spans;
        int maxLines = 0;
    };

    void Post(Pending pending);
    static bool MidBurst(const Pending& pending);
    static int LinesBeyond(const QString& text, int maxLines);
    void Apply(const Pending& pending);
    void ApplyWrite(const Pending& pending, int at);
    void TrimTo(int maxLines);
    void MarkLinks(int base, const QString& text);
    void ApplyLinkFormat(int start, int end, const QString& href);
    void EndOutputEdit();

    bool HandleKey(QKeyEvent* event);
    bool HandleControlKey(QKeyEvent* event, int s, int e, int p);
    bool TypeAhead(QKeyEvent* event);
    void CaretToEnd();
    void SetCaret(int position);
    int TextLength() const;
    QString TextRange(int start, int end) const;
    void ReplaceRange(int start, int end, const QString& text);
    void Recall(bool backwards);
    void RequestCompletion();
    bool HandleCompletionKey(QKeyEvent* event);
    void AcceptCompletion(const QString& text);
    bool CompletionRangeHoldsToken() const;
    bool Enter();
    int EditStart() const;
    bool ConfirmSetting(bool CKestruneSettings::*confirm, const QString& text);

    IConsoleHost* m_host = nullptr;
    IConsoleHistory* m_history = nullptr;
    int m_inputStart = 0;
    // End of the text that Enter already queued but whose echo has not been
    // drawn yet (-1: none). What the user types after it is the next command
    // line; the queued text must never be sent a second time.
    int m_submittedEnd = -1;
    int m_zoom = 100;
    int m_completionStart = -1;
    int m_completionEnd = -1;
    QString m_completionToken;
    CCompletionList* m_completionList = nullptr;
    int m_resolveSerial = 0;
    QTextCharFormat m_outputFormat;

    mutable std::mutex m_pendingLock;
    std::vector<Pending> m_pending;
    bool m_flushPosted = false;
    bool m_echoDeferred = false;
    static constexpr int kEchoDelayMs = 15;
    // Output in the middle of a burst (whole lines, more coming) is drawn at
    // most 25 times a second: each drawing costs the text widget per line,
    // and a loop printing faster than that cannot be read anyway. A prompt,
    // a question or an echo is drawn at once.
    bool m_frameWait = false;
    QElapsedTimer m_lastFlush;  // GUI thread only
    static constexpr int kFrameMs = 40;
    long long m_applied = 0;
};
