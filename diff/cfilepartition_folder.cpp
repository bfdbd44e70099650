// The folder listing half of CFilePartition: a folder is compared by a
// generated text that names its sub-folders and its files with their times.
#include "diff/cfilepartition.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z')
            cb += 'a' - 'A';
        if (ca != cb)
            return ca - cb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// "dd/mm/yyyy  hh:mm" in UTC, so a listing does not depend on the time zone.
bool FileEntry(const std::string& path, const std::string& name, std::string& entry)
{
    // Non-blocking, so that a named pipe in the folder cannot stall the listing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    const bool ok = ::fstat(fd, &info) == 0;
    ::close(fd);
    if (!ok)
        return false;
    std::tm utc{};
    const time_t written = info.st_mtime;
    if (!gmtime_r(&written, &utc))
        return false;
    char time[64];
    std::snprintf(time, sizeof time, "%02d/%02d/%d  %02d:%02d", utc.tm_mday, utc.tm_mon + 1,
                  utc.tm_year + 1900, utc.tm_hour, utc.tm_min);
    entry = name + " (" + time + ")";
    return true;
}

} // namespace

bool CFilePartition::LoadFolder(const std::string& path, const COptionList& options)
{
    m_name = path;
    m_options.Append(options);
    std::string folder = path;
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    ListFolder(folder, 0);
    return true;
}

void CFilePartition::ListFolder(const std::string& path, int depth)
{
    std::string indent;
    for (int d = 0; d < depth; ++d)
        indent += "  ";
    const size_t slash = path.rfind('/');
    AddLine(indent + "+ " + (slash == std::string::npos ? path : path.substr(slash + 1)));

    std::vector<std::string> entries;
    if (DIR* dir = ::opendir((path + "/").c_str())) {
        while (const dirent* item = ::readdir(dir)) {
            const std::string name = item->d_name;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "/" + name;
            // A link to a folder is listed as an entry, never followed, so a
            // link back up the tree cannot make the listing endless.
            struct stat info;
            if (::lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                ListFolder(child, depth + 1);
                continue;
            }
            std::string entry;
            if (FileEntry(child, name, entry))
                entries.push_back(std::move(entry));
        }
        ::closedir(dir);
    }

    // Descending without regard to case; equal entries keep the order in which
    // they came, as insertion before the first lower entry would leave them.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) > 0; });
    for (const std::string& entry : entries)
        AddLine(indent + "    " + entry);
}
