#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "main/session/cinfovariable.h"

// A marked range of a text written into the command window. Offsets are
// BYTE offsets into the UTF-8 text of the same call (convert them to
// character positions at the widget).
struct CTextSpan {
    enum Kind {
        Error,  // red, face "Courier New"
        Link,   // clickable (an error location or a "See also" name)
        Bold    // the prompt line where the user types
    };
    std::size_t start = 0;
    std::size_t length = 0;
    Kind kind = Error;

    bool operator==(const CTextSpan& o) const
    {
        return start == o.start && length == o.length && kind == o.kind;
    }
};

// One row of the package list: name, version, short description, status.
using CPackageRow = std::array<std::string, 4>;

// Everything the session does to the windows goes through ISessionConsole
// (the command window) and ISessionPanes (everything else).
//
// THREADING: every method is called from the session's reader thread or its
// request sender thread, never from the GUI thread. Implementations must hand
// widget work to the GUI thread themselves (queued calls, e.g.
// QMetaObject::invokeMethod(..., Qt::QueuedConnection)) and must never block
// waiting for the GUI thread: the GUI thread may itself be waiting for the
// session. Calls arrive in order; queued calls keep that order.
//
// Nothing here returns window state. The session tracks what it needs itself
// (the tail of the command window's text, the input-start position is always
// "the end after the last write", the debug mode, the profiler state).
//
// Texts are UTF-8 bytes with "\n" line ends (never "\r").
class ISessionConsole {
public:
    virtual ~ISessionConsole() = default;

    // --- Command window -------------------------------------------------
    // Insert text at the input-start position, in the output format (face
    // "Courier New", 10 pt, black, not bold), then apply spans, then trim the
    // window to maxLines lines (drop lines at the front; 0 = no limit); the
    // input-start position moves behind the text, put the caret at the end,
    // scroll to the bottom. What the user is typing stays behind the text
    // as the command line (with nothing typed, the text lands at the end).
    // When text ends with a prompt, its last line carries a Bold span (the
    // prompt line where the user types).
    virtual void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans,
                              int maxLines) = 0;
    // Show a request as sent (text, with its "\n") at the input-start
    // position: it replaces the statement the user's Enter queued when there
    // is one; otherwise (a statement from elsewhere) it is inserted and what
    // the user is typing stays behind it. The input-start position moves
    // behind the text.
    virtual void ConsoleEcho(const std::string& text) = 0;
    // Replace the whole window by text (clc/home), output format, bold; the
    // end becomes the input-start position.
    virtual void ConsoleReset(const std::string& text) = 0;
    // Replace every occurrence of oldText by newText in the whole window.
    virtual void ConsoleReplace(const std::string& oldText, const std::string& newText) = 0;
    // Put the caret at the end of the window.
    virtual void ConsoleCaretToEnd() = 0;
    // Read-only while not connected; busy while a request runs (the window
    // may show it, e.g. with a wait cursor).
    virtual void ConsoleSetReadOnly(bool readOnly) = 0;
    virtual void ConsoleSetBusy(bool busy) = 0;
    // Errors: a short beep when the user asked for it ("BeepOnErrors").
    virtual void Beep() = 0;
};

// The rest of the program as the session sees it (CSessionEvents turns each
// call into a signal on the GUI thread).
class ISessionPanes : public ISessionConsole {
public:
    // --- Command history --------------------------------------------------
    virtual void HistoryAdd(const std::string& statement) = 0;

    // --- Completion list ----------------------------------------------------
    // Hide the list, fill it with the matches (at least one), show it; with
    // exactly one match the list takes it at once.
    virtual void CompletionShow(const std::vector<std::string>& matches) = 0;

    // --- Workspace -------------------------------------------------------------
    // Refill the list (redraw off, keep its sort, redraw on). May be empty.
    virtual void WorkspaceRefill(const std::vector<CInfoVariable>& variables) = 0;
    // Show the workspace pane ("load ..." was typed).
    virtual void WorkspaceShow() = 0;
    // If the variable editor is visible, reload its variable.
    virtual void VariableEditorReload() = 0;

    // --- Search path and packages -----------------------------------------------
    // Empty the list and show one row "Populating list. Please wait..." (for
    // the package list in the third column).
    virtual void PathListPopulating() = 0;
    virtual void PathListFill(const std::vector<std::string>& folders) = 0;
    virtual void PackageListPopulating() = 0;
    virtual void PackageListFill(const std::vector<CPackageRow>& rows) = 0;

    // --- Profiler ----------------------------------------------------------------
    // "__FunctioProfilingEnd__" and "__ProfilingFileReady__" were printed.
    virtual void ProfilerFunctionProfilingEnded() = 0;
    virtual void ProfilerFileReady() = 0;

    // --- Documentation and folders --------------------------------------------------
    virtual void DocumentationShow(const std::string& topic) = 0;
    // "cd dir" typed by the user: put dir into the directory box and make the
    // current-directory change (which queues "cd '<dir>';###"). When the change
    // fails, call COctaveRedirector::WritePrompt() so the user gets a prompt.
    virtual void ChangeDirectory(const std::string& directory) = 0;
    // The interpreter's folder may have changed: called at the prompt after a
    // statement the user saw (typed or from the editor) or a cd/run.
    virtual void CurrentDirectoryMayHaveChanged() {}

    // --- Editor program ---------------------------------------------------------------
    // Hand text to the editor program (the main window's transport). Called
    // on the reader thread; must not wait for the GUI thread. False when the
    // editor did not get the text (e.g. it had to be started).
    virtual bool SendToEditor(const std::string& text, bool activate) = 0;

    // --- Application --------------------------------------------------------------------
    // "exit"/"quit" typed: ask to close the application. The session's
    // sender goes on (the user may cancel); the application stops it with
    // COctaveRedirector::StopSender() once the close is confirmed.
    virtual void RequestApplicationClose() = 0;
};
