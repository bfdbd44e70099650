#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

class CMarlinoteView;

// What a view needs from the link to the main program. The editor has no
// interpreter of its own: run, evaluate, debug, breakpoints, call tips,
// descriptions and values under the mouse all travel as statements through
// this interface. A view without a link (null) keeps editing but disables
// every command that would need the interpreter.
class CInterpreterLink {
public:
    virtual ~CInterpreterLink() = default;

    // Sends one statement. activate brings the main program to the front;
    // offerStart asks the user to start it when it is not running; echo false
    // makes the main program run it silently. False when it was not taken.
    virtual bool SendToMainProgram(const QByteArray& text, bool activate, bool offerStart,
                                   bool echo) = 0;

    // True while the interpreter is stopped in the debugger.
    virtual bool IsDebugMode() const = 0;

    // The function name, path and view of the last request, so that an error
    // answer can name the file that caused it.
    virtual void RememberRequest(const QByteArray& functionName, const QString& path,
                                 CMarlinoteView* view) = 0;

    // The word and screen point of a pending description ("help") or value
    // request; describe true shows the next "parameters:" answer as a tooltip
    // instead of a call tip.
    virtual void RememberTooltip(const QByteArray& word, const QPoint& screenPoint,
                                 bool describe) = 0;
    virtual bool IsDescribePending() const = 0;

    // Hides the value tooltip (the mouse left the editing window).
    virtual void HideValueTooltip() = 0;
};
