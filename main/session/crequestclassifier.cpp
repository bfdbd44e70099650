#include "crequestclassifier.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CRequestAction CRequestClassifier::Classify(const std::string& text, bool echo, bool explorePrompt,
                                            const COctaveDialect& dialect)
{
    CRequestAction a;
    a.toSend = text;
    a.echo = echo;

    if ((text == "exit" || text == "quit") && !explorePrompt) {
        // In the profiler's explorer "exit" leaves the explorer instead.
        a.kind = CRequestAction::Exit;
        return a;
    }
    if (StartsWith(text, "clear")) {
        a.refreshNow = true;
    } else if (text == "clc" || text == "home") {
        a.kind = CRequestAction::ClearScreen;
    } else if (StartsWith(text, "doc ") || text == "doc") {
        a.kind = CRequestAction::Documentation;
        std::string topic = text.substr(3);
        if (EndsWith(topic, ";###"))
            topic.resize(topic.size() - 4);
        else
            a.freshPrompt = true;
        a.argument = Trim(topic);
    } else if (text == "path;###") {
        a.answer = CRequestAction::PathAnswer;
        a.refreshAfter = false;
    } else if (text == "pkg describe all;###") {
        a.answer = CRequestAction::PackageAnswer;
        a.refreshAfter = false;
        a.toSend = dialect.PackageDescribeStatement();
    } else if (StartsWith(text, "help ")) {
        if (EndsWith(text, ";###")) {
            a.answer = CRequestAction::CallTipAnswer;
            a.echo = false;
        } else {
            a.answer = CRequestAction::HelpAnswer;
        }
    } else if ((StartsWith(text, "cd ") || StartsWith(text, "chdir ")) && !EndsWith(text, ";###")) {
        a.kind = CRequestAction::ChangeDirectory;
        std::string folder = text.substr(text.find(' ') + 1);
        std::string unquoted;
        for (char c : folder)
            if (c != '\'' && c != '"')
                unquoted += c;
        a.argument = Trim(unquoted);
    } else if ((StartsWith(text, "pkg install") || StartsWith(text, "pkg uninstall") || StartsWith(text, "pkg load")
                || StartsWith(text, "pkg unload"))
               && EndsWith(text, ";###")) {
        a.packagesChanged = true;
    } else if ((StartsWith(text, "rmpath") || StartsWith(text, "addpath")) && EndsWith(text, ";###")) {
        a.pathsChanged = true;
    } else if (StartsWith(text, "getvalue:")) {
        a.toSend = text.substr(9);
        a.answer = CRequestAction::ValueAnswer;
        a.refreshAfter = false;
    } else if (StartsWith(text, "completion_matches_editor")) {
        a.waitBeforeSend = true;
        a.toSend = "completion_matches('')";
        a.answer = CRequestAction::EditorCompletionAnswer;
        a.refreshAfter = false;
        a.echo = false;
    } else if (StartsWith(text, "completion_matches") && EndsWith(text, "###")) {
        a.answer = CRequestAction::CompletionAnswer;
        a.refreshAfter = false;
    } else if (StartsWith(text, "load ")) {
        a.showWorkspace = true;
    }
    return a;
}

bool CRequestClassifier::SuppressesRefresh(const std::string& text, const std::string& namesStatement)
{
    if (text == namesStatement)
        return true;
    for (const char* part : {"matrix_temp.csv", "while(length(dbstatus", "dbclear(", "dbstop("})
        if (text.find(part) != std::string::npos)
            return true;
    return false;
}
