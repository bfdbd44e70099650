// The start-up's rules that need no interpreter: the version check, the
// command line, the set-up statements and the stored folders.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/cini.h"
#include "main/session/cconnectionprocesses.h"
#include "main/session/cstartupconfig.h"
#include "main/session/cstartupversion.h"
#include "platform/cprofile.h"

namespace {

TEST(StartupVersion, AcceptsFrom361)
{
    EXPECT_FALSE(CStartupVersion::IsAccepted("GNU Octave, version 3.6.0\n"));
    EXPECT_TRUE(CStartupVersion::IsAccepted("GNU Octave, version 3.6.1\n"));
    EXPECT_TRUE(CStartupVersion::IsAccepted("GNU Octave, version 4.0.0\r\nCopyright"));
    EXPECT_EQ(CStartupVersion::Parse("octave: disabling GUI features\nGNU Octave, version 7.3.0\nmore"), 7300);
    EXPECT_EQ(CStartupVersion::Major("GNU Octave, version 7.3.0\n"), 7);
    // Unreadable or not three parts: refused.
    EXPECT_FALSE(CStartupVersion::IsAccepted("GNU Octave\n"));
    EXPECT_FALSE(CStartupVersion::IsAccepted("GNU Octave, version 3.6\n"));
    EXPECT_FALSE(CStartupVersion::IsAccepted("GNU Octave, version 3.6.1.2\n"));
    EXPECT_EQ(CStartupVersion::Parse("version 3.8.0-rc1\n"), 3800) << "each part read from its leading digits";
}

TEST(StartupConfig, CommandLineFromThePathSetting)
{
    EXPECT_EQ(CStartupConfig::CommandLine("/opt/oct/bin"), "/opt/oct/bin/octave --interactive --no-history");
    EXPECT_EQ(CStartupConfig::CommandLine("/cygwin/bin"),
              "/cygwin/bin/octave --interactive --no-history --traditional");
    EXPECT_EQ(CStartupConfig::OctaveFolder(QString()), CStartupConfig::DefaultOctaveFolder());
    // The folder that holds the octave found on PATH, where there is one.
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("octave"));
    EXPECT_EQ(CStartupConfig::DefaultOctaveFolder(),
              onPath.isEmpty() ? QStringLiteral("/usr/bin") : QFileInfo(onPath).absolutePath());
    EXPECT_EQ(CStartupConfig::OctaveFolder(QStringLiteral("/opt/x/bin/")), QStringLiteral("/opt/x/bin"));
}

TEST(StartupConfig, StatementsQuoteEveryPath)
{
    EXPECT_EQ(CStartupConfig::EditorStatement("/opt/k bin", 7), "EDITOR('''/opt/k bin/marlinote'''); edit mode async;");
    EXPECT_EQ(CStartupConfig::EditorStatement("/opt/it's", 3),
              "edit editor '/opt/it''s/marlinote %s'; edit mode async;");
    EXPECT_EQ(CStartupConfig::ChangeFolderStatement("/tmp/a'b"), "cd '/tmp/a''b';###");
    EXPECT_EQ(CStartupConfig::ChangeFolderStatement("/tmp/a\nb"), "") << "a line break cannot be sent";
    EXPECT_EQ(CStartupConfig::AddPathStatement({"/a", "/b;c", "/it's"}), "addpath('/a','/b;c','/it''s');");
    EXPECT_EQ(CStartupConfig::AddPathStatement({}), "");
    EXPECT_EQ(CStartupConfig::GraphicsStatement(7),
              "warning('off','Octave:gnuplot-graphics'); graphics_toolkit gnuplot;");
}

TEST(StartupConfig, EditorInAFolderWithBlanksQuotesAndPercentStartsFromEdit)
{
    // The interpreter hands the EDITOR string to the shell.
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/it's a 100% bin");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString marker = dir.path() + QStringLiteral("/started");
    QFile editor(folder + QStringLiteral("/marlinote"));
    ASSERT_TRUE(editor.open(QIODevice::WriteOnly));
    editor.write(("#!/bin/sh\necho \"$1\" > '" + marker + "'\n").toUtf8());
    editor.close();
    editor.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const std::string statement = CStartupConfig::EditorStatement(folder, 7);
    ASSERT_FALSE(statement.empty());
    QProcess octave;
    octave.setWorkingDirectory(dir.path());
    octave.start(QStringLiteral("octave"), {QStringLiteral("--no-gui"), QStringLiteral("--norc"),
                                            QStringLiteral("--quiet"), QStringLiteral("--eval"),
                                            QString::fromStdString(statement) + QStringLiteral(" edit kgnew.m")});
    ASSERT_TRUE(octave.waitForFinished(60000));
    for (int i = 0; i < 50 && !QFile::exists(marker); ++i)
        QThread::msleep(100);
    QFile started(marker);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly)) << octave.readAllStandardError().toStdString();
    EXPECT_TRUE(started.readAll().trimmed().endsWith("kgnew.m"));
}

TEST(StartupConfig, StoredSearchPathsAreCleanedAndStoredBack)
{
    QTemporaryDir dir;
    const QString a = dir.path() + "/a";
    const QString b = dir.path() + "/b";
    QDir().mkpath(a);
    QDir().mkpath(b);
    const QString file = dir.path() + "/userpaths.dat";
    CIni ini(file.toStdString().c_str());
    const std::string stored = a.toStdString() + "," + (dir.path() + "/gone").toStdString() + "," +
                               a.toStdString() + "," + b.toStdString();
    ini.WriteString("User", "Paths", stored.c_str());
    EXPECT_EQ(CStartupConfig::LoadSearchPaths(file), (QStringList{a, b}));
    EXPECT_EQ(ini.GetString("User", "Paths", ""), (a + "," + b).toStdString());
}

TEST(StartupConfig, MissingWorkingFolderIsReplaced)
{
    QTemporaryDir dir;
    CProfile profile(QStringLiteral("Kestrune"));
    profile.WriteString(QStringLiteral("Octave"), QStringLiteral("workpath"), dir.path() + "/gone");
    bool replaced = false;
    EXPECT_EQ(CStartupConfig::WorkingFolder(QStringLiteral("Kestrune"), dir.path(), &replaced), dir.path());
    EXPECT_TRUE(replaced);
    EXPECT_EQ(profile.GetString(QStringLiteral("Octave"), QStringLiteral("workpath")), dir.path());
    EXPECT_EQ(CStartupConfig::WorkingFolder(QStringLiteral("Kestrune"), QStringLiteral("/"), &replaced), dir.path());
    EXPECT_FALSE(replaced);
}

// Only processes that descend from this program are ended by name.
TEST(ConnectionProcesses, EndsOnlyDescendants)
{
    // An orphan: started through a shell that exits at once, so it belongs
    // to init, not to us. The shell tells its id.
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("sleep 30 >/dev/null 2>&1 & echo $!")});
    ASSERT_TRUE(shell.waitForFinished());
    const pid_t orphan = shell.readAllStandardOutput().trimmed().toInt();
    ASSERT_GT(orphan, 0);
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted());
    const pid_t ours = static_cast<pid_t>(child.processId());
    const std::vector<pid_t> descendants = CConnectionProcesses::Descendants(getpid());
    EXPECT_NE(std::find(descendants.begin(), descendants.end(), ours), descendants.end());

    EXPECT_EQ(CConnectionProcesses::TerminateProcessesByName("SLEEP"), 0) << "names compare without case";
    EXPECT_TRUE(child.waitForFinished(3000));
    EXPECT_EQ(CConnectionProcesses::TerminateProcessesByName("sleep"), CConnectionProcesses::kNotFound);

    // The orphan is still alive; end it ourselves, by its id.
    EXPECT_EQ(::kill(orphan, 0), 0);
    ::kill(orphan, SIGKILL);
}

}  // namespace
