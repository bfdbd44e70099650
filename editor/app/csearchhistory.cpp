#include "editor/app/csearchhistory.h"

#include "platform/cprofile.h"

namespace {
const char* const kSection = "EDIT";
}

void CSearchHistory::Read(const CProfile& profile)
{
    m_entries.clear();
    const int count = profile.GetInt(kSection, m_prefix + "COUNT", 0);
    for (int i = 0; i < count && i < kMaxEntries; ++i) {
        QString entry = profile.GetString(kSection, m_prefix + QString::number(i));
        int start = 0;
        while (start < entry.size() && entry.at(start) == QLatin1Char(' '))
            ++start;
        entry.remove(0, start);
        if (!entry.isEmpty())
            m_entries.append(entry);
    }
}

void CSearchHistory::Write(CProfile& profile) const
{
    const int first = qMax(0, int(m_entries.size()) - kMaxEntries);
    const int count = int(m_entries.size()) - first;
    profile.WriteInt(kSection, m_prefix + "COUNT", count);
    for (int i = 0; i < count; ++i)
        profile.WriteString(kSection, m_prefix + QString::number(i), m_entries.at(first + i));
}

bool CSearchHistory::Add(const QString& text)
{
    if (m_entries.contains(text))
        return false;
    m_entries.append(text);
    return true;
}
