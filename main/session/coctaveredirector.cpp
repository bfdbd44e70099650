#include "main/session/coctaveredirector.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "main/session/canswerparser.h"
#include "common/cprompttext.h"
#include "main/session/coutputformatter.h"
#include "main/session/cpromptcount.h"
#include "main/session/crequestclassifier.h"
#include "main/session/cworkspacestatements.h"
#include "platform/appfolders.h"
#include "platform/editorprotocol.h"

namespace {

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// part occurs in recent + s and reaches into s (so a hit wholly inside the
// previous chunk is not counted twice).
bool ContainsNew(const std::string& recent, const std::string& s, const char* part)
{
    const std::string joined = recent + s;
    const std::size_t length = std::char_traits<char>::length(part);
    std::size_t at = 0;
    while ((at = joined.find(part, at)) != std::string::npos) {
        if (at + length > recent.size())
            return true;
        ++at;
    }
    return false;
}

// Removes the marker's line and the prompt of the silent statement that
// printed it; any other text of the chunk stays. False when that prompt has
// not arrived yet.
bool RemoveMarkerLine(std::string& s, const char* marker)
{
    const std::size_t at = s.find(marker);
    if (at == std::string::npos)
        return true;
    std::size_t end = at + std::char_traits<char>::length(marker);
    while (end < s.size() && (s[end] == '\r' || s[end] == '\n'))
        ++end;
    const std::size_t prompt = CPromptText::LengthAt(s, end);
    s.erase(at, end + prompt - at);
    return prompt > 0;
}

std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t Now()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

const std::size_t kTailSize = 64;
const int kErrorWordPolls = 5;
const std::size_t kBannerLimit = 64 * 1024;

}  // namespace

// State only the dispatcher touches (under lock), plus the answers the sender
// asks for (the pending flags are atomic: the sender raises them, the
// dispatcher lowers them).
struct COctaveRedirector::Impl {
    // One collected answer: while pending, everything the interpreter prints
    // goes into buffer; at the prompt, deliver hands it on (it may put text
    // into shown for the command window).
    struct Collected {
        std::atomic<bool> pending{false};
        std::string buffer;
        void (COctaveRedirector::*deliver)(std::string& answer, std::string& shown) = nullptr;
    };

    Impl()
    {
        answers[CRequestAction::ValueAnswer].deliver = &COctaveRedirector::DeliverValue;
        answers[CRequestAction::CompletionAnswer].deliver = &COctaveRedirector::DeliverCompletion;
        answers[CRequestAction::EditorCompletionAnswer].deliver = &COctaveRedirector::DeliverEditorCompletion;
        answers[CRequestAction::PathAnswer].deliver = &COctaveRedirector::DeliverPath;
        answers[CRequestAction::PackageAnswer].deliver = &COctaveRedirector::DeliverPackage;
        answers[CRequestAction::CallTipAnswer].deliver = &COctaveRedirector::DeliverCallTip;
        answers[CRequestAction::HelpAnswer].deliver = &COctaveRedirector::DeliverHelp;
        answers[CRequestAction::CollectedAnswer].deliver = &COctaveRedirector::DeliverCollected;
    }

    std::mutex dispatchLock;
    std::string held;          // a prompt or marker cut by the chunk boundary
    std::string recent;        // end of the previous chunk, for split words
    bool display = true;
    bool errorSeen = false;
    bool editorWatch = false;      // the output of an editor statement is watched
    std::string editorStatement;
    std::string editorAnswer;
    bool debugStopSeen = false;
    bool swallowPrompt = false;
    bool errorShown = false;   // part of the current error message is written
    int heldIdlePolls = 0;     // quiet polls an error's first word has been kept back
    std::string banner;
    std::string debugFile;
    std::int64_t profilerStart = 0;
    std::string debugBuffer;
    std::array<Collected, CRequestAction::AnswerKinds> answers;
    // The callback of the collected request being answered (null once it
    // was told that the answer is lost).
    CSessionRequest::Done collectedDone;
    std::atomic<int> version{0};

    mutable std::mutex consoleLock;
    std::string tail;          // end of what the command window shows

    mutable std::mutex variablesLock;
    std::vector<CInfoVariable> variables;

    mutable std::mutex optionsLock;
    CSessionOptions options;
    std::string namesFile, valuesFile;
};

COctaveRedirector::COctaveRedirector(ISessionPanes* panes) : m_panes(panes), m_impl(new Impl) {}

COctaveRedirector::~COctaveRedirector()
{
    StopSender();
    // The reader calls our hooks: it must end while they still exist.
    Close();
    // Whoever waits for a collected answer hears that it is lost.
    DiscardQueuedRequests();
    {
        std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
        DropAnswers();
    }
    delete m_impl;
}

void COctaveRedirector::SetPanes(ISessionPanes* panes)
{
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    m_panes = panes;
}

void COctaveRedirector::SetOptions(const CSessionOptions& options)
{
    std::lock_guard<std::mutex> lock(m_impl->optionsLock);
    m_impl->options = options;
    m_impl->namesFile.clear();
    m_impl->valuesFile.clear();
}

CSessionOptions COctaveRedirector::Options() const
{
    std::lock_guard<std::mutex> lock(m_impl->optionsLock);
    return m_impl->options;
}

std::string COctaveRedirector::NamesFile() const
{
    std::lock_guard<std::mutex> lock(m_impl->optionsLock);
    if (m_impl->namesFile.empty()) {
        std::string folder = m_impl->options.tempFolder;
        if (folder.empty())
            folder = AppFolders::PrivateTempFolder().toStdString();
        m_impl->namesFile = folder + "/vars_names.txt";
        m_impl->valuesFile = folder + "/vars_values.txt";
    }
    return m_impl->namesFile;
}

std::string COctaveRedirector::ValuesFile() const
{
    NamesFile();
    std::lock_guard<std::mutex> lock(m_impl->optionsLock);
    return m_impl->valuesFile;
}

std::string COctaveRedirector::NamesStatement() const
{
    return CWorkspaceStatements::NamesStatement(NamesFile());
}

COctaveDialect COctaveRedirector::Dialect() const
{
    return COctaveDialect(m_impl->version.load());
}

void COctaveRedirector::SetDialect(const COctaveDialect& dialect)
{
    m_impl->version.store(dialect.Version());
}

std::vector<CInfoVariable> COctaveRedirector::Variables() const
{
    std::lock_guard<std::mutex> lock(m_impl->variablesLock);
    return m_impl->variables;
}

std::string COctaveRedirector::Banner() const
{
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    return m_impl->banner;
}

// ---------------------------------------------------------------------------
// Command window state

void COctaveRedirector::AppendTail(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_impl->consoleLock);
    m_impl->tail += text;
    if (m_impl->tail.size() > kTailSize)
        m_impl->tail.erase(0, m_impl->tail.size() - kTailSize);
}

void COctaveRedirector::SetTail(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_impl->consoleLock);
    m_impl->tail = text.size() > kTailSize ? text.substr(text.size() - kTailSize) : text;
}

std::string COctaveRedirector::ConsoleTail() const
{
    std::lock_guard<std::mutex> lock(m_impl->consoleLock);
    return m_impl->tail;
}

bool COctaveRedirector::ConsoleEndsWithPrompt() const
{
    return COutputFormatter::EndsWithPrompt(ConsoleTail());
}

void COctaveRedirector::WritePrompt()
{
    const std::string prompt = m_debugMode.load() ? kDebugPrompt : kGuiPrompt;
    std::lock_guard<std::mutex> lock(m_impl->consoleLock);
    if (m_panes)
        m_panes->ConsoleWrite(prompt, {CTextSpan{0, prompt.size(), CTextSpan::Bold}}, Options().maxLines);
    m_impl->tail += prompt;
    if (m_impl->tail.size() > kTailSize)
        m_impl->tail.erase(0, m_impl->tail.size() - kTailSize);
}

void COctaveRedirector::ReplaceInCommandWindow(const std::string& oldText, const std::string& newText)
{
    if (oldText.empty())
        return;
    std::lock_guard<std::mutex> lock(m_impl->consoleLock);
    if (m_panes)
        m_panes->ConsoleReplace(oldText, newText);
    COutputFormatter::ReplaceAll(m_impl->tail, oldText, newText);
}

int COctaveRedirector::MarkerLine(const std::string& file, int line)
{
    // Stepping off the end of a script reports a line past its last one.
    QFile source(QString::fromStdString(file));
    if (line < 1 || !source.open(QIODevice::ReadOnly))
        return std::max(line, 1);
    const QByteArray text = source.readAll();
    const int lines = std::max(1, int(text.count('\n')) + (text.endsWith('\n') || text.isEmpty() ? 0 : 1));
    return std::min(line, lines);
}

bool COctaveRedirector::SendToEditor(const std::string& text, bool activate)
{
    return m_panes && m_panes->SendToEditor(text, activate);
}

// ---------------------------------------------------------------------------
// Requests

bool COctaveRedirector::QueueCommand(const std::string& text, bool echo)
{
    return m_requests.Enqueue(CSessionRequest{text, echo, nullptr});
}

bool COctaveRedirector::QueueEditorCommand(const std::string& text, bool echo)
{
    CSessionRequest request{text, echo, nullptr};
    request.fromEditor = true;
    return m_requests.Enqueue(std::move(request));
}

bool COctaveRedirector::QueueCollected(const std::string& statement, CSessionRequest::Done done)
{
    if (!done)
        return false;
    return m_requests.Enqueue(CSessionRequest{statement, false, std::move(done)});
}

int COctaveRedirector::DiscardQueuedRequests()
{
    int count = 0;
    CSessionRequest request;
    while (m_requests.Dequeue(request)) {
        ++count;
        Drop(request);
    }
    return count;
}

void COctaveRedirector::Drop(const CSessionRequest& request)
{
    if (request.collected)
        request.collected(false, std::string());
}

void COctaveRedirector::StartSender()
{
    std::lock_guard<std::mutex> lock(m_senderLock);
    if (m_sender.joinable())
        return;
    running.store(true);
    m_sender = std::thread([this] { SenderThreadProc(); });
}

void COctaveRedirector::StopSender()
{
    std::lock_guard<std::mutex> lock(m_senderLock);
    running.store(false);
    m_requests.WakeConsumers();
    m_idle.Set();
    if (m_sender.joinable())
        m_sender.join();
}

void COctaveRedirector::SenderThreadProc()
{
    while (running.load()) {
        CSessionRequest request;
        if (!m_requests.DequeueWait(request, std::chrono::milliseconds(100)))
            continue;
        m_inHand.store(true);
        const bool goOn = ProcessRequest(request);
        m_requestsDone.fetch_add(1);
        m_inHand.store(false);
        if (!goOn)
            break;
    }
}

void COctaveRedirector::EchoRequest(const std::string& text, bool toHistory)
{
    std::lock_guard<std::mutex> lock(m_impl->consoleLock);
    if (m_panes) {
        m_panes->ConsoleEcho(text + "\n");
        if (toHistory)
            m_panes->HistoryAdd(text);
    }
    m_impl->tail += text + "\n";
    if (m_impl->tail.size() > kTailSize)
        m_impl->tail.erase(0, m_impl->tail.size() - kTailSize);
}

bool COctaveRedirector::HandleLocally(const CRequestAction& a)
{
    ISessionPanes* panes = m_panes;
    if (a.kind == CRequestAction::Send)
        return false;
    // What the user typed becomes part of the window like any statement
    // sent, so whatever is written next lands behind it.
    if (a.echo && a.kind != CRequestAction::ClearScreen)
        EchoRequest(a.toSend);
    switch (a.kind) {
    case CRequestAction::Exit:
        // The sender goes on: the user may still cancel the close. The
        // application stops it once the close is confirmed.
        if (panes)
            panes->RequestApplicationClose();
        if (a.echo)
            WritePrompt();
        break;
    case CRequestAction::ClearScreen: {
        const std::string prompt = m_debugMode.load() ? kDebugPrompt : kGuiPrompt;
        std::lock_guard<std::mutex> lock(m_impl->consoleLock);
        if (panes)
            panes->ConsoleReset(prompt);
        m_impl->tail = prompt;
        break;
    }
    case CRequestAction::Documentation:
        if (panes)
            panes->DocumentationShow(a.argument);
        if (a.freshPrompt)
            WritePrompt();
        break;
    case CRequestAction::ChangeDirectory:
        if (panes)
            panes->ChangeDirectory(a.argument);
        break;
    case CRequestAction::Send:
        break;
    }
    m_idle.Set();
    return true;
}

void COctaveRedirector::NoteRequestEffects(const CRequestAction& a)
{
    ISessionPanes* panes = m_panes;
    if (a.refreshNow)
        refreshWorkspace.store(true);
    if (a.packagesChanged)
        packagesChanged.store(true);
    if (a.pathsChanged)
        pathsChanged.store(true);
    if (!panes)
        return;
    if (a.answer == CRequestAction::PathAnswer)
        panes->PathListPopulating();
    else if (a.answer == CRequestAction::PackageAnswer)
        panes->PackageListPopulating();
    if (a.showWorkspace)
        panes->WorkspaceShow();
}

void COctaveRedirector::OpenAnswer(CRequestAction::Answer answer, const CSessionRequest& request, bool open)
{
    if (answer == CRequestAction::NoAnswer)
        return;
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    if (answer == CRequestAction::CollectedAnswer)
        m_impl->collectedDone = open ? request.collected : nullptr;
    m_impl->answers[answer].pending.store(open);
}

bool COctaveRedirector::ProcessRequest(const CSessionRequest& request)
{
    const std::string& text = request.text;
    const CRequestAction a = request.collected
                                 ? CRequestClassifier::Collected(text)
                                 : CRequestClassifier::Classify(text, request.echo, m_exploreprompt.load(), Dialect());
    if (HandleLocally(a))
        return true;
    NoteRequestEffects(a);

    // An interrupt from here on drops this request: it was meant for the
    // statement the user stopped as much as the ones still queued.
    const unsigned interrupts = m_interrupts.load();
    if (a.waitBeforeSend) {
        const int delay = Options().editorCompletionDelayMs;
        for (int waited = 0; waited < delay && running.load() && m_interrupts.load() == interrupts; waited += 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, delay - waited)));
    }
    // The previous answer first: what still arrives of it must not be taken
    // for this request's answer, nor mixed with its echo.
    WaitForOwnStatement();
    WaitForPrompt();
    if (m_interrupts.load() != interrupts || !running.load()) {
        Drop(request);
        m_idle.Set();
        return true;
    }

    OpenAnswer(a.answer, request, true);
    if (request.fromEditor && a.answer == CRequestAction::NoAnswer) {
        std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
        m_impl->editorWatch = true;
        m_impl->editorStatement = text;
        m_impl->editorAnswer.clear();
    }
    m_folderNotice.store(a.folderMayChange);
    const bool reply = WaitsForInput();
    if (a.echo)
        EchoRequest(text, !reply);
    if (!reply) {
        if (AtPrompt())
            m_sentSincePrompt.clear();
        else
            m_sentSincePrompt += '\n';
        m_sentSincePrompt += a.toSend;
    }

    m_idle.Reset();
    ExpectPrompts(a.toSend);
    // Busy before the write: the answer may be dispatched before we would
    // get to set it afterwards.
    m_busy.store(true);
    m_lastWriteMs.store(SteadyMs());
    if (!SendText(a.toSend + "\n")) {
        // Nobody will answer: do not leave the answer open.
        OpenAnswer(a.answer, request, false);
        Drop(request);
        m_busy.store(false);
        m_promptSeen.Set();
        m_idle.Set();
        return true;
    }
    // Each line of a request gives a prompt: the answer is whole only at the
    // last one, and a silent request written before it would take the rest
    // of this answer for its own.
    WaitForPrompt();
    if (!CanAnswer())
        m_busy.store(false);

    if (a.refreshAfter && !CRequestClassifier::SuppressesRefresh(text, NamesStatement()))
        refreshWorkspace.store(true);
    return true;
}

static const std::int64_t kOwnStatementCapMs = 15000;
// How often a quiet interpreter is looked at to see whether it waits for input.
static const std::int64_t kInputPollMs = 20;

void COctaveRedirector::ExpectPrompts(const std::string& sent)
{
    const CPromptCount count = CPromptCount::Of(sent);
    m_promptsDue.store(std::max(count.prompts, 1));
    m_promptsCounted.store(count.finished);
    m_linesSent.store(1 + static_cast<int>(std::count(sent.begin(), sent.end(), '\n')));
    m_midLine.store(false);
    m_inputWait.store(false);
    m_promptSeen.Reset();
}

bool COctaveRedirector::InterpreterWantsInput()
{
    switch (ChildInputState()) {
    case InputState::Waiting:
        return true;
    case InputState::Busy:
        return false;
    case InputState::Unknown:
        break;
    }
    // Where the interpreter's calls cannot be seen: a request whose prompts
    // cannot be counted goes on after the quiet time; a counted one only
    // when the interpreter stopped inside a line (it asks something).
    return !m_promptsCounted.load() || m_midLine.load();
}

void COctaveRedirector::WaitForOwnStatement()
{
    // The values statement always ends with its marker and a prompt, however
    // long it computes; the cap only guards against an interpreter that hangs.
    const std::int64_t ownUntil = SteadyMs() + kOwnStatementCapMs;
    while (running.load() && !m_ownStatementDone.IsSet() && CanAnswer() && SteadyMs() < ownUntil)
        m_ownStatementDone.Wait(std::chrono::milliseconds(100));
}

void COctaveRedirector::WaitForPrompt()
{
    const std::int64_t quiet = Options().promptQuietMs;
    while (running.load() && CanAnswer()) {
        if (m_promptSeen.IsSet() && m_promptsCounted.load())
            return;
        // A silent statement (pause, a long computation) is not waiting for
        // input: only an interpreter that reads its next line is.
        const std::int64_t silent = SteadyMs() - std::max(m_lastOutputMs.load(), m_lastWriteMs.load());
        if (silent >= quiet && InterpreterWantsInput()) {
            m_inputWait.store(CPromptCount::Of(m_sentSincePrompt).finished);
            return;
        }
        const auto wait = std::chrono::milliseconds(silent < quiet ? quiet - silent : kInputPollMs);
        if (m_promptSeen.IsSet())
            std::this_thread::sleep_for(std::min(wait, std::chrono::milliseconds(kInputPollMs)));
        else
            m_promptSeen.Wait(wait);
    }
}

bool COctaveRedirector::Interrupt()
{
    m_interrupts.fetch_add(1);
    // The interrupted line answers with a fresh prompt, the lines after it
    // with theirs, and a line end written after the interrupt may or may not
    // give one.
    m_promptsCounted.store(false);
    {
        std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
        m_impl->swallowPrompt = false;
        // The collected answer is lost; what is still printed up to the
        // prompt is swallowed without a caller.
        CSessionRequest::Done done;
        done.swap(m_impl->collectedDone);
        if (done)
            done(false, std::string());
    }
    m_ownStatementDone.Set();
    return CRedirector::Interrupt();
}

std::string COctaveRedirector::DropAnswers()
{
    Impl& d = *m_impl;
    std::string rest = d.debugBuffer;
    d.debugBuffer.clear();
    d.debugStopSeen = false;
    for (std::size_t kind = 0; kind < d.answers.size(); ++kind) {
        if (kind != CRequestAction::CollectedAnswer)
            rest += d.answers[kind].buffer;
        d.answers[kind].buffer.clear();
        d.answers[kind].pending.store(false);
    }
    CSessionRequest::Done done;
    done.swap(d.collectedDone);
    if (done)
        done(false, std::string());
    return rest;
}

void COctaveRedirector::ResetProtocolState()
{
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    Impl& d = *m_impl;
    d.held.clear();
    d.recent.clear();
    d.display = true;
    d.errorSeen = false;
    d.editorWatch = false;
    d.errorShown = false;
    d.heldIdlePolls = 0;
    d.swallowPrompt = false;
    d.banner.clear();
    d.debugFile.clear();
    DropAnswers();
    m_busy.store(false);
    m_debugMode.store(false);
    m_profilerRunning.store(false);
    m_profilerElapsed.store(0);
    m_exploreprompt.store(false);
    m_firstPrompt.store(false);
    m_startFailed.store(false);
    SetTail(std::string());
    m_promptsDue.store(0);
    m_promptsCounted.store(true);
    m_ownStatementDone.Set();
    m_promptSeen.Set();
    m_idle.Set();
}

// ---------------------------------------------------------------------------
// Dispatcher

void COctaveRedirector::OnChildOutput(const char* text, std::size_t length)
{
    Dispatch(std::string(text, length));
}

void COctaveRedirector::OnRedirectorError(const char* message)
{
    const std::string text = message;
    if (text.rfind("Redirect console error", 0) == 0)
        m_startFailed.store(true);
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    DispatchText("\r\nError message: " + text);
}

void COctaveRedirector::OnReaderFinished(int)
{
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    Impl& d = *m_impl;
    // The interpreter has gone: show whatever was still being collected.
    std::string rest = DropAnswers();
    rest += d.held;
    d.held.clear();
    d.display = true;
    if (!rest.empty())
        DispatchText(rest);
    m_busy.store(false);
    d.swallowPrompt = false;
    // Nothing more will come: the request in flight is over.
    m_promptsCounted.store(true);
    m_ownStatementDone.Set();
    m_promptSeen.Set();
    m_idle.Set();
}

void COctaveRedirector::OnReaderIdle()
{
    // A line start kept back because it might grow into a prompt or a
    // marker did not: after a poll interval of silence it is output.
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    if (m_impl->held.empty())
        return;
    // The interpreter writes an error's first word on its own ("error", then
    // ": ", then the text): on a busy machine the rest may come later than
    // one poll. Shown early, the word could not be coloured with its message.
    const std::string& h = m_impl->held;
    const bool errorWord = std::string("error: ").compare(0, h.size(), h) == 0
                           || std::string("parse error:").compare(0, h.size(), h) == 0;
    if (errorWord && ++m_impl->heldIdlePolls < kErrorWordPolls)
        return;
    m_impl->heldIdlePolls = 0;
    std::string held;
    held.swap(m_impl->held);
    DispatchText(std::move(held));
}

void COctaveRedirector::Dispatch(std::string chunk)
{
    // A NUL byte would end the text at the widget: show it as a visible sign.
    if (chunk.find('\0') != std::string::npos) {
        std::string clean;
        clean.reserve(chunk.size() + 8);
        for (char c : chunk) {
            if (c == '\0')
                clean += "\xE2\x90\x80";
            else
                clean += c;
        }
        chunk.swap(clean);
    }
    m_lastOutputMs.store(SteadyMs());
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    Impl& d = *m_impl;
    std::string s = d.held + chunk;
    d.held.clear();
    d.heldIdlePolls = 0;
    const std::size_t keep = std::max(COutputFormatter::IncompleteTail(s), COutputFormatter::IncompleteLetter(s));
    if (keep) {
        d.held = s.substr(s.size() - keep);
        s.resize(s.size() - keep);
    }
    // One read may hold several answers: each is seen up to its own
    // prompt, as the rules for errors, markers and prompts expect.
    std::size_t from = 0;
    for (std::size_t end; (end = COutputFormatter::PromptEnd(s, from)) < s.size(); from = end)
        DispatchText(s.substr(from, end - from));
    if (from == s.size())
        return;
    std::string rest = from ? s.substr(from) : std::move(s);
    // An error message is coloured and linked line by line: a line of it
    // cut by the read waits for its end (or for a quiet moment).
    const std::size_t feed = rest.rfind('\n');
    const std::size_t lineStart = feed == std::string::npos ? 0 : feed + 1;
    const bool inError = d.errorSeen || Contains(rest, "error: ") || Contains(rest, "parse error:");
    if (inError && lineStart < rest.size() && COutputFormatter::PromptEnd(rest, lineStart) == std::string::npos) {
        d.held = rest.substr(lineStart);
        rest.resize(lineStart);
    }
    if (!rest.empty())
        DispatchText(std::move(rest));
}

void COctaveRedirector::DispatchText(std::string s)
{
    Impl& d = *m_impl;
    const std::string recent = d.recent;
    {
        const std::string joined = recent + s;
        d.recent = joined.size() > 64 ? joined.substr(joined.size() - 64) : joined;
    }
    // The interpreter's prompts read ">> ".
    COutputFormatter::RewritePrompts(s);
    if (!SwallowOwnPrompt(s))
        return;
    NoteBanner(s);
    NoteExplorePrompt(recent, s);
    NoteErrors(recent, s);
    if (!TakeValuesMarker(s))
        return;
    const bool prompt = COutputFormatter::EndsWithPrompt(s) || m_exploreprompt.load();
    if (!TakeNamesMarker(s))
        return;
    NoteProfiler(recent, s);
    CollectAnswers(s);
    Show(std::move(s), prompt);
}

bool COctaveRedirector::SwallowOwnPrompt(std::string& s)
{
    Impl& d = *m_impl;
    if (!d.swallowPrompt)
        return true;
    // The prompt that follows the values marker belongs to our own
    // statement: it must not release the sender's request.
    const std::size_t first = s.find_first_not_of('\n');
    if (first != std::string::npos) {
        const std::size_t length = CPromptText::LengthAt(s, first);
        if (length)
            s.erase(0, first + length);
        d.swallowPrompt = false;
        m_ownStatementDone.Set();
    }
    return !s.empty();
}

void COctaveRedirector::NoteBanner(const std::string& s)
{
    Impl& d = *m_impl;
    if (m_firstPrompt.load())
        return;
    if (d.banner.size() < kBannerLimit)
        d.banner += s.substr(0, kBannerLimit - d.banner.size());
    if (COutputFormatter::EndsWith(s, kGuiPrompt)) {
        const int version = COctaveDialect::ParseVersion(d.banner);
        if (version > 0)
            d.version.store(version);
        m_firstPrompt.store(true);
    }
}

void COctaveRedirector::NoteExplorePrompt(const std::string& recent, const std::string& s)
{
    // The profiler's explorer: its prompt may come in pieces, so the end of
    // the joined text counts.
    const std::string joined = recent + s;
    const std::size_t at = joined.rfind("profexplore");
    m_exploreprompt.store(at != std::string::npos && COutputFormatter::EndsWith(s, "> ")
                          && joined.find('\n', at) == std::string::npos
                          && joined.find(kGuiPrompt, at) == std::string::npos);
}

void COctaveRedirector::NoteErrors(const std::string& recent, const std::string& s)
{
    Impl& d = *m_impl;
    if ((ContainsNew(recent, s, "error: ") || ContainsNew(recent, s, "parse error:")) && !Contains(s, "error' "))
        d.errorSeen = true;
    // A line it cannot parse makes the interpreter drop what was open: the
    // lines after it give prompts the count did not foresee.
    if (ContainsNew(recent, s, "parse error:") && m_linesSent.load() > 1)
        m_promptsCounted.store(false);
    if (ContainsNew(recent, s, "stopped in"))
        d.debugStopSeen = true;
}

bool COctaveRedirector::TakeValuesMarker(std::string& s)
{
    // The values statement is ours, not the sender's: its answer alone
    // releases nobody.
    Impl& d = *m_impl;
    if (!Contains(s, "__varsvaluesready__"))
        return true;
    HandleValuesAnswer();
    if (!RemoveMarkerLine(s, "__varsvaluesready__"))
        d.swallowPrompt = true;
    else
        m_ownStatementDone.Set();
    d.display = true;
    return !s.empty();
}

bool COctaveRedirector::TakeNamesMarker(std::string& s)
{
    Impl& d = *m_impl;
    if (!Contains(s, "__varsnameready__"))
        return true;
    HandleNamesAnswer();
    const bool namesPrompt = RemoveMarkerLine(s, "__varsnameready__");
    d.display = true;
    // The names statement is the sender's request: only its prompt may
    // release the sender, not the marker in front of it.
    return !s.empty() || namesPrompt;
}

void COctaveRedirector::NoteProfiler(const std::string& recent, const std::string& s)
{
    Impl& d = *m_impl;
    // The status line may come in pieces.
    if (ContainsNew(recent, s, "ProfilerStatus = on")) {
        m_profilerRunning.store(true);
        d.profilerStart = Now();
    } else if (ContainsNew(recent, s, "ProfilerStatus = off")) {
        m_profilerRunning.store(false);
        m_profilerElapsed.store(Now() - d.profilerStart);
    }
    if (!m_panes)
        return;
    if (Contains(s, "__FunctioProfilingEnd__"))
        m_panes->ProfilerFunctionProfilingEnded();
    else if (Contains(s, "__ProfilingFileReady__"))
        m_panes->ProfilerFileReady();
}

bool COctaveRedirector::Collect(std::string& s, std::string& buffer, bool clearsError)
{
    // Takes the chunk and gives the display back once the buffer ends with
    // a prompt.
    Impl& d = *m_impl;
    d.display = false;
    if (clearsError) {
        d.errorSeen = false;
        d.errorShown = false;
    }
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    buffer += s;
    s.clear();
    if (!COutputFormatter::EndsWithPrompt(buffer))
        return false;
    d.display = true;
    return true;
}

void COctaveRedirector::CollectAnswer(CRequestAction::Answer kind, std::string& s)
{
    Impl::Collected& answer = m_impl->answers[kind];
    if (!answer.pending.load() || !Collect(s, answer.buffer, true))
        return;
    answer.pending.store(false);
    std::string text;
    text.swap(answer.buffer);
    (this->*answer.deliver)(text, s);
}

void COctaveRedirector::CollectAnswers(std::string& s)
{
    Impl& d = *m_impl;
    if (d.debugStopSeen) {
        m_debugMode.store(true);
        if (Collect(s, d.debugBuffer, false)) {
            d.debugStopSeen = false;
            std::string file, line;
            if (CAnswerParser::DebugStop(d.debugBuffer, Dialect(), file, line)) {
                d.debugFile = file;
                SendToEditor(EditorProtocol::EncodeDebug(QByteArray::fromStdString(file),
                                                         MarkerLine(file, std::atoi(line.c_str())))
                                 .toStdString(),
                             true);
            }
            s.swap(d.debugBuffer);
            d.debugBuffer.clear();
        }
    }
    CollectAnswer(CRequestAction::ValueAnswer, s);
    if (m_debugMode.load() && !d.debugStopSeen && COutputFormatter::EndsWith(s, kGuiPrompt)) {
        m_debugMode.store(false);
        SendToEditor(EditorProtocol::EncodeDebugEnded(QByteArray::fromStdString(d.debugFile)).toStdString(), false);
    }
    for (int kind = CRequestAction::ValueAnswer + 1; kind < CRequestAction::AnswerKinds; ++kind)
        CollectAnswer(static_cast<CRequestAction::Answer>(kind), s);
}

void COctaveRedirector::Show(std::string s, bool prompt)
{
    Impl& d = *m_impl;
    if (!d.display)
        return;
    WatchEditorAnswer(s, prompt);
    if (!prompt && !s.empty())
        m_midLine.store(s.back() != '\n');
    if (!s.empty())
        WriteToConsole(std::move(s));
    m_busy.store(false);
    // An error message ends at the prompt, however many pieces it arrived in.
    if (prompt) {
        d.errorSeen = false;
        d.errorShown = false;
        m_midLine.store(false);
        // The request's answer is whole at its last prompt only.
        if (m_promptsDue.fetch_sub(1) <= 1 || !m_promptsCounted.load()) {
            // The profiler's explorer takes no statements: the folder is
            // looked at once it has been left. Told before the sender is
            // let go, so whoever sees the request done sees the notice too.
            if (!m_exploreprompt.load() && m_folderNotice.exchange(false) && m_panes)
                m_panes->CurrentDirectoryMayHaveChanged();
            m_promptSeen.Set();
        }
    }
    m_idle.Set();
}

void COctaveRedirector::WatchEditorAnswer(const std::string& s, bool prompt)
{
    Impl& d = *m_impl;
    if (!d.editorWatch)
        return;
    d.editorAnswer += s;
    if (!prompt)
        return;
    d.editorWatch = false;
    std::string answer;
    answer.swap(d.editorAnswer);
    const std::size_t promptLine = answer.rfind('\n');
    answer.resize(promptLine == std::string::npos ? 0 : promptLine + 1);
    const std::size_t error = answer.find("error: ");
    if (error != std::string::npos) {
        const std::size_t lineStart = answer.rfind('\n', error);
        std::string text = answer.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        SendToEditor(EditorProtocol::EncodeError(QByteArray::fromStdString(text)).toStdString(), false);
        return;
    }
    const QByteArray breakpoint = EditorProtocol::EncodeBreakpointAnswer(
        QByteArray::fromStdString(d.editorStatement), QByteArray::fromStdString(answer));
    if (!breakpoint.isEmpty())
        SendToEditor(breakpoint.toStdString(), false);
}

// --- Where each collected answer goes ----------------------------------------

void COctaveRedirector::DeliverValue(std::string& answer, std::string&)
{
    SendToEditor(EditorProtocol::EncodeValue(QByteArray::fromStdString(CAnswerParser::ValueText(answer))).toStdString(),
                 false);
}

void COctaveRedirector::DeliverCompletion(std::string& answer, std::string&)
{
    if (!m_panes)
        return;
    std::vector<std::string> pieces = CAnswerParser::Lines(answer);
    if (pieces.size() >= 2) {
        pieces.pop_back();
        m_panes->CompletionShow(pieces);
    } else {
        m_panes->ConsoleCaretToEnd();
    }
}

void COctaveRedirector::DeliverEditorCompletion(std::string& answer, std::string&)
{
    SendToEditor(EditorProtocol::EncodeCompletion(QByteArray::fromStdString(answer)).toStdString(), false);
}

void COctaveRedirector::DeliverPath(std::string& answer, std::string&)
{
    if (m_panes)
        m_panes->PathListFill(CAnswerParser::PathList(answer));
}

void COctaveRedirector::DeliverPackage(std::string& answer, std::string& shown)
{
    if (m_panes)
        m_panes->PackageListFill(CAnswerParser::PackageList(answer, Dialect()));
    // A broken package folder answers with an error: show it rather than
    // claim that no package is installed.
    if (Contains(answer, "error: ")) {
        // The request is silent: its message starts a line of its own
        // instead of following the prompt the window ends with.
        const std::string tail = ConsoleTail();
        if (!tail.empty() && tail.back() != '\n')
            answer.insert(0, 1, '\n');
        shown.swap(answer);
        m_impl->errorSeen = true;
    }
}

void COctaveRedirector::DeliverCallTip(std::string& answer, std::string&)
{
    SendToEditor(EditorProtocol::EncodeParameters(QByteArray::fromStdString(answer)).toStdString(), false);
    m_impl->errorSeen = false;
}

void COctaveRedirector::DeliverHelp(std::string& answer, std::string& shown)
{
    shown.swap(answer);
}

void COctaveRedirector::DeliverCollected(std::string& answer, std::string&)
{
    answer.resize(answer.size() - CPromptText::LengthAtEnd(answer));
    CSessionRequest::Done done;
    done.swap(m_impl->collectedDone);
    if (done)
        done(true, answer);
}

void COctaveRedirector::WriteToConsole(std::string s)
{
    Impl& d = *m_impl;
    COutputFormatter::CleanUp(s);
    if (s.empty())
        return;
    const CSessionOptions options = Options();
    std::lock_guard<std::mutex> lock(d.consoleLock);
    COutputFormatter::PromptsToLineStart(s, d.tail.empty() || d.tail.back() == '\n');
    if (COutputFormatter::IsRepeatedPrompt(d.tail, s))
        return;
    const std::vector<CTextSpan> spans = COutputFormatter::Spans(s, d.errorSeen, Dialect(), d.errorShown);
    d.errorShown = d.errorSeen;
    if (m_panes) {
        if (d.errorSeen && options.beepOnErrors && s.find("panic:") == std::string::npos)
            m_panes->Beep();
        m_panes->ConsoleWrite(s, spans, options.maxLines);
    }
    d.tail += s;
    if (d.tail.size() > kTailSize)
        d.tail.erase(0, d.tail.size() - kTailSize);
}

void COctaveRedirector::HandleNamesAnswer()
{
    Impl& d = *m_impl;
    const std::string namesFile = NamesFile();
    std::string text;
    std::vector<CInfoVariable> variables;
    // A file that cannot be read means no variables; it is removed after
    // reading so that a stale answer is never read twice.
    if (CWorkspaceStatements::ReadAnswerFile(namesFile, text))
        variables = CWorkspaceStatements::ParseNames(text);
    std::remove(namesFile.c_str());
    const std::string statement = CWorkspaceStatements::ValuesStatement(ValuesFile(), variables);
    {
        std::lock_guard<std::mutex> lock(d.variablesLock);
        d.variables = std::move(variables);
    }
    m_ownStatementDone.Reset();
    if (!SendText(statement + "\n"))
        m_ownStatementDone.Set();
}

void COctaveRedirector::HandleValuesAnswer()
{
    Impl& d = *m_impl;
    const std::string valuesFile = ValuesFile();
    std::string text;
    std::vector<CInfoVariable> variables;
    {
        std::lock_guard<std::mutex> lock(d.variablesLock);
        if (CWorkspaceStatements::ReadAnswerFile(valuesFile, text))
            CWorkspaceStatements::ApplyValues(text, d.variables);
        variables = d.variables;
    }
    std::remove(valuesFile.c_str());
    if (m_panes) {
        m_panes->WorkspaceRefill(variables);
        m_panes->VariableEditorReload();
    }
}
