#include "main/session/crequestclassifier.h"

#include "common/ctexttools.h"

namespace {

// A folder as typed after cd: a quoted one loses its quotes (a doubled
// quote inside stands for one); anything else is the name as it stands.
std::string Unquoted(const std::string& folder)
{
    if (folder.size() < 2 || (folder.front() != '\'' && folder.front() != '"') || folder.back() != folder.front())
        return folder;
    const std::string quote(1, folder.front());
    std::string inner = folder.substr(1, folder.size() - 2);
    CTextTools::ReplaceAll(inner, quote + quote, quote);
    return inner;
}

bool IsNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

}  // namespace

std::string CRequestClassifier::ValueStatement(const std::string& word)
{
    // "x" or "s.field": the value is shown only when the variable exists, so
    // a function name under the mouse is never run.
    bool valid = !word.empty() && IsNameStart(word.front()) && word.back() != '.';
    for (std::size_t i = 1; valid && i < word.size(); ++i)
        valid = IsNameChar(word[i]) || (word[i] == '.' && IsNameStart(word[i + 1]));
    if (!valid)
        return "if false, end";
    const std::string variable = word.substr(0, word.find('.'));
    return "if exist('" + variable + "','var'), " + word + ", end";
}

CRequestAction CRequestClassifier::Classify(const std::string& text, bool echo, bool explorePrompt,
                                            const COctaveDialect& dialect)
{
    CRequestAction a;
    a.toSend = text;
    a.echo = echo;
    // Several lines (a selection run from the editor) go to the interpreter
    // as they are: a first line "cd x" or "doc x" is not the whole request.
    const bool oneLine = text.find('\n') == std::string::npos;

    if ((text == "exit" || text == "quit") && !explorePrompt) {
        // In the profiler's explorer "exit" leaves the explorer instead.
        a.kind = CRequestAction::Exit;
        return a;
    }
    if (CTextTools::StartsWith(text, "clear")) {
        a.refreshNow = true;
    } else if (text == "clc" || text == "home") {
        a.kind = CRequestAction::ClearScreen;
    } else if ((CTextTools::StartsWith(text, "doc ") && oneLine) || text == "doc") {
        a.kind = CRequestAction::Documentation;
        std::string topic = text.substr(3);
        if (CTextTools::EndsWith(topic, ";###"))
            topic.resize(topic.size() - 4);
        else
            a.freshPrompt = true;
        a.argument = CTextTools::Trim(topic);
    } else if (text == "path;###") {
        a.answer = CRequestAction::PathAnswer;
        a.refreshAfter = false;
    } else if (text == "pkg describe all;###") {
        a.answer = CRequestAction::PackageAnswer;
        a.refreshAfter = false;
        a.toSend = dialect.PackageDescribeStatement();
    } else if (CTextTools::StartsWith(text, "help ")) {
        if (CTextTools::EndsWith(text, ";###")) {
            a.answer = CRequestAction::CallTipAnswer;
            a.echo = false;
        } else {
            a.answer = CRequestAction::HelpAnswer;
        }
    } else if ((CTextTools::StartsWith(text, "cd ") || CTextTools::StartsWith(text, "chdir ")) && oneLine
               && !CTextTools::EndsWith(text, ";###")) {
        a.kind = CRequestAction::ChangeDirectory;
        a.argument = Unquoted(CTextTools::Trim(text.substr(text.find(' ') + 1)));
    } else if ((CTextTools::StartsWith(text, "pkg install") || CTextTools::StartsWith(text, "pkg uninstall") || CTextTools::StartsWith(text, "pkg load")
                || CTextTools::StartsWith(text, "pkg unload"))
               && CTextTools::EndsWith(text, ";###")) {
        a.packagesChanged = true;
    } else if ((CTextTools::StartsWith(text, "rmpath") || CTextTools::StartsWith(text, "addpath")) && CTextTools::EndsWith(text, ";###")) {
        a.pathsChanged = true;
    } else if (CTextTools::StartsWith(text, "getvalue:")) {
        a.toSend = ValueStatement(text.substr(9));
        a.answer = CRequestAction::ValueAnswer;
        a.refreshAfter = false;
    } else if (CTextTools::StartsWith(text, "completion_matches_editor")) {
        a.waitBeforeSend = true;
        a.toSend = "completion_matches('')";
        a.answer = CRequestAction::EditorCompletionAnswer;
        a.refreshAfter = false;
        a.echo = false;
    } else if (CTextTools::StartsWith(text, "completion_matches") && CTextTools::EndsWith(text, "###")) {
        a.answer = CRequestAction::CompletionAnswer;
        a.refreshAfter = false;
    } else if (CTextTools::StartsWith(text, "load ")) {
        a.showWorkspace = true;
    }
    // A statement the user sees (typed, or run from the editor) may change
    // the folder, as do the program's own cd and run statements.
    a.folderMayChange = a.echo || CTextTools::StartsWith(text, "cd ") || CTextTools::StartsWith(text, "chdir ")
                        || CTextTools::StartsWith(text, "run");
    return a;
}

CRequestAction CRequestClassifier::Collected(const std::string& text)
{
    CRequestAction a;
    a.toSend = text;
    a.answer = CRequestAction::CollectedAnswer;
    a.refreshAfter = false;
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
