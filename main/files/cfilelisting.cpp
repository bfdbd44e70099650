#include "main/files/cfilelisting.h"

#include <QFile>
#include <QFileIconProvider>
#include <QHash>
#include <QLocale>
#include <QMimeDatabase>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <iterator>
#include <sys/stat.h>

namespace {

QString Suffix(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

// The local date and time in the system's short form ("%x %X").
QString DateText(time_t time)
{
    struct tm local {};
    char text[64];
    if (!localtime_r(&time, &local) || std::strftime(text, sizeof text, "%x %X", &local) == 0)
        return QString();
    return QString::fromLocal8Bit(text);
}

}  // namespace

QString CFileListing::SizeText(qint64 length)
{
    const qint64 mega = 1048576;
    const qint64 giga = 1073741824;
    if (length < mega)
        return QStringLiteral("%1 KB").arg(length / 1024 + 1);
    if (length < giga)
        return QStringLiteral("%1 MB").arg(length / mega);
    return QStringLiteral("%1 GB").arg(length / giga);
}

QString CFileListing::TypeText(const QString& name, bool folder)
{
    static QHash<QString, QString> known;
    const QString suffix = folder ? QStringLiteral("/") : Suffix(name).toLower();
    auto it = known.constFind(suffix);
    if (it != known.constEnd())
        return *it;
    QString text;
    if (folder) {
        text = QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
    } else if (!suffix.isEmpty()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + suffix, QMimeDatabase::MatchExtension);
        if (!type.isDefault())
            text = type.comment();
    }
    if (text.isEmpty())
        text = folder ? QStringLiteral("Folder") : Suffix(name).toUpper() + QStringLiteral(" File");
    known.insert(suffix, text);
    return text;
}

QIcon CFileListing::Icon(const CFileEntry& entry)
{
    static QFileIconProvider provider;
    static QHash<QString, QIcon> known;
    const QString key = entry.IsFolder() ? QStringLiteral("/") : entry.typeText;
    auto it = known.constFind(key);
    if (it != known.constEnd())
        return *it;
    QIcon icon = provider.icon(entry.IsFolder() ? QFileIconProvider::Folder : QFileIconProvider::File);
    if (!entry.IsFolder()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(entry.name, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), icon));
    }
    known.insert(key, icon);
    return icon;
}

std::vector<CFileEntry> CFileListing::List(const QString& folder, const QString& patterns)
{
    std::vector<QByteArray> filters;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        // "*.*" means every file, also those without an extension.
        const QString p = pattern.trimmed();
        filters.push_back(p == QStringLiteral("*.*") ? QByteArray("*") : QFile::encodeName(p));
    }
    if (filters.empty())
        filters.push_back("*");
    const auto matches = [&filters](const char* name) {
        return std::any_of(filters.begin(), filters.end(),
                           [name](const QByteArray& f) { return fnmatch(f.constData(), name, 0) == 0; });
    };

    // Straight from the system: a folder of many thousand files lists in a
    // fraction of a second.
    std::vector<CFileEntry> folders;
    std::vector<CFileEntry> files;
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            struct stat info {};
            if (::fstatat(dirfd(dir), name, &info, 0) != 0 &&
                ::fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            const bool isFolder = S_ISDIR(info.st_mode);
            if (!isFolder && !matches(name))
                continue;
            const QString text = QFile::decodeName(name);
            (isFolder ? folders : files)
                .push_back({text, isFolder ? QString() : SizeText(qint64(info.st_size)), DateText(info.st_mtime),
                            TypeText(text, isFolder)});
        }
        ::closedir(dir);
    }
    const auto byName = [](const CFileEntry& a, const CFileEntry& b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    std::vector<CFileEntry> entries;
    entries.reserve(1 + folders.size() + files.size());
    entries.push_back({QStringLiteral(".."), QString(), QString(), TypeText(QStringLiteral(".."), true)});
    std::move(folders.begin(), folders.end(), std::back_inserter(entries));
    std::move(files.begin(), files.end(), std::back_inserter(entries));
    return entries;
}
