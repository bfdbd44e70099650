#include "tests/support/cfakeupdater.h"

#include <QDir>
#include <QFile>
#include <QTest>

CFakeUpdater::CFakeUpdater()
{
    if (!m_root.isValid() || !QDir(m_root.path()).mkpath(QStringLiteral("bin")) ||
        !QDir(m_root.path()).mkpath(QStringLiteral("updater")))
        return;
    QFile gup(m_root.filePath(QStringLiteral("updater/gup")));
    if (!gup.open(QIODevice::WriteOnly))
        return;
    const QString record = m_root.filePath(QStringLiteral("calls.txt"));
    gup.write(QStringLiteral("#!/bin/sh\necho \"$(pwd) $*\" >> '%1'\n").arg(record).toUtf8());
    gup.close();
    m_valid = gup.setPermissions(gup.permissions() | QFileDevice::ExeOwner);
}

QString CFakeUpdater::ProgramFolder() const
{
    return m_root.filePath(QStringLiteral("bin"));
}

QString CFakeUpdater::UpdaterFolder() const
{
    return QDir(m_root.filePath(QStringLiteral("updater"))).canonicalPath();
}

QStringList CFakeUpdater::Calls() const
{
    QFile file(m_root.filePath(QStringLiteral("calls.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList CFakeUpdater::WaitForCalls(int count, int timeoutMs) const
{
    // Too few lines after the wait are the caller's finding.
    (void)QTest::qWaitFor([this, count] { return Calls().size() >= count; }, timeoutMs);
    return Calls();
}
