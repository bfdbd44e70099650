// Runs the real kestrune-diff the way a script or the main program does.
#include "diff/cdiffcommandline.h"
#include "tests/diff/difftesthelpers.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <sys/stat.h>
#include <unistd.h>

using difftest::ReadFile;
using difftest::TempDir;
using difftest::WriteFile;

namespace {

struct Outcome {
    int status = -1;
    std::string error;
};

// No display for the program: failures must come on standard error and the
// program must never wait on a message box.
Outcome RunDiff(const QStringList& args, const std::string& workDir, int timeoutMs = 60000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(workDir));
    process.start(QStringLiteral(KESTRUNE_BIN_DIR "/kestrune-diff"), args);
    Outcome outcome;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "kestrune-diff did not end";
        return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    outcome.error = process.readAllStandardError().toStdString();
    return outcome;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

TEST(DiffProgram, IdenticalFilesAndCaseOption)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "Alpha\nbeta\n");
    WriteFile(dir / "b.txt", "alpha\nbeta\n");

    Outcome run = RunDiff({"a.txt", "a.txt", "same.html"}, dir.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(ReadFile(dir / "same.html").find("Files are identical."), std::string::npos);

    // "-C" in any case, anywhere; with the options three arguments are enough
    // and the report goes to out.html in the working folder.
    run = RunDiff({"a.txt", "-C", "b.txt"}, dir.Path());
    EXPECT_EQ(run.status, 0) << run.error;
    EXPECT_NE(ReadFile(dir / "out.html").find("Files are identical."), std::string::npos);

    run = RunDiff({"a.txt", "b.txt", "case.html"}, dir.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(ReadFile(dir / "case.html").find(">1 differences found."), std::string::npos);
}

TEST(DiffProgram, FailuresEndWithMessageAndNonZeroStatus)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "a\n");
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);

    Outcome run = RunDiff({Q(dir / "a.txt"), Q(dir / "none.txt"), Q(dir / "r.html")}, dir.Path());
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.error, dir / "none.txt" + " does not exist.\n");

    run = RunDiff({Q(dir / "a.txt"), Q(dir / "folder"), Q(dir / "r.html")}, dir.Path());
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.error, dir / "a.txt" + " cannot be compared with " + dir / "folder" + ".\n");

    run = RunDiff({Q(dir / "a.txt"), Q(dir / "a.txt"), Q(dir / "no/such/r.html")}, dir.Path());
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.error.find("cannot create " + dir / "no/such/r.html"), std::string::npos);
    if (geteuid() != 0) { // root writes anywhere
        ASSERT_EQ(chmod(dir.Path().c_str(), 0500), 0);
        run = RunDiff({Q(dir / "a.txt"), Q(dir / "a.txt"), Q(dir / "r.html")}, dir.Path());
        EXPECT_NE(run.status, 0);
        chmod(dir.Path().c_str(), 0700);
    }
    // A file that exists but cannot be read is a failure, not an empty file.
    // /proc/self/mem opens but every read at offset 0 fails, even for root.
    run = RunDiff({Q(dir / "a.txt"), "/proc/self/mem", Q(dir / "r.html")}, dir.Path());
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.error.find("/proc/self/mem cannot be read."), std::string::npos) << run.error;

    struct stat info;
    EXPECT_NE(stat((dir / "r.html").c_str(), &info), 0);
}

TEST(DiffProgram, UnusualContentsCompareCleanly)
{
    TempDir dir;
    WriteFile(dir / "nul1.bin", std::string("a\0b\nsame\n", 9));
    WriteFile(dir / "nul2.bin", std::string("a\0c\nsame\n", 9));
    Outcome run = RunDiff({"nul1.bin", "nul2.bin", "nul.html"}, dir.Path());
    EXPECT_EQ(run.status, 0) << run.error;
    const std::string page = ReadFile(dir / "nul.html");
    EXPECT_EQ(page.find('\0'), std::string::npos);
    EXPECT_NE(page.find("a&#65533;b</td>"), std::string::npos);

    const std::string huge(10 * 1024 * 1024, 'x');
    WriteFile(dir / "big1.txt", huge);
    WriteFile(dir / "big2.txt", huge + "y");
    run = RunDiff({"big1.txt", "big2.txt", "big.html"}, dir.Path(), 30000);
    EXPECT_EQ(run.status, 0) << run.error;
    EXPECT_GT(ReadFile(dir / "big.html").size(), 2 * huge.size());
}

TEST(DiffProgram, FoldersCompareByListing)
{
    TempDir dir;
    for (const char* sub : {"/one", "/two"})
        ASSERT_EQ(mkdir((dir.Path() + sub).c_str(), 0700), 0);
    WriteFile(dir / "one/f.m", "x");
    Outcome run = RunDiff({"one/", "two", "folders.html"}, dir.Path());
    EXPECT_EQ(run.status, 0) << run.error;
    const std::string page = ReadFile(dir / "folders.html");
    EXPECT_NE(page.find("<a href=\"one/&nbsp;fileline0\">one/</a>"), std::string::npos);
    EXPECT_NE(page.find("f.m ("), std::string::npos);
}

TEST(DiffProgram, DialogWithoutDisplayPrintsUsage)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "a\n");
    for (const QStringList& args : {QStringList{"a.txt", "a.txt"}, QStringList{"unknown", "a.txt", "o.html"},
                                    QStringList{"a.txt", "unknown", "o.html"}}) {
        const Outcome run = RunDiff(args, dir.Path());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.error, CDiffCommandLine::Usage());
    }
    struct stat info;
    EXPECT_NE(stat((dir / "o.html").c_str(), &info), 0);
}

TEST(DiffCommandLine, PositionalArgumentsOptionsAndUnknown)
{
    CDiffCommandLine plain({"a", "b", "c", "d"});
    EXPECT_EQ(plain.first, "a");
    EXPECT_EQ(plain.second, "b");
    EXPECT_EQ(plain.output, "c");
    EXPECT_TRUE(plain.RunsAtOnce());
    EXPECT_TRUE(plain.caseFlag && plain.indentFlag);

    CDiffCommandLine options({"-I", "a", "-c", "b"});
    EXPECT_FALSE(options.caseFlag);
    EXPECT_FALSE(options.indentFlag);
    EXPECT_EQ(options.second, "b");
    EXPECT_EQ(options.output, "");
    EXPECT_TRUE(options.RunsAtOnce());

    EXPECT_FALSE(CDiffCommandLine({"a", "b"}).RunsAtOnce());
    const CDiffCommandLine joined({"-ci", "b", "c"});
    EXPECT_EQ(joined.first, "-ci"); // options are never joined
    EXPECT_TRUE(joined.caseFlag);

    CDiffCommandLine unknownFirst({"unknown", "b", "c"});
    EXPECT_EQ(unknownFirst.first, "");
    EXPECT_FALSE(unknownFirst.RunsAtOnce());
    CDiffCommandLine unknownSecond({"a", "\"unknown\"", "c"});
    EXPECT_EQ(unknownSecond.second, "");
    EXPECT_FALSE(unknownSecond.RunsAtOnce());
    EXPECT_EQ(CDiffCommandLine({"Unknown", "b", "c"}).first, "Unknown");
}
