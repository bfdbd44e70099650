#pragma once

#include <QByteArray>
#include <QList>

// Every text the main program and the editor send each other, written and
// read in one place. Each kind is recognised by its leading keyword alone, so
// a value or path that holds "line ", "error:" or "debug" is never taken for
// another kind.
//
// Editor to main program: statements. A statement travels as its text and one
// line end; a statement to be run silently (no echo, no history entry) ends
// in "####" after that line end.
//
// Main program to editor:
//   "debug\nLine=<n>\nPath=<file>"            the debugger stopped there
//   "dbended\nPath=<file>"                     the debugger ended
//   "varvalue:<html>"                          a value under the mouse
//   "completion:\n<name>\n...<prompt line>"    the interpreter's names
//   "parameters:<help text>"                   call tip / description
//   "setcurrentpath=<folder>"                  the interpreter's folder
//   "interpreterstarted"                       a new interpreter: it has no
//                                              breakpoints and is not stopped
//   "UpdatePreferences"                        re-read the settings
//   "close"                                    close (asks to save)
//   "errorlocation\nLine=<n>\nColumn=<c>\nPath=<file>"  a clicked error link
//   "breakpoint\nFunction=<f>\nRequested=<n>\nLine=<m>" dbstop set line m
//   "error:<text>"                             an error of an editor statement
namespace EditorProtocol {

// --- statements (editor to main program) -----------------------------------

QByteArray EncodeStatement(const QByteArray& statement, bool echo);

struct Statement {
    QByteArray text;  // without line ends and without the silent mark
    bool echo = true;
};
// False for an empty text (nothing to run).
bool DecodeStatement(const QByteArray& message, Statement& statement);

// The request to bring the main window forward with its command window
// focused (sent before a statement run with "Change focus" on). The main
// program carries it out itself; it never reaches the interpreter.
QByteArray EncodeActivate();
bool IsActivate(const Statement& statement);

// --- messages (main program to editor) -------------------------------------

enum class Kind {
    Unknown,
    Debug,
    DebugEnded,
    Value,
    Completion,
    Parameters,
    CurrentPath,
    InterpreterStarted,
    UpdatePreferences,
    Close,
    ErrorLocation,
    Breakpoint,
    Error,
};

struct Message {
    Kind kind = Kind::Unknown;
    QByteArray path;      // Debug, DebugEnded, ErrorLocation, CurrentPath
    int line = 0;         // Debug, ErrorLocation, Breakpoint (line used; 0: none)
    int column = 0;       // ErrorLocation
    int requested = 0;    // Breakpoint
    QByteArray function;  // Breakpoint
    QByteArray text;      // Value, Parameters, Error
    QList<QByteArray> names;  // Completion
};

Message Decode(const QByteArray& message);

QByteArray EncodeDebug(const QByteArray& path, int line);
QByteArray EncodeDebugEnded(const QByteArray& path);
QByteArray EncodeValue(const QByteArray& html);
// answer: the interpreter's lines, the last one being the prompt.
QByteArray EncodeCompletion(const QByteArray& answer);
QByteArray EncodeParameters(const QByteArray& helpText);
QByteArray EncodeCurrentPath(const QByteArray& folder);
QByteArray EncodeInterpreterStarted();
QByteArray EncodeUpdatePreferences();
QByteArray EncodeClose();
QByteArray EncodeErrorLocation(const QByteArray& path, int line, int column);
QByteArray EncodeError(const QByteArray& errorText);

// The message for the answer to an editor's breakpoint statement
// ("dbstop('f','11')" answered "ans = 13"); empty when the statement is no
// single dbstop or the answer names no line the statement did not ask for.
QByteArray EncodeBreakpointAnswer(const QByteArray& statement, const QByteArray& answer);

// The line a dbstop answer names ("ans = 13"); 0 when it names none ("ans =
// [](1x0)" for a line past the end, where nothing is set).
int AnsweredLine(const QByteArray& answer);

// True for a statement the main program carries out itself instead of
// handing it to the interpreter ("exit", "clc", "doc", ...): a script of that
// name must be run by its path, not by its bare name.
bool IsMainProgramCommand(const QByteArray& statement);

}  // namespace EditorProtocol
