#pragma once

#include <atomic>

// Asks the running editor program to close, the way closing the main program
// does: the editor closes its frame itself, so its user is asked about
// changed documents and may refuse.
class CEditorCloser {
public:
    enum class Outcome {
        NoEditor,     // nobody listens on the editor's channel
        Asked,        // the request was delivered (not waited for)
        Closed,       // the editor's process has ended
        Refused,      // the editor's user cancelled closing
        NotAnswered,  // the editor did not take the request in time
        StillRunning, // asked, but still running when the wait ended
    };

    // With wait, serves this thread's events in 100 ms steps until the
    // editor's process has ended, its user refused, waitLimitMs passed or
    // *stop became true (then StillRunning). The request goes out from a
    // worker thread, so an editor that is sending to this program at the
    // same moment is served meanwhile. The editor is never ended here.
    static Outcome Close(bool wait, int sendTimeoutMs = 5000, int waitLimitMs = 15000,
                         const std::atomic<bool>* stop = nullptr);

private:
    static void WaitStep();
};
