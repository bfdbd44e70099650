#include "platform/appfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

std::mutex g_tempMutex;
std::string g_tempFolder;  // guarded by g_tempMutex
pid_t g_tempOwner = 0;     // the process that created g_tempFolder
bool g_exitHookSet = false;

void RemoveTempAtExit()
{
    AppFolders::RemovePrivateTempFolder();
}

bool UsableFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        return false;
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

}  // namespace

namespace AppFolders {

QString ProgramFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists the executable's link is the
    // only reliable source.
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

QString WorkFolderBeside(const QString& programFolder)
{
    QDir parent(programFolder);
    // A program installed into the system's shared folders (/usr/bin,
    // /usr/local/bin) never puts a Work folder there, even for root.
    const QString prefix = QDir::cleanPath(programFolder + QStringLiteral("/.."));
    const bool systemPrefix = prefix == QStringLiteral("/") || prefix == QStringLiteral("/usr") ||
                              prefix == QStringLiteral("/usr/local");
    if (!systemPrefix && parent.cdUp()) {
        const QString work = parent.absoluteFilePath(QStringLiteral("Work"));
        if (UsableFolder(work))
            return QDir::cleanPath(work);
    }
    const QString fallback = QDir::homePath() + QStringLiteral("/Kestrune/Work");
    QDir().mkpath(fallback);
    return fallback;
}

QString WorkFolder()
{
    return WorkFolderBeside(ProgramFolder());
}

QString AppDataFolder(const QString& programName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/Halvard/") + programName;
    QDir().mkpath(folder);
    return folder;
}

QString PrivateTempFolder()
{
    std::lock_guard<std::mutex> lock(g_tempMutex);
    if (g_tempFolder.empty()) {
        QString prefix = QStringLiteral("kestrune");
        if (QCoreApplication::instance() && !QCoreApplication::applicationName().isEmpty())
            prefix = QCoreApplication::applicationName();
        // mkdtemp creates the folder with mode 0700 under a name nobody can
        // predict, so no other user can plant files or links in it.
        std::string templ = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + prefix
                                              + QStringLiteral("-XXXXXX")).toStdString();
        if (::mkdtemp(&templ[0]) == nullptr)
            return QString();
        g_tempFolder = templ;
        g_tempOwner = ::getpid();
        if (!g_exitHookSet) {
            g_exitHookSet = true;
            std::atexit(RemoveTempAtExit);
        }
    }
    return QFile::decodeName(g_tempFolder.c_str());
}

void RemovePrivateTempFolder()
{
    std::lock_guard<std::mutex> lock(g_tempMutex);
    if (g_tempFolder.empty())
        return;
    // A forked child that exits must not take its parent's folder with it.
    if (g_tempOwner != ::getpid())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(g_tempFolder, ignored);
    g_tempFolder.clear();
}

}  // namespace AppFolders
