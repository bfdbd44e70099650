#include "main/options/cupdatechecker.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "platform/ckestrunesettings.h"
#include "platform/cprofile.h"

namespace {
const QString kGeneral = QStringLiteral("General");
}

QString CUpdateChecker::VersionText(const QString& version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    QString text = parts.value(0, QStringLiteral("0")) + QLatin1Char('.') + parts.value(1, QStringLiteral("0"));
    return text + parts.value(2, QStringLiteral("0"));
}

bool CUpdateChecker::IsDue(int year, int month, int day, const QDate& today)
{
    const QDate last(year, month, day);
    if (year < 1900 || !last.isValid())
        return true;
    return last.daysTo(today) >= 1;
}

QString CUpdateChecker::UpdaterFolder(const QString& programFolder)
{
    QDir folder(QDir::cleanPath(programFolder));
    folder.cdUp();
    return folder.filePath(QStringLiteral("updater"));
}

bool CUpdateChecker::CheckForUpdates(const QString& programFolder, const QString& version, bool automatic)
{
    const QString folder = UpdaterFolder(programFolder);
    const QFileInfo updater(QDir(folder).filePath(QStringLiteral("gup")));
    if (!updater.isFile() || !updater.isExecutable())
        return false;
    QStringList arguments;
    if (!automatic)
        arguments << QStringLiteral("-verbose") << QStringLiteral("-v");
    arguments << VersionText(version);
    return QProcess::startDetached(updater.absoluteFilePath(), arguments, folder);
}

bool CUpdateChecker::DailyCheck(const QString& program, const QString& programFolder, const QString& version,
                                const QDate& today)
{
    CProfile profile(program);
    const int year = profile.GetInt(kGeneral, QStringLiteral("LastUpdateYear"), 1980);
    const int month = profile.GetInt(kGeneral, QStringLiteral("LastUpdateMonth"), 1);
    const int day = profile.GetInt(kGeneral, QStringLiteral("LastUpdateDay"), 1);
    if (!IsDue(year, month, day, today) || !CKestruneSettings::fromSettings(program).autoUpdate)
        return false;
    profile.WriteInt(kGeneral, QStringLiteral("LastUpdateYear"), today.year());
    profile.WriteInt(kGeneral, QStringLiteral("LastUpdateMonth"), today.month());
    profile.WriteInt(kGeneral, QStringLiteral("LastUpdateDay"), today.day());
    return CheckForUpdates(programFolder, version, true);
}
