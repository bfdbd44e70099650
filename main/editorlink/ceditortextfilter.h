#pragma once

#include <QByteArray>
#include <QString>

// Texts the editor program sends to the main window: line ends are removed;
// a "cd " to the folder the interpreter is already in is dropped. What is
// left goes onto the incoming queue.
class CEditorTextFilter {
public:
    // False when the text is to be dropped; otherwise statement is set.
    static bool Filter(const QByteArray& text, const QString& workPath, std::string& statement);
    // Two spellings of the same folder compare equal ("/a/b/", "/a/./b").
    static bool SameFolder(const QString& a, const QString& b);
};
