#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The editor's user list file "userfiles.dat": the files that were open at
// the last close with their caret positions, the file that had the focus,
// and the keyword list.
class CUserFiles {
public:
    // The file in the editor's application data folder.
    static QString DefaultPath();

    explicit CUserFiles(const QString& path = DefaultPath()) : m_path(path) {}

    // A missing or unreadable file gives empty lists.
    void Read();
    // False when the file could not be written. Entries that cannot be stored
    // (a path holding a line break or the list separator) are left out and
    // listed in *skipped; the others are written.
    bool Write(QStringList* skipped = nullptr) const;

    // The stored caret position of path, or -1 when it is not listed.
    long PositionOf(const QString& path) const;

    const QString& Path() const { return m_path; }

    QStringList openFiles;        // section User, key OpenFiles, separator "|;|"
    std::vector<long> positions;  // section User, key FilesPositions
    QString fileVisible;          // section User, key FileVisible
    QStringList keyWords;         // section System, key KeyWords

private:
    QString m_path;
};
