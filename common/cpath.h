#pragma once

#include <ctime>
#include <string>
#include <vector>

// One parsed command-line argument: "/v", "-o value", or a bare value.
class CArgument {
public:
    CArgument() = default;
    CArgument(char switchChar, std::string name, std::string value)
        : m_switch(switchChar), m_name(std::move(name)), m_value(std::move(value)) {}
    virtual ~CArgument() = default;

    char m_switch = '/';
    std::string m_name;
    std::string m_value;
};

// A path, optionally followed by command-line arguments, taken apart into
// drive, folder, name and extension. The native separator is "/"; input may
// use "/" or "\". There is no drive letter on this platform, so the drive part
// is always empty.
class CPath {
public:
    explicit CPath(const std::string& text = std::string(), bool isFolder = false,
                   bool hasArguments = false);
    virtual ~CPath() = default;

    std::string GetDrive() const;
    std::string GetFolder() const;      // ends with "/" when not empty
    std::string GetFileName() const;    // name + "." + extension
    std::string GetExtension() const;   // without the dot
    std::string GetLocation() const;    // drive + folder
    std::string GetPath(bool withArguments = false);
    bool IsRelative() const;

    int GetFolderCount();
    // -1 gives the whole folder; an index beyond the count gives "".
    std::string GetFolderComponent(int index);

    int GetArgumentCount();
    std::string GetArgument(int index, bool wantValue);

    bool ReadFileInfo();
    // 0 creation (change time where the file system has none), 2 last write,
    // anything else last access. Zero when the information could not be read.
    time_t GetFileTime(int which);

    // Appends "\" (or "/" when forwardSlash) unless text ends with either.
    static std::string AddBackslash(const std::string& text, bool forwardSlash = false);

private:
    void ParseArguments();
    void SplitFolders();

    std::string m_source;
    std::string m_drive;
    std::string m_spare;
    std::vector<std::string> m_folders;
    bool m_foldersSplit = false;
    std::string m_folder;
    std::string m_name;
    std::string m_extension;
    std::string m_arguments;
    std::vector<CArgument> m_argumentList;
    bool m_argumentsParsed = false;
    bool m_infoRead = false;
    time_t m_creation = 0;
    time_t m_lastAccess = 0;
    time_t m_lastWrite = 0;
    long long m_size = 0;
    bool m_relative = false;
};
