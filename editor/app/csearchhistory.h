#pragma once

#include <QString>
#include <QStringList>

class CProfile;

// One list of recent search or replace texts, kept in section "EDIT" of the
// settings profile as <prefix>COUNT and <prefix>0, <prefix>1, ...
class CSearchHistory {
public:
    static constexpr int kMaxEntries = 100;

    explicit CSearchHistory(const QString& keyPrefix) : m_prefix(keyPrefix) {}

    // Reads at most kMaxEntries stored entries; leading blanks are removed
    // and entries left empty are dropped.
    void Read(const CProfile& profile);
    // Writes the newest kMaxEntries entries, oldest first, so that entries
    // added during this run survive the next Read even when the stored list
    // was already full.
    void Write(CProfile& profile) const;

    // Appends text unless it is already in the list (exact comparison).
    // Returns true when it was appended.
    bool Add(const QString& text);

    const QStringList& Entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }
    const QString& KeyPrefix() const { return m_prefix; }

private:
    QString m_prefix;
    QStringList m_entries;
};
