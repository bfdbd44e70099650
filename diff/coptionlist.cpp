#include "diff/coptionlist.h"

int COptionList::FindEntry(const std::string& key) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const std::string& entry = m_entries[i];
        if (!entry.empty() && entry.compare(0, key.size(), key) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void COptionList::SetOption(const std::string& key, const std::string& value)
{
    const int index = FindEntry(key);
    if (index < 0) {
        m_entries.push_back(key + ";" + value);
        return;
    }
    std::string& entry = m_entries[static_cast<size_t>(index)];
    const size_t semicolon = entry.find(';');
    if (semicolon != std::string::npos)
        entry.erase(semicolon);
    entry += ";" + value;
}

std::string COptionList::GetOption(const std::string& key) const
{
    const int index = FindEntry(key);
    if (index < 0)
        return std::string();
    const std::string& entry = m_entries[static_cast<size_t>(index)];
    const size_t semicolon = entry.find(';');
    return semicolon == std::string::npos ? std::string() : entry.substr(semicolon + 1);
}

bool COptionList::IsInForce(const std::string& key) const
{
    const std::string value = GetOption(key);
    return !value.empty() && value != "yes";
}

void COptionList::Append(const COptionList& other)
{
    m_entries.insert(m_entries.end(), other.m_entries.begin(), other.m_entries.end());
}
