#include "common/cini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace {

// One private user: home, settings, data, runtime folder (the message
// channel's sockets) and temporary folder, shared by the editor processes
// a test starts.
class MarlinoteE2ETest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        ASSERT_TRUE(home.isValid());
        for (const char* sub : {"config", "data", "runtime", "tmp", "files"})
            QDir(home.path()).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(home.filePath("runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // No main program runs here: the editor must not ask to start it.
        QDir(home.path()).mkpath(QStringLiteral("config/Halvard"));
        QFile settings(home.filePath("config/Halvard/Marlinote.conf"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[%General]\nOpenOctaveStart=0\n");  // QSettings' name for a "General" group
        settings.close();
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        env.insert("TMPDIR", home.filePath("tmp"));
        env.insert("QT_QPA_PLATFORM", "xcb");
    }

    void TearDown() override
    {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QString MakeFile(const QString& name, const QByteArray& text)
    {
        const QString path = home.filePath("files/" + name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        return path;
    }

    QProcess* Start(const QStringList& args)
    {
        processes.push_back(std::make_unique<QProcess>());
        QProcess* process = processes.back().get();
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QStringLiteral(KESTRUNE_BIN_DIR "/marlinote"), args);
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    // The editor listens on its channel once it is up.
    bool WaitForChannel(int timeoutMs = 20000)
    {
        const QString socket = home.filePath("runtime/kestrune/marlinote");
        for (int waited = 0; waited < timeoutMs; waited += 100) {
            if (QFileInfo::exists(socket))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    // Asks the editor to close as a user would (it writes its lists).
    static bool Terminate(QProcess* process)
    {
        ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
        return process->waitForFinished(20000) && process->exitStatus() == QProcess::NormalExit
               && process->exitCode() == 0;
    }

    struct Stored {
        std::vector<std::string> openFiles;
        std::string fileVisible;
    };

    Stored ReadUserFiles()
    {
        CIni ini(QFile::encodeName(home.filePath("data/Halvard/Marlinote/userfiles.dat")).constData());
        Stored stored;
        ini.GetArray("User", "OpenFiles", stored.openFiles, "|;|");
        stored.fileVisible = ini.GetString("User", "FileVisible", "");
        return stored;
    }

    QTemporaryDir home{QDir::tempPath() + QStringLiteral("/marlinote-e2e-XXXXXX")};
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(MarlinoteE2ETest, SecondStartHandsItsFileOverAndRestartReopensBoth)
{
    const std::string first = MakeFile("first.m", "a = 1;\n").toStdString();
    const std::string second = MakeFile("second.m", "b = 2;\n").toStdString();

    QProcess* running = Start({QString::fromStdString(first)});
    ASSERT_TRUE(WaitForChannel());

    QProcess* handing = Start({QString::fromStdString(second)});
    ASSERT_TRUE(handing->waitForFinished(30000));
    EXPECT_EQ(handing->exitCode(), 0);
    EXPECT_FALSE(running->waitForFinished(200));

    // A start without a file only brings the running one forward.
    QProcess* empty = Start({});
    ASSERT_TRUE(empty->waitForFinished(30000));
    EXPECT_EQ(empty->exitCode(), 0);

    ASSERT_TRUE(Terminate(running));
    Stored stored = ReadUserFiles();
    EXPECT_EQ(stored.openFiles, (std::vector<std::string>{first, second}));
    EXPECT_EQ(stored.fileVisible, second);  // the handed-over file is the active tab

    // The next start reopens both.
    QProcess* restart = Start({});
    ASSERT_TRUE(WaitForChannel());
    QThread::msleep(500);
    ASSERT_TRUE(Terminate(restart));
    stored = ReadUserFiles();
    EXPECT_EQ(stored.openFiles, (std::vector<std::string>{first, second}));
}

TEST_F(MarlinoteE2ETest, TwoStartsAtTheSameMomentEndInOneEditor)
{
    const std::string left = MakeFile("left.m", "l = 1;\n").toStdString();
    const std::string right = MakeFile("right.m", "r = 2;\n").toStdString();

    QProcess* a = Start({QString::fromStdString(left)});
    QProcess* b = Start({QString::fromStdString(right)});

    // One of them hands over and ends; the other keeps running.
    QProcess* survivor = nullptr;
    for (int waited = 0; waited < 30000 && !survivor; waited += 100) {
        if (a->waitForFinished(50))
            survivor = b;
        else if (b->waitForFinished(50))
            survivor = a;
    }
    ASSERT_NE(survivor, nullptr);
    QProcess* loser = survivor == a ? b : a;
    EXPECT_EQ(loser->exitCode(), 0);
    EXPECT_FALSE(survivor->waitForFinished(500));

    ASSERT_TRUE(Terminate(survivor));
    const Stored stored = ReadUserFiles();
    ASSERT_EQ(stored.openFiles.size(), 2u);
    EXPECT_NE(std::find(stored.openFiles.begin(), stored.openFiles.end(), left), stored.openFiles.end());
    EXPECT_NE(std::find(stored.openFiles.begin(), stored.openFiles.end(), right), stored.openFiles.end());
    EXPECT_EQ(stored.fileVisible, loser == a ? left : right);
}

bool Alive(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text[close + 2] != 'Z';
}

// The interpreter starts the editor from its own process group; a signal to
// that group (Ctrl+C, Abort, a reconnect's kill) must not reach the editor.
TEST_F(MarlinoteE2ETest, SignalsToTheGroupOfItsStarterDoNotEndTheEditor)
{
    const QByteArray program = KESTRUNE_BIN_DIR "/marlinote";
    std::vector<QByteArray> envText;
    for (const QString& entry : env.toStringList())
        envText.push_back(entry.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& entry : envText)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    // A starter in a new group of its own, as the interpreter is; the editor
    // is its child.
    const pid_t starter = ::fork();
    ASSERT_GE(starter, 0);
    if (starter == 0) {
        ::setpgid(0, 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::execve(argv[0], argv, envp.data());
            ::_exit(127);
        }
        (void)!::write(pipeFds[1], &child, sizeof child);
        for (;;)
            ::pause();
    }
    ::close(pipeFds[1]);
    pid_t editor = -1;
    ASSERT_EQ(::read(pipeFds[0], &editor, sizeof editor), ssize_t(sizeof editor));
    ::close(pipeFds[0]);
    ASSERT_TRUE(WaitForChannel());

    ::kill(-starter, SIGINT);
    int status = 0;
    ::waitpid(starter, &status, 0);  // the starter itself ends
    ::kill(-starter, SIGKILL);       // whatever is left in its group
    QThread::msleep(500);
    EXPECT_TRUE(Alive(editor));

    ::kill(editor, SIGTERM);
    for (int waited = 0; waited < 20000 && Alive(editor); waited += 100)
        QThread::msleep(100);
    EXPECT_FALSE(Alive(editor));
}

// Pixels of exactly one colour in the image (the cores of glyph strokes are
// drawn in the text colour itself; their edges are blended).
int CountColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += (line[x] & 0xFFFFFF) == (colour & 0xFFFFFF);
    }
    return count;
}

TEST_F(MarlinoteE2ETest, ScreenshotShowsKeywordsAndCommentsInTheirColours)
{
    // Keywords only, then comments only: a window that styles nothing (or
    // draws nothing) has none of the two colours.
    QByteArray text;
    for (int i = 0; i < 8; ++i)
        text += "if for while end switch otherwise until\n";
    for (int i = 0; i < 8; ++i)
        text += "% a comment line of the styled file\n";
    const QString file = MakeFile("styled.m", text);
    QProcess* editor = Start({file});
    ASSERT_TRUE(WaitForChannel());
    QThread::msleep(1500);
    const QString shot = QStringLiteral(KESTRUNE_BIN_DIR "/../marlinote-e2e.png");
    QFile::remove(shot);
    ASSERT_EQ(QProcess::execute("import", {"-window", "root", shot}), 0)
        << "import (imagemagick) takes the screenshot; scripts/install-deps.sh installs it";
    QImage image(shot);
    ASSERT_FALSE(image.isNull());
    image = image.convertToFormat(QImage::Format_RGB32);
    const QRgb keyword = qRgb(0, 0, 255);      // stored as 0xFF0000 (blue, green, red)
    const QRgb comment = qRgb(0x22, 0x8B, 0x22);
    EXPECT_GT(CountColour(image, keyword), 200);
    EXPECT_GT(CountColour(image, comment), 200);
    EXPECT_TRUE(Terminate(editor));
}

}  // namespace
