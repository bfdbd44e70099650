#pragma once

#include <string>
#include <vector>

// Comparison options as an ordered list of "key;value" entries. Only "case"
// and "indent" are used, and the only value ever stored is "no".
class COptionList {
public:
    void SetOption(const std::string& key, const std::string& value);
    std::string GetOption(const std::string& key) const;
    // In force: a non-empty value other than "yes" (exact comparison).
    bool IsInForce(const std::string& key) const;
    void Append(const COptionList& other);

    bool IsEmpty() const { return m_entries.empty(); }
    const std::vector<std::string>& Entries() const { return m_entries; }
    void AddEntry(const std::string& entry) { m_entries.push_back(entry); }

private:
    // The first non-empty entry whose text begins with key (a prefix test).
    int FindEntry(const std::string& key) const;

    std::vector<std::string> m_entries;
};
