#include "main/files/cfilefinder.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The byte in lower case for ASCII letters, unchanged otherwise.
struct LowerTable {
    unsigned char map[256];
    LowerTable()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = (i >= 'A' && i <= 'Z') ? static_cast<unsigned char>(i + 32) : static_cast<unsigned char>(i);
    }
};
const LowerTable kLower;

QString LineText(const std::string& content, size_t begin, size_t end)
{
    if (end > begin && content[end - 1] == '\r')
        --end;
    const size_t length = std::min(end - begin, size_t(CFileFinder::kMaxLineText));
    return QString::fromUtf8(content.data() + begin, int(length));
}

bool ReadFile(const std::string& path, std::string& content)
{
    // Without O_NONBLOCK a named pipe would hold the search (and whoever
    // waits for it) until some writer opens it; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    content.resize(size_t(info.st_size));
    // A file with a zero byte is not searched; the test on its first block
    // spares reading a large data file whole only to refuse it.
    const size_t firstBlock = std::min(content.size(), size_t(1) << 16);
    size_t done = 0;
    bool binary = false;
    while (done < content.size()) {
        const size_t want = done < firstBlock ? firstBlock - done : content.size() - done;
        const ssize_t n = ::read(fd, &content[done], want);
        if (n <= 0)
            break;
        done += size_t(n);
        if (done == firstBlock && std::memchr(content.data(), '\0', firstBlock)) {
            binary = true;
            break;
        }
    }
    ::close(fd);
    if (binary) {
        content.clear();
        return false;
    }
    content.resize(done);
    return true;
}

// The mask for fnmatch: only "*" and "?" are wildcards; brackets and
// backslashes in a file name stand for themselves.
std::string WildcardPattern(const QString& mask)
{
    std::string pattern;
    for (const char c : mask.toStdString()) {
        if (c == '[' || c == ']' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

}  // namespace

bool CFileFinder::FindLines(const std::string& content, const std::string& lowerNeedle, std::vector<LineHit>& hits)
{
    if (std::memchr(content.data(), '\0', content.size()))
        return false;
    std::string lower(content.size(), '\0');
    std::transform(content.begin(), content.end(), lower.begin(),
                   [](char c) { return char(kLower.map[static_cast<unsigned char>(c)]); });
    int line = 1;
    size_t counted = 0;
    size_t at = 0;
    while ((at = lower.find(lowerNeedle, at)) != std::string::npos) {
        const size_t begin = lower.rfind('\n', at) == std::string::npos ? 0 : lower.rfind('\n', at) + 1;
        size_t end = lower.find('\n', at);
        if (end == std::string::npos)
            end = lower.size();
        line += int(std::count(lower.begin() + long(counted), lower.begin() + long(begin), '\n'));
        counted = begin;
        hits.push_back({line, LineText(content, begin, end)});
        at = end;
    }
    return true;
}

bool CFileFinder::TestFile(const std::string& path, std::vector<LineHit>& hits)
{
    if (m_needle.empty())
        return true;
    if (!ReadFile(path, m_content))
        return false;
    if (m_asciiNeedle)
        return FindLines(m_content, m_needle, hits) && !hits.empty();
    // A needle with letters beyond ASCII: each line compared as text.
    if (std::memchr(m_content.data(), '\0', m_content.size()))
        return false;
    const QString needle = QString::fromUtf8(m_needle.c_str());
    size_t begin = 0;
    for (int line = 1; begin < m_content.size(); ++line) {
        size_t end = m_content.find('\n', begin);
        if (end == std::string::npos)
            end = m_content.size();
        const QString text = QString::fromUtf8(m_content.data() + begin, int(end - begin));
        if (text.contains(needle, Qt::CaseInsensitive))
            hits.push_back({line, LineText(m_content, begin, end)});
        begin = end + 1;
    }
    return !hits.empty();
}

int CFileFinder::Search(const Options& options, const Report& report, const Progress& progress)
{
    m_stop.store(false);
    const QByteArray needle = options.text.toUtf8();
    m_asciiNeedle = std::all_of(needle.begin(), needle.end(), [](char c) { return static_cast<unsigned char>(c) < 128; });
    m_needle.assign(needle.constData(), size_t(needle.size()));
    if (m_asciiNeedle)
        std::transform(m_needle.begin(), m_needle.end(), m_needle.begin(),
                       [](char c) { return char(kLower.map[static_cast<unsigned char>(c)]); });
    const std::string mask = WildcardPattern(options.mask);
    int files = 0;
    std::vector<std::string> pending{QFile::encodeName(options.folder).toStdString()};
    std::vector<LineHit> hits;
    while (!pending.empty() && !m_stop.load()) {
        const std::string folder = pending.back();
        pending.pop_back();
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            continue;
        std::vector<std::string> subFolders;
        const QString folderText = QFile::decodeName(folder.c_str());
        while (dirent* entry = ::readdir(dir)) {
            if (m_stop.load())
                break;
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            const std::string path = folder + '/' + name;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat info {};
                if (::lstat(path.c_str(), &info) != 0)
                    continue;
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
            }
            // Linked folders are never entered: a link may lead out of the
            // tree or around in a circle.
            if (type == DT_DIR) {
                if (options.subFolders)
                    subFolders.push_back(path);
                continue;
            }
            if (fnmatch(mask.c_str(), name, FNM_CASEFOLD) != 0)
                continue;
            struct stat target {};
            if (type == DT_LNK && (::stat(path.c_str(), &target) != 0 || S_ISDIR(target.st_mode)))
                continue;
            ++files;
            hits.clear();
            if (TestFile(path, hits))
                report(folderText, QFile::decodeName(name), hits);
            if (progress && files % 16 == 0)
                progress(files);
        }
        ::closedir(dir);
        std::sort(subFolders.begin(), subFolders.end(), std::greater<>());
        pending.insert(pending.end(), subFolders.begin(), subFolders.end());
    }
    if (progress)
        progress(files);
    return files;
}
