#pragma once

#include <string>

// What the command window needs from the session and the application. The
// window calls these on the GUI thread only.
class IConsoleHost {
public:
    virtual ~IConsoleHost() = default;

    // The one way to send a statement (echo: shown and added to the history).
    virtual bool QueueCommand(const std::string& text, bool echo) = 0;
    // Writes text straight to the interpreter's input, bypassing the queue
    // (the bare line feed that lets a waiting statement continue).
    virtual bool SendRaw(const std::string& text) = 0;

    virtual bool IsConnected() const = 0;
    // The interpreter is starting: keys typed now wait for its first prompt.
    virtual bool IsStarting() const { return false; }
    // A running statement waits for the user's input (input(), kbhit): a
    // line entered now is a reply to it, not a statement for the history.
    virtual bool WaitsForInput() const { return false; }
    // The interpreter process is known (found at the first prompt): only then
    // Ctrl+C and Ctrl+V take their console meaning.
    virtual bool InterpreterKnown() const = 0;
    virtual bool IsDebugMode() const = 0;

    // Asks for a workspace refresh.
    virtual void RequestWorkspaceRefresh() = 0;
    // Asks for an interrupt unless one was asked for within the last 2000 ms.
    virtual void RequestInterrupt() = 0;

    // Hands a text to the editor program and shows the editor pane.
    virtual void OpenInEditor(const std::string& location) = 0;
};
