#include "main/files/cfilelisting.h"

#include <QDateTime>
#include <QDir>
#include <QFileIconProvider>
#include <QHash>
#include <QLocale>
#include <QMimeDatabase>

namespace {

QString Suffix(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

QString DateText(const QDateTime& time)
{
    return QLocale().toString(time, QLocale::ShortFormat);
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
    std::vector<CFileEntry> entries;
    entries.push_back({QStringLiteral(".."), QString(), QString(), TypeText(QStringLiteral(".."), true)});
    QDir dir(folder);
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    QStringList filters;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        // "*.*" means every file, also those without an extension.
        filters << (pattern.trimmed() == QStringLiteral("*.*") ? QStringLiteral("*") : pattern.trimmed());
    if (filters.isEmpty())
        filters << QStringLiteral("*");
    dir.setNameFilters(filters);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::CaseSensitive,
                                                  QDir::Name | QDir::IgnoreCase);
    entries.reserve(1 + folders.size() + files.size());
    for (const QFileInfo& info : folders)
        entries.push_back({info.fileName(), QString(), DateText(info.lastModified()), TypeText(info.fileName(), true)});
    for (const QFileInfo& info : files)
        entries.push_back({info.fileName(), SizeText(info.size()), DateText(info.lastModified()),
                           TypeText(info.fileName(), false)});
    return entries;
}
