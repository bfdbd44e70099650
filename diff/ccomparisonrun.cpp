#include "diff/ccomparisonrun.h"

#include "common/cpath.h"
#include "diff/cdiffreport.h"
#include "diff/cfilepartition.h"

#include <cstdio>

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

    if (output.empty())
        output = "out.html";
    const TimeText& time = timeText ? timeText : TimeText(&LastWriteText);
    const std::string report = CDiffReport::Build(left, right, time(first), time(second));
    if (!WriteReport(output, report)) {
        tell("error : cannot create " + output);
        return CannotWrite;
    }
    return Written;
}
