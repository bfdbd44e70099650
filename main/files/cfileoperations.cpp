#include "main/files/cfileoperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

bool CFileOperations::IsPlainName(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(QLatin1Char('/'));
}

bool CFileOperations::Remove(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir())
        return QFile::remove(path);
    bool ok = true;
    QDir dir(path);
    const QFileInfoList children = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& child : children)
        ok = Remove(child.filePath()) && ok;
    return dir.rmdir(path) && ok;
}

bool CFileOperations::Rename(const QString& folder, const QString& from, const QString& to)
{
    if (!IsPlainName(from) || !IsPlainName(to) || from == to)
        return false;
    const QString target = QDir(folder).filePath(to);
    // QFile::rename replaces nothing, but a folder rename would: check both.
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return false;
    return QDir(folder).rename(from, to);
}

bool CFileOperations::Duplicate(const QString& folder, const QString& name, const QString& suffix,
                                QString* copyName)
{
    const QString copy = suffix + QLatin1Char(' ') + name;
    if (!IsPlainName(name) || !IsPlainName(copy))
        return false;
    const QDir dir(folder);
    if (copyName)
        *copyName = copy;
    if (QFileInfo::exists(dir.filePath(copy)))
        return false;
    return CopyTree(dir.filePath(name), dir.filePath(copy));
}

bool CFileOperations::CreateFolder(const QString& folder, const QString& name)
{
    return IsPlainName(name) && QDir(folder).mkdir(name);
}

bool CFileOperations::CopyTree(const QString& source, const QString& target)
{
    const QFileInfo info(source);
    if (info.isSymLink())
        return QFile::link(info.symLinkTarget(), target);
    if (!info.isDir())
        return QFile::copy(source, target);
    if (!QDir().mkdir(target))
        return false;
    bool ok = true;
    const QFileInfoList children = QDir(source).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& child : children)
        ok = CopyTree(child.filePath(), target + QLatin1Char('/') + child.fileName()) && ok;
    return ok;
}

QString CFileOperations::ReplaceQuestion(const QString& name, const QDateTime& existing, const QDateTime& incoming)
{
    const QLocale locale;
    return QStringLiteral("This folder already contains a file named '") + name +
           QStringLiteral("'.\n\nWold you like to replace the existing file\nmodified: ") +
           locale.toString(existing, QLocale::LongFormat) + QStringLiteral("\n\nwith this one?\nmodified: ") +
           locale.toString(incoming, QLocale::LongFormat);
}

CFileOperations::Result CFileOperations::Transfer(const QString& source, const QString& targetFolder, bool move,
                                                  const ConfirmReplace& confirm)
{
    const QFileInfo from(source);
    if (!from.exists() && !from.isSymLink())
        return Result::Failed;
    const QString name = from.fileName();
    const QString target = QDir(targetFolder).filePath(name);
    const QFileInfo to(target);
    if (from.absoluteFilePath() == to.absoluteFilePath() ||
        (to.exists() && from.canonicalFilePath() == to.canonicalFilePath()))
        return Result::Same;
    // A folder must not go into itself.
    if (from.isDir() && !from.isSymLink() &&
        (QDir(targetFolder).canonicalPath() + QLatin1Char('/')).startsWith(from.canonicalFilePath() + QLatin1Char('/')))
        return Result::Failed;
    const bool replace = to.exists() || to.isSymLink();
    if (replace && (!confirm || !confirm(name, to.lastModified(), from.lastModified())))
        return Result::Refused;
    // The new content is complete under a staging name before the existing
    // file goes; a move on one file system is a rename, elsewhere a copy
    // whose source goes only when the copy is complete.
    const QString staging = target + QStringLiteral(".kestrune-part");
    if (QFileInfo::exists(staging) || QFileInfo(staging).isSymLink())
        return Result::Failed;
    const bool renamed = move && QDir().rename(source, staging);
    if (!renamed && !CopyTree(source, staging)) {
        Remove(staging);
        return Result::Failed;
    }
    if ((replace && !Remove(target)) || !QDir().rename(staging, target)) {
        if (renamed)
            QDir().rename(staging, source);
        else
            Remove(staging);
        return Result::Failed;
    }
    if (move && !renamed && !Remove(source))
        return Result::Failed;
    return Result::Done;
}
