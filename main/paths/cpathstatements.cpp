#include "main/paths/cpathstatements.h"

#include <QDir>
#include <QFileInfo>

#include <sstream>

#include "platform/octavequote.h"

namespace {

// The quoted folders, separated by ",".
std::string Arguments(const std::vector<std::string>& folders)
{
    std::string arguments;
    for (const std::string& folder : folders) {
        std::string literal;
        if (!OctaveQuote(folder, literal))
            continue;
        if (!arguments.empty())
            arguments += ",";
        arguments += literal;
    }
    return arguments;
}

std::string Call(const char* function, const std::vector<std::string>& folders)
{
    const std::string arguments = Arguments(folders);
    return arguments.empty() ? arguments : std::string(function) + "(" + arguments + ");###";
}

void AppendBelow(const QString& folder, std::vector<std::string>& out)
{
    // Hidden folders (".git") hold a tool's files, never functions to call.
    const QFileInfoList children = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& child : children) {
        out.push_back(QDir::cleanPath(child.absoluteFilePath()).toStdString());
        if (!child.isSymLink())
            AppendBelow(child.absoluteFilePath(), out);
    }
}

}  // namespace

std::string CPathStatements::AddPath(const std::vector<std::string>& folders)
{
    return Call("addpath", folders);
}

std::string CPathStatements::RemovePath(const std::vector<std::string>& folders)
{
    return Call("rmpath", folders);
}

std::string CPathStatements::OnPathQuery(const std::vector<std::string>& folders)
{
    const std::string arguments = Arguments(folders);
    return arguments.empty() ? arguments
                             : "disp(sprintf('%d', ismember({" + arguments + "}, strsplit(path, pathsep))));";
}

bool CPathStatements::ReadOnPath(const std::vector<std::string>& folders, const std::string& answer,
                                 std::vector<std::string>& kept, std::vector<std::string>& gone)
{
    // A warning of the statement before may come first: the digits are a
    // line of their own.
    std::istringstream lines(answer);
    std::string line, digits;
    while (std::getline(lines, line))
        if (line.size() == folders.size() && line.find_first_not_of("01") == std::string::npos)
            digits = line;
    if (folders.empty() || digits.empty())
        return false;
    for (std::size_t i = 0; i < folders.size(); ++i)
        (digits[i] == '1' ? kept : gone).push_back(folders[i]);
    return true;
}

std::vector<std::string> CPathStatements::Usable(const std::vector<std::string>& folders)
{
    std::vector<std::string> kept;
    std::string literal;
    for (const std::string& folder : folders)
        if (folder.find(':') == std::string::npos && OctaveQuote(folder, literal))
            kept.push_back(folder);
    return kept;
}

std::vector<std::string> CPathStatements::FolderTree(const QString& root)
{
    std::vector<std::string> folders{QDir::cleanPath(root).toStdString()};
    AppendBelow(root, folders);
    return folders;
}
