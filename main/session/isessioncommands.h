#pragma once

#include <functional>
#include <string>

// What a pane may ask of the session. Panes get this interface, never the
// application object or the frame.
//
// THREADING: call from the GUI thread. Callbacks run on the GUI thread.
// Statements are UTF-8; every path or name put into one is quoted with
// OctaveQuote (platform/octavequote.h) by the caller.
class ISessionCommands {
public:
    virtual ~ISessionCommands() = default;

    // Queues a statement. echo: shown in the command window behind what the
    // user is typing and added to the history; otherwise run silently.
    // False when not connected (nothing is queued).
    virtual bool QueueCommand(const std::string& text, bool echo) = 0;

    // Runs a statement silently and hands everything it printed, up to the
    // interpreter's next prompt, to done (without the prompt). The text never
    // reaches the command window. done is called once, on the GUI thread; with
    // ok false when the answer could not be had (not connected, interrupted,
    // the interpreter ended). False when nothing was queued.
    using CollectedAnswer = std::function<void(bool ok, const std::string& answer)>;
    virtual bool RunCollected(const std::string& statement, CollectedAnswer done) = 0;

    virtual bool IsConnected() const = 0;
    virtual bool IsDebugMode() const = 0;

    // Asks for a workspace refresh (the variable list is refilled through
    // CSessionEvents::variablesRefilled).
    virtual void RequestWorkspaceRefresh() = 0;

    // The private folder (mode 0700) where statements may write answer files
    // for the program to read; files there are the caller's to delete.
    virtual std::string AnswerFolder() const = 0;
};
