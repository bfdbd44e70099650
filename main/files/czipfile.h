#pragma once

#include <QString>
#include <QStringList>

// Zip archives of the current-directory pane (minizip with deflate).
class CZipFile {
public:
    // Creates archive holding every path under its own name; a folder is
    // stored with everything below it as "name/...". Symbolic links are
    // left out. False when the archive could not be written (it is removed).
    static bool Create(const QString& archive, const QStringList& paths);

    struct ExtractResult {
        bool ok = false;
        bool gzip = false;       // not a zip archive but a gzip stream
        int written = 0;
        QStringList skipped;     // entries whose path would leave the target
        QString error;
    };
    // Unpacks every entry below target (created when missing). An entry whose
    // path is absolute or climbs out of target with ".." is skipped.
    static ExtractResult Extract(const QString& archive, const QString& target);
    // The entries Extract would write over files already in target.
    static QStringList ExistingEntries(const QString& archive, const QString& target);

    // The folder name an archive is extracted into: its name without ".zip".
    static QString FolderFor(const QString& archiveName);

private:
    static bool AddFile(void* zip, const QString& path, const QString& entryName);
    static bool AddTree(void* zip, const QString& path, const QString& entryName);
    static bool SafeEntryPath(const QString& entry, const QString& target, QString* path);
};
