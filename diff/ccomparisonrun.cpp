#include "diff/ccomparisonrun.h"

#include "common/cpath.h"
#include "diff/cdiffreport.h"
#include "diff/cfilepartition.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Exists(const std::string& path, bool& isFolder)
{
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return false;
    isFolder = S_ISDIR(info.st_mode);
    return true;
}

// Written in one piece; a report that is cut short is removed, so that the
// caller, who judges by the file, never shows half a page.
bool WriteReport(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::remove(path.c_str());
    return ok;
}

// The path with links resolved, for a file that need not exist yet: its
// folder resolved and its name kept. Empty when the folder does not exist.
std::string ResolvedPath(const std::string& path)
{
    if (char* full = ::realpath(path.c_str(), nullptr)) {
        std::string resolved(full);
        std::free(full);
        return resolved;
    }
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char* full = ::realpath(folder.c_str(), nullptr);
    if (!full)
        return std::string();
    std::string resolved(full);
    std::free(full);
    return (resolved == "/" ? "" : resolved) + "/" + name;
}

// True when writing the report to output would overwrite an input: the same
// file (also through a link or another name), or a file inside a compared
// folder.
bool OutputHitsInput(const std::string& output, const std::string& input, bool inputIsFolder)
{
    struct stat out;
    struct stat in;
    if (!inputIsFolder && ::stat(output.c_str(), &out) == 0 && ::stat(input.c_str(), &in) == 0
        && out.st_dev == in.st_dev && out.st_ino == in.st_ino)
        return true;
    const std::string resolvedOutput = ResolvedPath(output);
    const std::string resolvedInput = ResolvedPath(input);
    if (resolvedOutput.empty() || resolvedInput.empty())
        return false;
    if (!inputIsFolder)
        return resolvedOutput == resolvedInput;
    const std::string prefix = resolvedInput == "/" ? "/" : resolvedInput + "/";
    return resolvedOutput.compare(0, prefix.size(), prefix) == 0;
}

// The target of a report link: the browser resolves a relative name against
// the report's folder, not against the folder the name was given in.
std::string AbsolutePath(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char* folder = ::getcwd(nullptr, 0);
    if (!folder)
        return path;
    std::string absolute(folder);
    std::free(folder);
    return absolute + "/" + path;
}

} // namespace

std::string CComparisonRun::LastWriteText(const std::string& path)
{
    CPath file(path);
    return CDiffReport::FormatLongTime(file.GetFileTime(2));
}

CComparisonRun::Result CComparisonRun::Run(const std::string& first, const std::string& second,
                                           std::string output, const COptionList& options,
                                           const Notify& notify, const TimeText& timeText)
{
    const auto tell = [&notify](const std::string& message) {
        if (notify)
            notify(message);
    };
    bool firstIsFolder = false;
    bool secondIsFolder = false;
    if (!Exists(first, firstIsFolder)) {
        tell(first + " does not exist.");
        return Missing;
    }
    if (!Exists(second, secondIsFolder)) {
        tell(second + " does not exist.");
        return Missing;
    }
    if (firstIsFolder != secondIsFolder) {
        tell(first + " cannot be compared with " + second + ".");
        return Mismatch;
    }

    if (output.empty())
        output = "out.html";
    for (const auto& [input, isFolder] : {std::pair{first, firstIsFolder}, std::pair{second, secondIsFolder}}) {
        if (OutputHitsInput(output, input, isFolder)) {
            tell("error : " + output + (isFolder ? " lies inside the compared folder " + input
                                                  : " is one of the compared files")
                 + "; write the report to another file.");
            return OutputIsInput;
        }
    }

    CFilePartition a;
    CFilePartition b;
    if (firstIsFolder) {
        a.LoadFolder(first, options);
        b.LoadFolder(second, options);
    } else {
        // An unreadable file compared as empty would pass for a real result.
        if (!a.LoadFile(first, options)) {
            tell(first + " cannot be read.");
            return CannotRead;
        }
        if (!b.LoadFile(second, options)) {
            tell(second + " cannot be read.");
            return CannotRead;
        }
    }
    CFilePartition left;
    CFilePartition right;
    CFilePartition::Compare(a, b, left, right);

    const TimeText& time = timeText ? timeText : TimeText(&LastWriteText);
    const std::string report = CDiffReport::Build(left, right, time(first), time(second),
                                                  AbsolutePath(first), AbsolutePath(second));
    if (!WriteReport(output, report)) {
        tell("error : cannot create " + output);
        return CannotWrite;
    }
    return Written;
}
