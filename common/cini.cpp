#include "common/cini.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Serialises read-modify-write cycles of this process; the rename makes each
// write atomic for readers in other processes.
std::mutex g_writeMutex;

struct Line {
    size_t begin;  // first byte of the text
    size_t end;    // one past the text, before CR LF / LF
    size_t next;   // first byte of the following line
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trim(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& content)
{
    content.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::vector<Line> SplitLines(const std::string& content)
{
    std::vector<Line> lines;
    size_t pos = 0;
    // A UTF-8 byte order mark is not part of the first line's text.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    while (pos < content.size()) {
        size_t lf = content.find('\n', pos);
        size_t next = lf == std::string::npos ? content.size() : lf + 1;
        size_t end = lf == std::string::npos ? content.size() : lf;
        if (end > pos && content[end - 1] == '\r')
            --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// "[name]" gives true and the name.
bool SectionName(const std::string& text, std::string& name)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] != '[')
        return false;
    const size_t close = trimmed.find(']');
    name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// "key=value" gives true, the key and the value (both trimmed).
bool KeyValue(const std::string& text, std::string& key, std::string& value)
{
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    key = Trim(text.substr(0, equals));
    const std::string trimmedLine = Trim(text);
    if (key.empty() || trimmedLine[0] == ';')
        return false;
    value = Trim(text.substr(equals + 1));
    return true;
}

struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    size_t keyLine = 0;       // index of the matching key line
    size_t insertAt = 0;      // byte offset where a new key of the section goes
    bool insertNeedsEol = false;
    std::string keyAsWritten;
    std::string value;
};

Location Find(const std::string& content, const std::vector<Line>& lines,
              const std::string& section, const std::string& key)
{
    Location where;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
        std::string name;
        if (SectionName(text, name)) {
            if (inSection)
                break;  // the first matching section wins
            inSection = SameName(name, section);
            if (inSection) {
                where.sectionFound = true;
                where.insertAt = lines[i].next;
                where.insertNeedsEol = lines[i].next == lines[i].end;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!Trim(text).empty()) {
            where.insertAt = lines[i].next;
            where.insertNeedsEol = lines[i].next == lines[i].end;
        }
        std::string lineKey;
        std::string value;
        if (KeyValue(text, lineKey, value) && SameName(lineKey, key)) {
            where.keyFound = true;
            where.keyLine = i;
            where.keyAsWritten = lineKey;
            where.value = value;
            return where;
        }
    }
    return where;
}

bool WriteAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes a new file beside the old one and renames it over it, so a reader
// sees either the old or the new content, never a half-written file.
bool ReplaceFile(const std::string& requestedPath, const std::string& content)
{
    std::string path = requestedPath;
    char resolved[PATH_MAX];
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && ::realpath(path.c_str(), resolved) != nullptr)
        path = resolved;  // keep a symbolic link pointing at the file

    std::string templ = path + ".XXXXXX";
    const int fd = ::mkostemp(&templ[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    const mode_t mode = exists ? (old.st_mode & 07777) : 0600;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(templ.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(templ.c_str());
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

}  // namespace

void CIni::SetPathName(const char* path)
{
    m_path = path ? path : "";
}

std::string CIni::GetString(const char* section, const char* key, const char* defaultValue)
{
    const std::string fallback = defaultValue ? defaultValue : "";
    if (!section || !key || m_path.empty())
        return fallback;
    std::string content;
    if (!ReadWholeFile(m_path, content))
        return fallback;
    const Location where = Find(content, SplitLines(content), section, key);
    return where.keyFound ? where.value : fallback;
}

bool CIni::WriteString(const char* section, const char* key, const char* value)
{
    if (!section || !key || m_path.empty())
        return false;
    const std::string sectionText = section;
    const std::string keyText = Trim(key);
    const std::string valueText = value ? value : "";
    // One value is one line: a line break would cut the file's structure.
    if (keyText.empty() || keyText[0] == '[' || keyText[0] == ';'
        || keyText.find('=') != std::string::npos || HasLineBreak(keyText)
        || HasLineBreak(sectionText) || sectionText.find(']') != std::string::npos
        || HasLineBreak(valueText))
        return false;

    std::lock_guard<std::mutex> lock(g_writeMutex);
    std::string content;
    ReadWholeFile(m_path, content);
    const std::vector<Line> lines = SplitLines(content);
    const size_t firstLf = content.find('\n');
    const std::string eol = (firstLf != std::string::npos && firstLf > 0 && content[firstLf - 1] == '\r')
                                ? "\r\n" : "\n";

    const Location where = Find(content, lines, sectionText, keyText);
    std::string updated;
    if (where.keyFound) {
        const Line& line = lines[where.keyLine];
        updated = content.substr(0, line.begin) + where.keyAsWritten + "=" + valueText
                  + content.substr(line.end);
    } else if (where.sectionFound) {
        updated = content.substr(0, where.insertAt) + (where.insertNeedsEol ? eol : "")
                  + keyText + "=" + valueText + eol + content.substr(where.insertAt);
    } else {
        updated = content;
        if (!updated.empty() && updated.back() != '\n')
            updated += eol;
        updated += "[" + sectionText + "]" + eol + keyText + "=" + valueText + eol;
    }
    return ReplaceFile(m_path, updated);
}

void CIni::GetArray(const char* section, const char* key, std::vector<std::string>& out,
                    const char* delimiter)
{
    out.clear();
    const std::string sep = (delimiter && *delimiter) ? delimiter : ",";
    const std::string stored = GetString(section, key, "");
    size_t start = 0;
    for (;;) {
        const size_t hit = stored.find(sep, start);
        const std::string piece = Trim(stored.substr(start, hit == std::string::npos ? std::string::npos
                                                                                       : hit - start));
        if (!piece.empty())
            out.push_back(piece);
        if (hit == std::string::npos)
            break;
        start = hit + sep.size();
    }
}

bool CIni::WriteArray(const char* section, const char* key, const std::vector<std::string>& items,
                      int count, const char* delimiter)
{
    const std::string sep = (delimiter && *delimiter) ? delimiter : ",";
    size_t n = items.size();
    if (count >= 0 && static_cast<size_t>(count) < n)
        n = static_cast<size_t>(count);
    std::string joined;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0)
            joined += sep;
        joined += items[i];
    }
    return WriteString(section, key, joined.c_str());
}
