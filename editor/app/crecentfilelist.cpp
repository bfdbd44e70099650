#include "editor/app/crecentfilelist.h"

#include "platform/cprofile.h"

namespace {
const char* const kSection = "Recent File List";

QString Key(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}
}  // namespace

void CRecentFileList::Read(const CProfile& profile)
{
    m_files.clear();
    for (int i = 0; i < m_size; ++i) {
        const QString path = profile.GetString(kSection, Key(i));
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
}

void CRecentFileList::Write(CProfile& profile) const
{
    for (int i = 0; i < m_size; ++i)
        profile.WriteString(kSection, Key(i), i < m_files.size() ? m_files.at(i) : QString());
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > m_size)
        m_files.removeLast();
}

void CRecentFileList::Remove(const QString& path)
{
    m_files.removeAll(path);
}
