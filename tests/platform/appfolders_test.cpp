#include "platform/appfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

unsigned ModeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0xffff;
    return st.st_mode & 07777;
}

}  // namespace

TEST(AppFoldersTest, ProgramAndDataFolders)
{
    EXPECT_EQ(AppFolders::ProgramFolder(), QCoreApplication::applicationDirPath());
    const QString data = AppFolders::AppDataFolder(QStringLiteral("kestrune"));
    EXPECT_EQ(data, qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Halvard/kestrune"));
    EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(AppFoldersTest, WorkFolderBesideTheProgramOrInHome)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.path() + QStringLiteral("/install/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(AppFolders::WorkFolderBeside(bin), root.path() + QStringLiteral("/install/Work"));
    EXPECT_TRUE(QFileInfo(root.path() + QStringLiteral("/install/Work")).isDir());

    // Where "Work" cannot be made (a file holds the name), the home folder
    // takes over; a file blocks even a root user, unlike permissions.
    const QString otherBin = root.path() + QStringLiteral("/blocked/bin");
    ASSERT_TRUE(QDir().mkpath(otherBin));
    QFile blocker(root.path() + QStringLiteral("/blocked/Work"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString fallback = QDir::homePath() + QStringLiteral("/Kestrune/Work");
    EXPECT_EQ(AppFolders::WorkFolderBeside(otherBin), fallback);
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    EXPECT_TRUE(fallback.startsWith(qEnvironmentVariable("HOME")));
    // An installed program (the Debian package) never writes /usr/Work.
    EXPECT_EQ(AppFolders::WorkFolderBeside(QStringLiteral("/usr/bin")), fallback);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/usr/Work")));

    if (::geteuid() != 0) {
        const QString roBin = root.path() + QStringLiteral("/readonly/bin");
        ASSERT_TRUE(QDir().mkpath(roBin));
        ::chmod(QFile::encodeName(root.path() + QStringLiteral("/readonly")).constData(), 0555);
        EXPECT_EQ(AppFolders::WorkFolderBeside(roBin), fallback);
        ::chmod(QFile::encodeName(root.path() + QStringLiteral("/readonly")).constData(), 0755);
    }
}

TEST(AppFoldersTest, PrivateTempFolderIsOwnerOnlyAndRemoved)
{
    const QString folder = AppFolders::PrivateTempFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.startsWith(QDir::tempPath() + QLatin1Char('/')));
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(AppFolders::PrivateTempFolder(), folder);

    QFile file(folder + QStringLiteral("/vars_names.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    AppFolders::RemovePrivateTempFolder();
    EXPECT_FALSE(QFileInfo::exists(folder));

    const QString next = AppFolders::PrivateTempFolder();
    EXPECT_NE(next, folder);
    EXPECT_TRUE(QFileInfo(next).isDir());
    AppFolders::RemovePrivateTempFolder();
}

TEST(AppFoldersTest, PrivateTempFolderGoesAtNormalExit)
{
    QProcess child;
    child.start(QStringLiteral(KESTRUNE_TEST_RECEIVER), {QStringLiteral("--temp-folder")});
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitCode(), 0);
    const QString folder = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    ASSERT_TRUE(folder.startsWith(QDir::tempPath() + QLatin1Char('/'))) << folder.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder));
}
