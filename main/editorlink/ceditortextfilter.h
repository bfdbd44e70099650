#pragma once

#include <QByteArray>
#include <QString>

// Statements the editor program sends to the main window: an empty one and a
// "cd " to the folder the interpreter is already in are dropped. What is left
// goes onto the incoming queue as one clean statement message (one line end,
// the silent mark kept), to be read there with EditorProtocol::DecodeStatement.
class CEditorTextFilter {
public:
    // False when the text is to be dropped; otherwise message is set.
    static bool Filter(const QByteArray& text, const QString& workPath, std::string& message);
    // Two spellings of the same folder compare equal ("/a/b/", "/a/./b").
    static bool SameFolder(const QString& a, const QString& b);
};
