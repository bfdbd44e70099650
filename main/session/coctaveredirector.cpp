#include "coctaveredirector.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "canswerparser.h"
#include "coutputformatter.h"
#include "crequestclassifier.h"
#include "cworkspacestatements.h"
#include "platform/appfolders.h"

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
    bool prompt = false;
    for (const char* p : {">> ", "debug> "}) {
        const std::size_t n = std::char_traits<char>::length(p);
        if (s.compare(end, n, p) == 0) {
            end += n;
            prompt = true;
            break;
        }
    }
    s.erase(at, end - at);
    return prompt;
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
// asks for (atomic: the sender raises them, the dispatcher lowers them).
struct COctaveRedirector::Impl {
    std::mutex dispatchLock;
    std::string held;          // a prompt or marker cut by the chunk boundary
    std::string recent;        // end of the previous chunk, for split words
    bool display = true;
    bool errorSeen = false;
    bool debugStopSeen = false;
    bool swallowPrompt = false;
    bool errorShown = false;   // part of the current error message is written
    int heldIdlePolls = 0;     // quiet polls an error's first word has been kept back
    std::string banner;
    std::string debugFile;
    std::int64_t profilerStart = 0;
    std::string debugBuffer, valueBuffer, completionBuffer, pathBuffer, packageBuffer, callTipBuffer,
        helpBuffer;

    std::atomic<bool> valuePending{false};
    std::atomic<bool> completionPending{false};
    std::atomic<bool> completionForEditor{false};
    std::atomic<bool> pathPending{false};
    std::atomic<bool> packagePending{false};
    std::atomic<bool> callTipPending{false};
    std::atomic<bool> helpPending{false};
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

bool COctaveRedirector::SendToEditor(const std::string& text, bool activate)
{
    return m_panes && m_panes->SendToEditor(text, activate);
}

// ---------------------------------------------------------------------------
// Requests

bool COctaveRedirector::QueueCommand(const std::string& text, bool echo)
{
    return m_requests.Enqueue(CSessionRequest{text, echo});
}

int COctaveRedirector::DiscardQueuedRequests()
{
    return m_requests.Clear();
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
        const bool goOn = ProcessRequest(request);
        m_requestsDone.fetch_add(1);
        if (!goOn)
            break;
    }
}

bool COctaveRedirector::ProcessRequest(const CSessionRequest& request)
{
    const std::string& text = request.text;
    const CRequestAction a = CRequestClassifier::Classify(text, request.echo, m_exploreprompt.load(), Dialect());
    ISessionPanes* panes = m_panes;

    switch (a.kind) {
    case CRequestAction::Exit:
        running.store(false);
        if (panes)
            panes->RequestApplicationClose();
        m_idle.Set();
        return false;
    case CRequestAction::ClearScreen: {
        const std::string prompt = m_debugMode.load() ? kDebugPrompt : kGuiPrompt;
        std::lock_guard<std::mutex> lock(m_impl->consoleLock);
        if (panes)
            panes->ConsoleReset(prompt);
        m_impl->tail = prompt;
        m_idle.Set();
        return true;
    }
    case CRequestAction::Documentation:
        if (panes)
            panes->DocumentationShow(a.argument);
        if (a.freshPrompt)
            WritePrompt();
        m_idle.Set();
        return true;
    case CRequestAction::ChangeDirectory:
        if (panes)
            panes->ChangeDirectory(a.argument);
        m_idle.Set();
        return true;
    case CRequestAction::Send:
        break;
    }

    if (a.refreshNow)
        refreshWorkspace.store(true);
    if (a.packagesChanged)
        packagesChanged.store(true);
    if (a.pathsChanged)
        pathsChanged.store(true);
    if (panes) {
        if (a.answer == CRequestAction::PathAnswer)
            panes->PathListPopulating();
        else if (a.answer == CRequestAction::PackageAnswer)
            panes->PackageListPopulating();
        if (a.showWorkspace)
            panes->WorkspaceShow();
    }
    if (a.waitBeforeSend) {
        const int delay = Options().editorCompletionDelayMs;
        for (int waited = 0; waited < delay && running.load(); waited += 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, delay - waited)));
    }

    // The previous answer first: what still arrives of it must not be taken
    // for this request's answer, nor mixed with its echo.
    WaitForPrompt();

    std::atomic<bool>* pending = nullptr;
    switch (a.answer) {
    case CRequestAction::PathAnswer: pending = &m_impl->pathPending; break;
    case CRequestAction::PackageAnswer: pending = &m_impl->packagePending; break;
    case CRequestAction::CallTipAnswer: pending = &m_impl->callTipPending; break;
    case CRequestAction::HelpAnswer: pending = &m_impl->helpPending; break;
    case CRequestAction::ValueAnswer: pending = &m_impl->valuePending; break;
    case CRequestAction::CompletionAnswer:
    case CRequestAction::EditorCompletionAnswer:
        m_impl->completionForEditor.store(a.answer == CRequestAction::EditorCompletionAnswer);
        pending = &m_impl->completionPending;
        break;
    case CRequestAction::NoAnswer: break;
    }
    if (pending)
        pending->store(true);

    if (a.echo) {
        std::lock_guard<std::mutex> lock(m_impl->consoleLock);
        if (panes) {
            panes->ConsoleEcho(text + "\n");
            panes->HistoryAdd(text);
        }
        m_impl->tail += text + "\n";
        if (m_impl->tail.size() > kTailSize)
            m_impl->tail.erase(0, m_impl->tail.size() - kTailSize);
    }

    m_idle.Reset();
    m_promptSeen.Reset();
    // Busy before the write: the answer may be dispatched before we would
    // get to set it afterwards.
    m_busy.store(true);
    if (!SendText(a.toSend + "\n")) {
        // Nobody will answer: do not leave the answer open.
        if (pending)
            pending->store(false);
        m_busy.store(false);
        m_promptSeen.Set();
        m_idle.Set();
        return true;
    }
    while (running.load() && !m_idle.Wait(std::chrono::milliseconds(100))) {
        if (!CanAnswer()) {
            m_busy.store(false);
            break;
        }
    }

    if (a.refreshAfter && !CRequestClassifier::SuppressesRefresh(text, NamesStatement()))
        refreshWorkspace.store(true);
    return true;
}

static const std::int64_t kOwnStatementCapMs = 15000;

static std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void COctaveRedirector::WaitForPrompt()
{
    // The values statement always ends with its marker and a prompt, however
    // long it computes; the cap only guards against an interpreter that hangs.
    const std::int64_t ownUntil = SteadyMs() + kOwnStatementCapMs;
    while (running.load() && !m_ownStatementDone.IsSet() && CanAnswer() && SteadyMs() < ownUntil)
        m_ownStatementDone.Wait(std::chrono::milliseconds(100));
    const std::int64_t quiet = Options().promptQuietMs;
    while (running.load() && !m_promptSeen.IsSet() && CanAnswer()) {
        const std::int64_t silent = SteadyMs() - m_lastOutputMs.load();
        if (silent >= quiet)
            break;
        m_promptSeen.Wait(std::chrono::milliseconds(quiet - silent));
    }
}

bool COctaveRedirector::Interrupt()
{
    {
        std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
        m_impl->swallowPrompt = false;
    }
    m_ownStatementDone.Set();
    return CRedirector::Interrupt();
}

void COctaveRedirector::ResetProtocolState()
{
    std::lock_guard<std::mutex> lock(m_impl->dispatchLock);
    Impl& d = *m_impl;
    d.held.clear();
    d.recent.clear();
    d.display = true;
    d.errorSeen = false;
    d.errorShown = false;
    d.heldIdlePolls = 0;
    d.debugStopSeen = false;
    d.swallowPrompt = false;
    d.banner.clear();
    d.debugFile.clear();
    for (std::string* b : {&d.debugBuffer, &d.valueBuffer, &d.completionBuffer, &d.pathBuffer, &d.packageBuffer,
                           &d.callTipBuffer, &d.helpBuffer})
        b->clear();
    for (std::atomic<bool>* f : {&d.valuePending, &d.completionPending, &d.completionForEditor, &d.pathPending,
                                 &d.packagePending, &d.callTipPending, &d.helpPending})
        f->store(false);
    m_busy.store(false);
    m_debugMode.store(false);
    m_profilerRunning.store(false);
    m_profilerElapsed.store(0);
    m_exploreprompt.store(false);
    m_firstPrompt.store(false);
    m_startFailed.store(false);
    SetTail(std::string());
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
    std::string rest;
    for (std::string* b : {&d.debugBuffer, &d.valueBuffer, &d.completionBuffer, &d.pathBuffer, &d.packageBuffer,
                           &d.callTipBuffer, &d.helpBuffer}) {
        rest += *b;
        b->clear();
    }
    for (std::atomic<bool>* f : {&d.valuePending, &d.completionPending, &d.pathPending, &d.packagePending,
                                 &d.callTipPending, &d.helpPending})
        f->store(false);
    d.debugStopSeen = false;
    rest += d.held;
    d.held.clear();
    d.display = true;
    if (!rest.empty())
        DispatchText(rest);
    m_busy.store(false);
    d.swallowPrompt = false;
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
    const std::size_t keep = COutputFormatter::IncompleteTail(s);
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
    ISessionPanes* panes = m_panes;
    const COctaveDialect dialect = Dialect();
    const std::string recent = d.recent;
    {
        const std::string joined = recent + s;
        d.recent = joined.size() > 64 ? joined.substr(joined.size() - 64) : joined;
    }

    // 1. The interpreter's prompts read ">> ".
    COutputFormatter::RewritePrompts(s);
    if (d.swallowPrompt) {
        // The prompt that follows the values marker belongs to our own
        // statement: it must not release the sender's request.
        const std::size_t first = s.find_first_not_of('\n');
        if (first != std::string::npos) {
            if (s.compare(first, 3, ">> ") == 0)
                s.erase(0, first + 3);
            else if (s.compare(first, 7, "debug> ") == 0)
                s.erase(0, first + 7);
            d.swallowPrompt = false;
            m_ownStatementDone.Set();
        }
        if (s.empty())
            return;
    }

    if (!m_firstPrompt.load()) {
        if (d.banner.size() < kBannerLimit)
            d.banner += s.substr(0, kBannerLimit - d.banner.size());
        if (COutputFormatter::EndsWith(s, ">> ")) {
            const int version = COctaveDialect::ParseVersion(d.banner);
            if (version > 0)
                m_impl->version.store(version);
            m_firstPrompt.store(true);
        }
    }

    // 2. The profiler's explorer.
    // (its prompt may come in pieces, so the end of the joined text counts).
    {
        const std::string joined = recent + s;
        const std::size_t at = joined.rfind("profexplore");
        m_exploreprompt.store(at != std::string::npos && COutputFormatter::EndsWith(s, "> ")
                              && joined.find('\n', at) == std::string::npos
                              && joined.find(">> ", at) == std::string::npos);
    }

    // 3. Errors and debug stops.
    if ((ContainsNew(recent, s, "error: ") || ContainsNew(recent, s, "parse error:")) && !Contains(s, "error' "))
        d.errorSeen = true;
    if (ContainsNew(recent, s, "stopped in"))
        d.debugStopSeen = true;

    // 4, 5. Workspace answers. The values statement is ours, not the
    // sender's: its answer alone releases nobody.
    if (Contains(s, "__varsvaluesready__")) {
        HandleValuesAnswer();
        if (!RemoveMarkerLine(s, "__varsvaluesready__"))
            d.swallowPrompt = true;
        else
            m_ownStatementDone.Set();
        d.display = true;
        if (s.empty())
            return;
    }
    const bool prompt = COutputFormatter::EndsWithPrompt(s) || m_exploreprompt.load();
    if (Contains(s, "__varsnameready__")) {
        HandleNamesAnswer();
        const bool namesPrompt = RemoveMarkerLine(s, "__varsnameready__");
        d.display = true;
        // The names statement is the sender's request: only its prompt may
        // release the sender, not the marker in front of it.
        if (s.empty() && !namesPrompt)
            return;
    }

    // 6, 7. Profiler (the status line may come in pieces).
    if (ContainsNew(recent, s, "ProfilerStatus = on")) {
        m_profilerRunning.store(true);
        d.profilerStart = Now();
    } else if (ContainsNew(recent, s, "ProfilerStatus = off")) {
        m_profilerRunning.store(false);
        m_profilerElapsed.store(Now() - d.profilerStart);
    }
    if (panes) {
        if (Contains(s, "__FunctioProfilingEnd__"))
            panes->ProfilerFunctionProfilingEnded();
        else if (Contains(s, "__ProfilingFileReady__"))
            panes->ProfilerFileReady();
    }

    // 8. Collected answers. Each takes the chunk while it is pending and
    // gives the display back once its buffer ends with a prompt.
    auto collect = [&](bool pending, std::string& buffer, bool clearsError) -> bool {
        if (!pending)
            return false;
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
    };

    if (d.debugStopSeen) {
        m_debugMode.store(true);
        if (collect(true, d.debugBuffer, false)) {
            d.debugStopSeen = false;
            std::string file, line;
            if (CAnswerParser::DebugStop(d.debugBuffer, dialect, file, line)) {
                d.debugFile = file;
                SendToEditor("debug\nLine=" + line + "\nPath=" + file, true);
            }
            s.swap(d.debugBuffer);
            d.debugBuffer.clear();
        }
    }
    if (collect(d.valuePending.load(), d.valueBuffer, true)) {
        d.valuePending.store(false);
        SendToEditor("varvalue:" + CAnswerParser::ValueText(d.valueBuffer), false);
        d.valueBuffer.clear();
    }
    if (m_debugMode.load() && !d.debugStopSeen && COutputFormatter::EndsWith(s, ">> ")) {
        m_debugMode.store(false);
        SendToEditor("dbended\nPath=" + d.debugFile, false);
    }
    if (collect(d.completionPending.load(), d.completionBuffer, true)) {
        d.completionPending.store(false);
        if (d.completionForEditor.load()) {
            SendToEditor("completion:\n" + d.completionBuffer, false);
        } else if (panes) {
            std::vector<std::string> pieces = CAnswerParser::Lines(d.completionBuffer);
            if (pieces.size() >= 2) {
                pieces.pop_back();
                panes->CompletionShow(pieces);
            } else {
                panes->ConsoleCaretToEnd();
            }
        }
        d.completionBuffer.clear();
    }
    if (collect(d.pathPending.load(), d.pathBuffer, true)) {
        d.pathPending.store(false);
        if (panes)
            panes->PathListFill(CAnswerParser::PathList(d.pathBuffer));
        d.pathBuffer.clear();
    }
    if (collect(d.packagePending.load(), d.packageBuffer, true)) {
        d.packagePending.store(false);
        if (panes)
            panes->PackageListFill(CAnswerParser::PackageList(d.packageBuffer, dialect));
        // A broken package folder answers with an error: show it rather
        // than claim that no package is installed.
        if (Contains(d.packageBuffer, "error: ")) {
            s.swap(d.packageBuffer);
            d.errorSeen = true;
        }
        d.packageBuffer.clear();
    }
    if (collect(d.callTipPending.load(), d.callTipBuffer, true)) {
        d.callTipPending.store(false);
        SendToEditor("parameters:" + d.callTipBuffer, false);
        d.errorSeen = false;
        d.callTipBuffer.clear();
    }
    if (collect(d.helpPending.load(), d.helpBuffer, true)) {
        d.helpPending.store(false);
        s.swap(d.helpBuffer);
        d.helpBuffer.clear();
    }

    // 9. The command window.
    if (d.display && !s.empty())
        WriteToConsole(std::move(s));
    if (d.display) {
        m_busy.store(false);
        // An error message ends at the prompt, however many pieces it
        // arrived in.
        if (prompt) {
            d.errorSeen = false;
            d.errorShown = false;
            m_promptSeen.Set();
        }
        m_idle.Set();
    }
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
