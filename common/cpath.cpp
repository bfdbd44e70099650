#include "common/cpath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/ctexttools.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The path ends at the first blank outside double quotes, as a shell splits
// a command line; what follows (blanks skipped) is the argument text.
void SplitPathAndArguments(const std::string& text, std::string& path, std::string& arguments)
{
    const std::string trimmed = CTextTools::Trim(text);
    bool quoted = false;
    size_t i = 0;
    for (; i < trimmed.size(); ++i) {
        if (trimmed[i] == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(trimmed[i]))
            break;
    }
    path = trimmed.substr(0, i);
    arguments = CTextTools::Trim(trimmed.substr(i));
}

std::string Unquote(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string WithSlash(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + '/';
}

// A word of the argument text is a switch when it starts with "/" or "-",
// except an absolute path ("/home/x"): a second "/" marks it as a value.
bool IsSwitch(const std::string& word)
{
    if (word.empty())
        return false;
    if (word[0] == '-')
        return true;
    return word[0] == '/' && word.find('/', 1) == std::string::npos;
}

}  // namespace

CPath::CPath(const std::string& text, bool isFolder, bool hasArguments)
    : m_source(text)
{
    std::string path = text;
    if (hasArguments)
        SplitPathAndArguments(text, path, m_arguments);
    path = Unquote(path);
    if (path.empty())
        return;

    std::replace(path.begin(), path.end(), '\\', '/');
    const size_t slash = path.rfind('/');
    std::string name;
    if (slash == std::string::npos) {
        name = path;
    } else {
        m_folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
    m_relative = path[0] != '/';

    if (isFolder) {
        // The whole last component is a folder name, dots included.
        m_folder = WithSlash(WithSlash(m_folder) + name);
        return;
    }

    // A leading dot (".bashrc"), a name of dots only ("..") and a trailing
    // dot ("file.") are part of the name: splitting there would change the
    // path when it is put together again.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()
        && name.find_first_not_of('.') != std::string::npos) {
        m_name = name.substr(0, dot);
        m_extension = name.substr(dot + 1);
    } else {
        m_name = name;
    }
}

std::string CPath::GetDrive() const
{
    return m_drive;
}

std::string CPath::GetFolder() const
{
    return m_folder;
}

std::string CPath::GetFileName() const
{
    if (m_extension.empty())
        return m_name;
    return m_name + "." + m_extension;
}

std::string CPath::GetExtension() const
{
    return m_extension;
}

std::string CPath::GetLocation() const
{
    return m_drive + m_folder;
}

std::string CPath::GetPath(bool withArguments)
{
    std::string result = m_drive + m_folder + GetFileName();
    if (!withArguments)
        return result;
    ParseArguments();
    for (const CArgument& argument : m_argumentList) {
        std::string value = argument.m_value;
        if (value.find(' ') != std::string::npos)
            value = "\"" + value + "\"";
        if (argument.m_name.empty()) {
            // A bare value has no switch to write.
            result += " " + value;
            continue;
        }
        result += " ";
        result += argument.m_switch;
        result += argument.m_name;
        if (!value.empty())
            result += " " + value;
    }
    return result;
}

bool CPath::IsRelative() const
{
    return m_relative;
}

void CPath::SplitFolders()
{
    if (m_foldersSplit)
        return;
    m_foldersSplit = true;
    size_t start = (!m_folder.empty() && m_folder[0] == '/') ? 1 : 0;
    for (;;) {
        const size_t slash = m_folder.find('/', start);
        if (slash == std::string::npos)
            break;
        m_folders.push_back(m_folder.substr(start, slash - start));
        start = slash + 1;
    }
    if (start < m_folder.size())
        m_folders.push_back(m_folder.substr(start));
}

int CPath::GetFolderCount()
{
    SplitFolders();
    return static_cast<int>(m_folders.size());
}

std::string CPath::GetFolderComponent(int index)
{
    if (index == -1)
        return m_folder;
    SplitFolders();
    if (index < 0 || index >= static_cast<int>(m_folders.size()))
        return std::string();
    return m_folders[static_cast<size_t>(index)];
}

void CPath::ParseArguments()
{
    if (m_argumentsParsed)
        return;
    m_argumentsParsed = true;

    const std::string text = CTextTools::Trim(m_arguments) + " ";
    std::string pending;
    bool havePending = false;

    auto store = [&](const std::string& value) {
        char switchChar = '/';
        std::string name;
        bool first = true;
        for (char c : pending) {
            if (c == '/' || c == '-' || c == ' ') {
                if (first)
                    switchChar = c == ' ' ? switchChar : c;
                first = false;
                continue;
            }
            first = false;
            name += c;
        }
        m_argumentList.emplace_back(switchChar, name, value);
        pending.clear();
        havePending = false;
    };

    size_t pos = 0;
    while (pos < text.size()) {
        const size_t hit = text.find_first_of(" \t\"", pos);
        if (hit == std::string::npos)
            break;
        if (hit > pos) {
            const std::string word = text.substr(pos, hit - pos);
            if (IsSwitch(word)) {
                if (havePending)
                    store(std::string());
                pending = word;
                havePending = true;
            } else {
                store(word);
            }
            pos = hit;
            continue;
        }
        if (text[hit] == '"') {
            size_t close = text.find('"', hit + 1);
            std::string value;
            if (close == std::string::npos) {
                value = CTextTools::Trim(text.substr(hit + 1));
                close = text.size() - 1;
            } else {
                value = text.substr(hit + 1, close - hit - 1);
            }
            store(value);
            pos = close + 1;
            continue;
        }
        pos = hit + 1;
    }
    if (havePending)
        store(std::string());
}

int CPath::GetArgumentCount()
{
    ParseArguments();
    return static_cast<int>(m_argumentList.size());
}

std::string CPath::GetArgument(int index, bool wantValue)
{
    ParseArguments();
    if (index < 0 || index >= static_cast<int>(m_argumentList.size()))
        return std::string();
    const CArgument& argument = m_argumentList[static_cast<size_t>(index)];
    return wantValue ? argument.m_value : argument.m_name;
}

bool CPath::ReadFileInfo()
{
    m_infoRead = true;
    m_creation = m_lastAccess = m_lastWrite = 0;
    m_size = 0;
    const std::string path = GetPath();
    if (path.empty())
        return false;

#ifdef STATX_BTIME
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
        m_lastAccess = static_cast<time_t>(sx.stx_atime.tv_sec);
        m_lastWrite = static_cast<time_t>(sx.stx_mtime.tv_sec);
        m_creation = (sx.stx_mask & STATX_BTIME) ? static_cast<time_t>(sx.stx_btime.tv_sec)
                                                 : static_cast<time_t>(sx.stx_ctime.tv_sec);
        m_size = static_cast<long long>(sx.stx_size);
        return true;
    }
    if (errno != ENOSYS)
        return false;
#endif
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return false;
    m_lastAccess = st.st_atime;
    m_lastWrite = st.st_mtime;
    m_creation = st.st_ctime;
    m_size = static_cast<long long>(st.st_size);
    return true;
}

time_t CPath::GetFileTime(int which)
{
    if (!m_infoRead)
        ReadFileInfo();
    if (which == 0)
        return m_creation;
    if (which == 2)
        return m_lastWrite;
    return m_lastAccess;
}

std::string CPath::AddBackslash(const std::string& text, bool forwardSlash)
{
    if (!text.empty() && (text.back() == '\\' || text.back() == '/'))
        return text;
    return text + (forwardSlash ? '/' : '\\');
}
