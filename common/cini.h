#pragma once

#include <string>
#include <vector>

// A private-profile (INI) file with the semantics of the Windows profile
// calls: sections and keys compare without regard to case, the first
// matching key wins, a missing file or key reads as the default, the first
// write creates the file. Reads accept CR LF and LF line ends. Every write
// replaces the file atomically (new file renamed over the old one).
//
// A null section or key (nullptr) means "missing": reads give the default,
// writes return false. A missing or empty delimiter means ",".
class CIni {
public:
    CIni() = default;
    explicit CIni(const char* path) { SetPathName(path); }
    virtual ~CIni() = default;

    void SetPathName(const char* path);
    const std::string& GetPathName() const { return m_path; }

    bool WriteString(const char* section, const char* key, const char* value);
    std::string GetString(const char* section, const char* key, const char* defaultValue);

    void GetArray(const char* section, const char* key, std::vector<std::string>& out,
                  const char* delimiter = nullptr);
    // Stores the first count items (all when count < 0, at most out.size()).
    bool WriteArray(const char* section, const char* key, const std::vector<std::string>& items,
                    int count = -1, const char* delimiter = nullptr);

private:
    std::string m_path;
};
