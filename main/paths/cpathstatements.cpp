#include "main/paths/cpathstatements.h"

#include <QDir>
#include <QFileInfo>

#include "platform/octavequote.h"

namespace {

std::string Call(const char* function, const std::vector<std::string>& folders)
{
    std::string statement;
    for (const std::string& folder : folders) {
        std::string literal;
        if (!OctaveQuote(folder, literal))
            continue;
        statement += statement.empty() ? std::string(function) + "(" : ",";
        statement += literal;
    }
    return statement.empty() ? statement : statement + ");###";
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
