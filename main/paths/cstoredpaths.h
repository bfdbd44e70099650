#pragma once

#include <string>
#include <vector>

// The folders the user added to the search path, kept in "userpaths.dat"
// (section "User", key "Paths", separated by ",") so that the start-up adds
// them again. Every change is written back at once.
class CStoredPaths {
public:
    explicit CStoredPaths(std::string file) : m_file(std::move(file)) {}

    std::vector<std::string> Load() const;

    // Appends the folders not stored yet. A folder whose name holds the
    // separator "," would come back as two wrong folders: it is not stored
    // and is returned in notKept.
    bool Append(const std::vector<std::string>& folders, std::vector<std::string>* notKept = nullptr) const;

    // Drops every stored entry equal to one of folders; folders never
    // stored leave the list as it is.
    bool Remove(const std::vector<std::string>& folders) const;

private:
    bool Save(const std::vector<std::string>& folders) const;

    std::string m_file;
};
