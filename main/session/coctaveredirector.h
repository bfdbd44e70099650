#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/cprompttext.h"
#include "main/session/cevent.h"
#include "main/session/cinfovariable.h"
#include "main/session/cmultithreadsinglequeue.h"
#include "main/session/coctavedialect.h"
#include "main/session/credirector.h"
#include "main/session/crequestclassifier.h"
#include "main/session/csessionrequest.h"
#include "main/session/isessionpanes.h"

// Settings the session reads, given to it rather than read from the profile
// so that the core runs without settings in tests.
struct CSessionOptions {
    bool beepOnErrors = false;   // "General/BeepOnErrors", default 0
    int maxLines = 2000;         // "General/MaxLines", default 2000
    // Folder of the answer files ("vars_names.txt", "vars_values.txt");
    // empty = AppFolders::PrivateTempFolder().
    std::string tempFolder;
    // The editor's completion request waits this long before it is sent.
    int editorCompletionDelayMs = 2000;
    // The sender waits for every prompt a request gives (one per complete
    // statement it holds). The interpreter may instead stop to wait for input
    // (input(), a block left open, a continuation prompt): the sender goes on
    // once it has been quiet this long and is seen waiting for its next line.
    int promptQuietMs = 200;
};

// The conversation with the interpreter: the request sender thread, the
// output dispatcher (OnChildOutput on the reader thread) and the protocol
// state. Panes are reached only through ISessionPanes.
//
// Threads: QueueCommand, the flags and the getters may be used from any
// thread. The dispatcher runs on the reader thread, the sender on its own.
class COctaveRedirector : public CRedirector {
public:
    // The debugger's line for the marker, kept within the file's lines.
    static int MarkerLine(const std::string& file, int line);
    static constexpr const char* kGuiPrompt = CPromptText::kGui;
    static constexpr const char* kDebugPrompt = CPromptText::kDebug;

    explicit COctaveRedirector(ISessionPanes* panes = nullptr);
    ~COctaveRedirector() override;

    // Set before the sender starts; the panes must outlive the session.
    void SetPanes(ISessionPanes* panes);
    void SetOptions(const CSessionOptions& options);

    // --- Application-level state shared with the connection thread --------
    std::atomic<bool> running{false};
    // connected is CRedirector::ConnectedFlag() (cleared by the reader).
    std::atomic<bool> refreshWorkspace{false};
    std::atomic<bool> packagesChanged{false};
    std::atomic<bool> pathsChanged{false};

    // Texts from other programs, emptied by the connection thread.
    CMultiThreadSingleQueue<std::string>& IncomingQueue() { return m_incoming; }

    // The one way to send a statement: echo shows it in the command window
    // and adds it to the history; silent otherwise.
    bool QueueCommand(const std::string& text, bool echo);
    // A statement of the editor program: shown as any other; an error it
    // gives, and the line a breakpoint statement was set at when that is
    // another line than asked for, are reported to the editor.
    bool QueueEditorCommand(const std::string& text, bool echo);
    // A silent request whose whole answer, up to the next prompt (prompt
    // excluded), goes to done instead of the command window. done is called
    // once: on the reader thread with ok true; with ok false when the answer
    // is lost (interrupt, the interpreter ended, the request was dropped),
    // on the thread that lost it. False when done is empty.
    bool QueueCollected(const std::string& statement, CSessionRequest::Done done);
    // Drops every request still waiting (a collected one is told); returns
    // how many.
    int DiscardQueuedRequests();

    // Starts / stops the request sender thread (sets / clears running).
    // StopSender never waits for the interpreter.
    void StartSender();
    void StopSender();

    // Interrupts the running statement (CRedirector::Interrupt). An
    // interrupted values statement gives no marker: the next request stops
    // waiting for it, and the fresh prompt after the interrupt is shown. A
    // request the sender already holds but has not written is dropped.
    bool Interrupt();

    // Back to the state after construction (before connecting again).
    void ResetProtocolState();

    // The idle event: set whenever the interpreter has answered something.
    CEvent& IdleEvent() { return m_idle; }
    // The last output ended with a prompt (or nothing was asked since).
    bool AtPrompt() const { return m_promptSeen.IsSet(); }
    // The statement in flight reads its input before its prompt came back
    // (input(), kbhit): what is sent now is the user's reply to it, not a
    // statement. The next line of an open block is no reply.
    bool WaitsForInput() const { return m_inputWait.load() && !m_promptSeen.IsSet(); }
    // No request waits or is in hand, the last one got its prompt and the
    // workspace's own statement is done.
    bool SenderIdle() const
    {
        return !m_inHand.load() && m_requests.IsEmpty() && AtPrompt() && m_ownStatementDone.IsSet();
    }

    // --- What the command window shows, tracked by the session ---------------
    // True when the last text written ends with ">> " or "debug> ".
    bool ConsoleEndsWithPrompt() const;
    // The last bytes written into the command window (at most 64).
    std::string ConsoleTail() const;
    // Output seen before the first prompt (the banner, capped at 64 KB).
    std::string Banner() const;
    // The interpreter's first prompt has been seen.
    bool FirstPromptSeen() const { return m_firstPrompt.load(); }
    // Open() failed: the "Redirect console error" text was written.
    bool StartFailed() const { return m_startFailed.load(); }
    // The dialect chosen from the banner at the first prompt (or set here).
    COctaveDialect Dialect() const;
    void SetDialect(const COctaveDialect& dialect);

    // Writes a fresh prompt (">> ", or "debug> " in debug mode) at the end.
    void WritePrompt();
    // Replaces every occurrence of oldText in the command window.
    void ReplaceInCommandWindow(const std::string& oldText, const std::string& newText);
    // Hands a text to the editor program through the panes.
    bool SendToEditor(const std::string& text, bool activate);
    // The editor statement's output up to its prompt, reported back.
    void WatchEditorAnswer(const std::string& s, bool prompt);

    // --- Statements ------------------------------------------------------------
    // The names statement, queued silently to refresh the workspace.
    std::string NamesStatement() const;
    std::string NamesFile() const;
    std::string ValuesFile() const;

    // --- Protocol state (read-only outside) ------------------------------------
    bool Busy() const { return m_busy.load(); }
    // How many requests the sender has finished (answered, or handled here).
    unsigned RequestsDone() const { return m_requestsDone.load(); }
    bool DebugMode() const { return m_debugMode.load(); }
    bool ProfilerRunning() const { return m_profilerRunning.load(); }
    std::int64_t ProfilerElapsedSeconds() const { return m_profilerElapsed.load(); }
    bool ProfilerExplorePrompt() const { return m_exploreprompt.load(); }
    std::vector<CInfoVariable> Variables() const;

protected:
    void OnChildOutput(const char* text, std::size_t length) override;
    void OnRedirectorError(const char* message) override;
    void OnReaderFinished(int result) override;
    void OnReaderIdle() override;

    // One dispatcher step on one received chunk (tests feed recorded chunks).
    void Dispatch(std::string chunk);
    // One sender step for one request (the classification, the write and
    // the wait for its answer); returns false when the sender must end.
    bool ProcessRequest(const CSessionRequest& request);
    // Whether an answer can still arrive (the reader runs); the sender stops
    // waiting for one when not. Tests without a child override it.
    virtual bool CanAnswer() const { return IsReading(); }

private:
    struct Impl;
    void SenderThreadProc();
    void Drop(const CSessionRequest& request);
    void EchoRequest(const std::string& text, bool toHistory = true);
    bool HandleLocally(const CRequestAction& a);
    void NoteRequestEffects(const CRequestAction& a);
    void OpenAnswer(CRequestAction::Answer answer, const CSessionRequest& request, bool open);
    std::string DropAnswers();

    // The dispatcher's steps, in order, on one piece of text.
    void DispatchText(std::string s);
    bool SwallowOwnPrompt(std::string& s);
    void NoteBanner(const std::string& s);
    void NoteExplorePrompt(const std::string& recent, const std::string& s);
    void NoteErrors(const std::string& recent, const std::string& s);
    bool TakeValuesMarker(std::string& s);
    bool TakeNamesMarker(std::string& s);
    void NoteProfiler(const std::string& recent, const std::string& s);
    void CollectAnswers(std::string& s);
    bool Collect(std::string& s, std::string& buffer, bool clearsError);
    void CollectAnswer(CRequestAction::Answer kind, std::string& s);
    void Show(std::string s, bool prompt);

    // Where the collected answers go (answer: without \r; shown: the text
    // the command window gets instead).
    void DeliverValue(std::string& answer, std::string& shown);
    void DeliverCompletion(std::string& answer, std::string& shown);
    void DeliverEditorCompletion(std::string& answer, std::string& shown);
    void DeliverPath(std::string& answer, std::string& shown);
    void DeliverPackage(std::string& answer, std::string& shown);
    void DeliverCallTip(std::string& answer, std::string& shown);
    void DeliverHelp(std::string& answer, std::string& shown);
    void DeliverCollected(std::string& answer, std::string& shown);
    void WriteToConsole(std::string s);
    void HandleNamesAnswer();
    void HandleValuesAnswer();
    void AppendTail(const std::string& text);
    void SetTail(const std::string& text);
    CSessionOptions Options() const;
    // Waits until the request in flight has given its last prompt, or the
    // interpreter waits for input.
    void WaitForPrompt();
    // Waits until the workspace's values statement has given its prompt.
    void WaitForOwnStatement();
    bool InterpreterWantsInput();
    void ExpectPrompts(const std::string& sent);

    ISessionPanes* m_panes = nullptr;
    CMultiThreadSingleQueue<CSessionRequest> m_requests;
    CMultiThreadSingleQueue<std::string> m_incoming;
    CEvent m_idle{true};
    CEvent m_promptSeen{true};
    // Cleared while the workspace values statement (written by the
    // dispatcher, not by the sender) has not given its prompt back: the next
    // request waits for it, so that prompt can never land after its echo.
    CEvent m_ownStatementDone{true};
    std::atomic<std::int64_t> m_lastOutputMs{0};
    std::atomic<std::int64_t> m_lastWriteMs{0};
    // The prompts the request in flight still owes. Not counted: the count
    // cannot be trusted (the request leaves a block open, a parse error threw
    // away the rest of a statement, an interrupt): any prompt may be the last.
    std::atomic<int> m_promptsDue{0};
    std::atomic<bool> m_promptsCounted{true};
    std::atomic<int> m_linesSent{0};
    // What was shown since the last prompt ends inside a line (a question).
    std::atomic<bool> m_midLine{false};
    // Raised when the wait for the prompt ended because a statement reads
    // its input; lowered by the next write.
    std::atomic<bool> m_inputWait{false};
    // The statement text written since the interpreter's last own prompt,
    // replies left out (sender thread only): while it leaves a block open,
    // the interpreter reads the block's next line, not a reply.
    std::string m_sentSincePrompt;
    std::thread m_sender;
    std::mutex m_senderLock;

    std::atomic<unsigned> m_interrupts{0};
    std::atomic<bool> m_inHand{false};
    // The request being answered may change the interpreter's folder: its
    // prompt brings the notice.
    std::atomic<bool> m_folderNotice{false};
    std::atomic<bool> m_busy{false};
    std::atomic<unsigned> m_requestsDone{0};
    std::atomic<bool> m_debugMode{false};
    std::atomic<bool> m_profilerRunning{false};
    std::atomic<std::int64_t> m_profilerElapsed{0};
    std::atomic<bool> m_exploreprompt{false};
    std::atomic<bool> m_firstPrompt{false};
    std::atomic<bool> m_startFailed{false};

    Impl* m_impl;
};
