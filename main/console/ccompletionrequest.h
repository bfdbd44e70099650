#pragma once

#include <QString>

// The completion request built from the command line: the token before the
// caret (what follows the last delimiter), the range of the window text the
// chosen completion replaces, and the statement asking the interpreter.
struct CCompletionRequest {
    QString token;
    int replaceStart = 0;
    int replaceEnd = 0;
    QString statement;

    // textBeforeCaret is T[0..S); selectionEnd is E.
    static CCompletionRequest Build(const QString& textBeforeCaret, int selectionEnd);
    static const QString& Delimiters();
};
