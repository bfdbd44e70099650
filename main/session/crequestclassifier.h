#pragma once

#include <string>

#include "main/session/coctavedialect.h"

// What the request sender does with one request, decided from its text alone
// (first matching rule wins).
struct CRequestAction {
    enum Kind {
        Send,             // write toSend to the interpreter
        Exit,             // "exit"/"quit": close the application
        ClearScreen,      // "clc"/"home": never sent
        Documentation,    // "doc ...": never sent
        ChangeDirectory   // "cd ..."/"chdir ...": the folder pane changes it
    };
    // Requests whose answer is collected rather than shown (see the
    // dispatcher's table of collected answers).
    enum Answer { NoAnswer, ValueAnswer, CompletionAnswer, EditorCompletionAnswer, PathAnswer, PackageAnswer,
                  CallTipAnswer, HelpAnswer, CollectedAnswer, AnswerKinds };

    Kind kind = Send;
    Answer answer = NoAnswer;
    std::string toSend;      // the statement written (without line end)
    std::string argument;    // documentation topic or folder
    bool echo = false;
    bool freshPrompt = false;       // Documentation: write a prompt afterwards
    bool refreshAfter = true;       // may ask for a workspace refresh afterwards
    bool refreshNow = false;        // "clear...": refresh the workspace
    bool packagesChanged = false;
    bool pathsChanged = false;
    bool showWorkspace = false;     // "load ..."
    bool waitBeforeSend = false;    // the editor's completion request
    bool folderMayChange = false;   // the interpreter's folder may differ afterwards
};

class CRequestClassifier {
public:
    static CRequestAction Classify(const std::string& text, bool echo, bool explorePrompt,
                                   const COctaveDialect& dialect);

    // A collected request: sent as it stands, its answer collected.
    // The statement that prints the value of the word under the editor's
    // mouse when it names a variable, and prints nothing otherwise.
    static std::string ValueStatement(const std::string& word);
    static CRequestAction Collected(const std::string& text);

    // Statements after which the workspace is not refreshed.
    static bool SuppressesRefresh(const std::string& text, const std::string& namesStatement);
};
