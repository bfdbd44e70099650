#include "main/files/czipfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <vector>

namespace {

constexpr int kChunk = 1 << 16;

zip_fileinfo FileInfo(const QFileInfo& file)
{
    zip_fileinfo info{};
    const QDateTime time = file.lastModified();
    info.tmz_date.tm_sec = uInt(time.time().second());
    info.tmz_date.tm_min = uInt(time.time().minute());
    info.tmz_date.tm_hour = uInt(time.time().hour());
    info.tmz_date.tm_mday = uInt(time.date().day());
    info.tmz_date.tm_mon = uInt(time.date().month() - 1);
    info.tmz_date.tm_year = uInt(time.date().year());
    info.external_fa = uLong(file.isDir() ? 040755 : 0100644) << 16;
    return info;
}

// Opens the entry named name (any letters) in zip. The names are UTF-8 and
// say so (flag bit 11), and the entry is made on Unix, whose file modes
// info carries: without both, other tools read the bytes of "é" as two
// letters of an old DOS code page.
bool OpenEntry(zipFile zip, const QString& name, const zip_fileinfo& info, int method, int level, bool large)
{
    constexpr uLong kMadeOnUnix = (3u << 8) | 20u;
    constexpr uLong kUtf8Names = 1u << 11;
    return zipOpenNewFileInZip4_64(zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                   level, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, kMadeOnUnix,
                                   kUtf8Names, large ? 1 : 0) == ZIP_OK;
}

bool IsGzip(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(2);
    return head.size() == 2 && uchar(head[0]) == 0x1f && uchar(head[1]) == 0x8b;
}

}  // namespace

QString CZipFile::FolderFor(const QString& archiveName)
{
    if (archiveName.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
        return archiveName.left(archiveName.size() - 4);
    return archiveName;
}

bool CZipFile::AddFile(void* zip, const QString& path, const QString& entryName)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const zip_fileinfo info = FileInfo(QFileInfo(path));
    if (!OpenEntry(zip, entryName, info, Z_DEFLATED, Z_DEFAULT_COMPRESSION, file.size() >= 0xffffffffLL))
        return false;
    bool ok = true;
    std::vector<char> buffer(kChunk);
    for (;;) {
        const qint64 n = file.read(buffer.data(), kChunk);
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        if (zipWriteInFileInZip(zip, buffer.data(), unsigned(n)) != ZIP_OK) {
            ok = false;
            break;
        }
    }
    return zipCloseFileInZip(zip) == ZIP_OK && ok;
}

bool CZipFile::AddTree(void* zip, const QString& path, const QString& entryName)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return true;
    if (!info.isDir())
        return AddFile(zip, path, entryName);
    const QString folderEntry = entryName + QLatin1Char('/');
    const zip_fileinfo folderInfo = FileInfo(info);
    if (!OpenEntry(zip, folderEntry, folderInfo, 0, 0, false) || zipCloseFileInZip(zip) != ZIP_OK)
        return false;
    bool ok = true;
    const QFileInfoList children = QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                                            QDir::Name);
    for (const QFileInfo& child : children)
        ok = AddTree(zip, child.filePath(), folderEntry + child.fileName()) && ok;
    return ok;
}

bool CZipFile::Create(const QString& archive, const QStringList& paths)
{
    const QByteArray name = QFile::encodeName(archive);
    zipFile zip = zipOpen64(name.constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (QFileInfo(archive).absoluteFilePath() == info.absoluteFilePath())
            continue;
        ok = AddTree(zip, path, info.fileName()) && ok;
    }
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    if (!ok)
        QFile::remove(archive);
    return ok;
}

bool CZipFile::SafeEntryPath(const QString& entry, const QString& target, QString* path)
{
    QString name = entry;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || (name.size() > 1 && name[1] == QLatin1Char(':')))
        return false;
    const QString base = QDir::cleanPath(QDir(target).absolutePath());
    const QString full = QDir::cleanPath(base + QLatin1Char('/') + name);
    if (!full.startsWith(base + QLatin1Char('/')))
        return false;
    *path = full;
    return true;
}

QStringList CZipFile::ExistingEntries(const QString& archive, const QString& target)
{
    QStringList existing;
    const QString base = QDir(target).canonicalPath();
    const QByteArray name = QFile::encodeName(archive);
    unzFile zip = base.isEmpty() ? nullptr : unzOpen64(name.constData());
    if (!zip)
        return existing;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        char entryName[4096];
        if (unzGetCurrentFileInfo64(zip, nullptr, entryName, sizeof entryName, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        const QString entry = QString::fromUtf8(entryName);
        QString path;
        if (SafeEntryPath(entry, base, &path) && QFileInfo(path).isFile())
            existing << entry;
    }
    unzClose(zip);
    return existing;
}

CZipFile::ExtractResult CZipFile::Extract(const QString& archive, const QString& target)
{
    ExtractResult result;
    const QByteArray name = QFile::encodeName(archive);
    unzFile zip = unzOpen64(name.constData());
    if (!zip) {
        result.gzip = IsGzip(archive);
        result.error = result.gzip ? QStringLiteral("This file is gzip-compressed, not a zip archive.")
                                   : QStringLiteral("This file is not a zip archive.");
        return result;
    }
    if (!QDir().mkpath(target)) {
        unzClose(zip);
        result.error = QStringLiteral("The folder could not be created.");
        return result;
    }
    const QString base = QDir(target).canonicalPath();
    bool ok = true;
    std::vector<char> buffer(kChunk);
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        char entryName[4096];
        if (unzGetCurrentFileInfo64(zip, &info, entryName, sizeof entryName, nullptr, 0, nullptr, 0) != UNZ_OK) {
            ok = false;
            break;
        }
        const QString entry = QString::fromUtf8(entryName);
        QString path;
        if (!SafeEntryPath(entry, base, &path)) {
            result.skipped << entry;
            continue;
        }
        if (entry.endsWith(QLatin1Char('/')) || entry.endsWith(QLatin1Char('\\'))) {
            ok = QDir().mkpath(path) && ok;
            continue;
        }
        // A link placed in the target earlier must not carry a write outside.
        const QString parent = QFileInfo(path).absolutePath();
        QDir().mkpath(parent);
        const QString realParent = QDir(parent).canonicalPath();
        if (realParent.isEmpty() || (realParent != base && !realParent.startsWith(base + QLatin1Char('/'))) ||
            QFileInfo(path).isSymLink()) {
            result.skipped << entry;
            continue;
        }
        QFile out(path);
        if (unzOpenCurrentFile(zip) != UNZ_OK || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            ok = false;
            continue;
        }
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()))) > 0) {
            if (out.write(buffer.data(), n) != n) {
                ok = false;
                break;
            }
        }
        if (n < 0 || unzCloseCurrentFile(zip) != UNZ_OK)
            ok = false;
        out.close();
        ++result.written;
    }
    unzClose(zip);
    result.ok = ok;
    if (!ok)
        result.error = QStringLiteral("Some entries could not be extracted.");
    return result;
}
