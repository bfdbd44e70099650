#pragma once

#include <QString>
#include <QStringList>

class CProfile;

// The most recently opened files, newest first, kept in the profile's
// section "Recent File List" as File1 ... FileN.
class CRecentFileList {
public:
    explicit CRecentFileList(int size = 4) : m_size(size) {}

    void Read(const CProfile& profile);
    void Write(CProfile& profile) const;

    // Moves path to the top (a path already listed is not listed twice).
    void Add(const QString& path);
    void Remove(const QString& path);

    const QStringList& Files() const { return m_files; }
    int Size() const { return m_size; }

private:
    int m_size;
    QStringList m_files;
};
