// Prints the main program's timings against the raw interpreter over a pipe.
// Run: bench_main (uses the offscreen platform and a private home).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/cprocesstimes.h"
#include "main/console/ckestruneview.h"
#include "main/app/ckestruneapp.h"
#include "main/session/coctaveredirector.h"
#include "platform/cprofile.h"

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The raw interpreter over a pipe.
class Raw {
public:
    qint64 Pid() const { return m_process.processId(); }
    double Start()
    {
        QElapsedTimer clock;
        clock.start();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("octave"), {QStringLiteral("--interactive"), QStringLiteral("--no-history")});
        WaitPrompt();
        return clock.elapsed() / 1000.0;
    }
    double Run(const QByteArray& statement)
    {
        QElapsedTimer clock;
        clock.start();
        m_process.write(statement + "\n");
        WaitPrompt();
        return clock.nsecsElapsed() / 1e9;
    }
    ~Raw()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

private:
    void WaitPrompt()
    {
        static const QRegularExpression prompt(QStringLiteral("octave:\\d+> $"));
        while (true) {
            if (m_buffer.size() >= 3 && m_buffer.endsWith("> ") &&
                prompt.match(QString::fromLatin1(m_buffer.right(16))).hasMatch()) {
                m_buffer.clear();
                return;
            }
            if (!m_process.waitForReadyRead(30000))
                return;
            m_buffer += m_process.readAll();
        }
    }
    QProcess m_process;
    QByteArray m_buffer;
};

// Waits as the program itself does: asleep in the event loop until an event
// arrives (a spinning wait would take a core from the interpreter).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 60000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(50);
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    static QTemporaryDir home;
    for (const char* sub : {"/config", "/data", "/runtime", "/tmp", "/home", "/work"})
        QDir().mkpath(home.path() + QString::fromLatin1(sub));
    QFile::setPermissions(home.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("HOME", (home.path() + "/home").toUtf8(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8(), 1);
    setenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8(), 1);
    setenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8(), 1);
    setenv("TMPDIR", (home.path() + "/tmp").toUtf8(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvard"));
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    CProfile profile(QStringLiteral("Kestrune"));
    profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 1);
    profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("ConfirmExit"), 0);
    profile.WriteString(QStringLiteral("Octave"), QStringLiteral("workpath"), home.path() + "/work");

    // --- raw interpreter ---------------------------------------------------
    std::vector<double> rawStarts;
    double rawDisp = 0;
    std::vector<double> rawTrips;
    std::vector<double> rawLoops, rawLoopCpu;
    const QByteArray loop = "for i=1:200000, disp(i); end";
    for (int i = 0; i < 3; ++i) {
        Raw raw;
        rawStarts.push_back(raw.Start());
        if (i == 0) {
            raw.Run("x = 1;");
            rawDisp = raw.Run("disp(rand(20000,10))");
            for (int n = 0; n < 5; ++n) {
                const double cpu = CProcessTimes::Of(static_cast<pid_t>(raw.Pid()));
                rawLoops.push_back(raw.Run(loop));
                rawLoopCpu.push_back(CProcessTimes::Of(static_cast<pid_t>(raw.Pid())) - cpu);
            }
            for (int n = 0; n < 200; ++n)
                rawTrips.push_back(raw.Run("a = " + QByteArray::number(n) + ";"));
        }
    }
    const double rawStart = Median(rawStarts);
    const double rawTrip = Median(rawTrips);

    // --- kestrune ------------------------------------------------------------
    std::vector<double> starts;
    double disp = 0;
    std::vector<double> trips;
    std::vector<double> loops, loopCpu, loopChildCpu, loopGaps;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        CKestruneApp app;
        CKestruneApp::Options options;
        options.splash = false;
        options.listen = false;
        app.Start(options);
        if (!WaitFor([&] { return app.IsConnected(); })) {
            std::fprintf(stderr, "kestrune did not connect\n");
            return 1;
        }
        starts.push_back(clock.elapsed() / 1000.0);
        if (i != 0)
            continue;
        CKestruneView* view = app.View();
        // The cheap looks first: this runs after every event, and the
        // benchmark's own time counts as the program's.
        auto atPrompt = [&] {
            return app.Session().AtPrompt() && !app.Session().Busy() && view->CommandLine().isEmpty() &&
                   view->Text().endsWith(QStringLiteral(">> "));
        };
        WaitFor(atPrompt);
        QTest::qWait(2500);  // set-up statements and the first workspace refresh
        WaitFor(atPrompt);

        QTest::keyClicks(view, QStringLiteral("disp(rand(20000,10))"));
        clock.start();
        QTest::keyClick(view, Qt::Key_Return);
        WaitFor([&] { return !view->CommandLine().isEmpty() || !view->Text().endsWith(QStringLiteral(">> ")); });
        WaitFor(atPrompt);
        disp = clock.elapsed() / 1000.0;
        QTest::qWait(2500);
        WaitFor(atPrompt);

        // The loop as a user types it; the window must keep showing output
        // while it runs (counted as updates per second).
        const pid_t child = app.Session().ChildPid();
        QElapsedTimer sinceChange;
        double longestGap = 0;
        const QMetaObject::Connection watch = QObject::connect(view->document(), &QTextDocument::contentsChanged, view, [&] {
            if (sinceChange.isValid())
                longestGap = std::max(longestGap, sinceChange.nsecsElapsed() / 1e9);
            sinceChange.start();
        });
        for (int n = 0; n < 5; ++n) {
            QTest::keyClicks(view, QString::fromLatin1(loop));
            const double own = CProcessTimes::Self();
            const double theirs = CProcessTimes::Of(child);
            clock.start();
            sinceChange.invalidate();
            longestGap = 0;
            QTest::keyClick(view, Qt::Key_Return);
            WaitFor([&] { return !view->CommandLine().isEmpty() || !view->Text().endsWith(QStringLiteral(">> ")); });
            WaitFor(atPrompt);
            loopGaps.push_back(longestGap);
            const double seconds = clock.nsecsElapsed() / 1e9;
            loops.push_back(seconds);
            loopCpu.push_back(CProcessTimes::Self() - own);
            loopChildCpu.push_back(CProcessTimes::Of(child) - theirs);
            QTest::qWait(1500);
            WaitFor(atPrompt);
        }

        QObject::disconnect(watch);

        for (int n = 0; n < 200; ++n) {
            QTest::keyClicks(view, QStringLiteral("a = %1;").arg(n));
            const long long applied = view->AppliedCount();
            QElapsedTimer trip;
            trip.start();
            QTest::keyClick(view, Qt::Key_Return);
            WaitFor([&] { return view->AppliedCount() > applied && atPrompt(); });
            trips.push_back(trip.nsecsElapsed() / 1e9);
        }
    }
    const double start = Median(starts);
    const double trip = Median(trips);
    double meanTrip = 0;
    for (double t : trips)
        meanTrip += t;
    meanTrip /= static_cast<double>(trips.size());
    double meanRaw = 0;
    for (double t : rawTrips)
        meanRaw += t;
    meanRaw /= static_cast<double>(rawTrips.size());

    std::printf("launch to Ready:      kestrune %.3f s, raw start-up %.3f s, difference %+.3f s (target <= +0.500 s) %s\n",
                start, rawStart, start - rawStart, start - rawStart <= 0.5 ? "OK" : "MISSED");
    std::printf("disp(rand(20000,10)): kestrune %.3f s, raw read %.3f s, ratio %.2f (target <= 1.09) %s\n", disp, rawDisp,
                disp / rawDisp, disp / rawDisp <= 1.09 ? "OK" : "MISSED");
    std::printf("statement round trip: kestrune median %.2f ms (mean %.2f), raw median %.2f ms (mean %.2f), ratio %.2f "
                "(target <= 1.02) %s\n",
                trip * 1000, meanTrip * 1000, rawTrip * 1000, meanRaw * 1000, trip / rawTrip,
                trip / rawTrip <= 1.02 ? "OK" : "MISSED");
    const double loopRatio = Median(loops) / Median(rawLoops);
    const double share = Median(loopCpu) / Median(loopChildCpu);
    std::printf("%s (median of 5): kestrune %.3f s, raw %.3f s, ratio %.2f (target <= 1.25) %s\n", loop.constData(),
                Median(loops), Median(rawLoops), loopRatio, loopRatio <= 1.25 ? "OK" : "MISSED");
    std::printf("  processor time: kestrune %.3f s, its interpreter %.3f s (raw %.3f s), share %.2f (target <= 0.33) "
                "%s; longest time the window showed no change %.0f ms (target <= 100) %s\n",
                Median(loopCpu), Median(loopChildCpu), Median(rawLoopCpu), share, share <= 1.0 / 3 ? "OK" : "MISSED",
                Median(loopGaps) * 1000, Median(loopGaps) <= 0.1 ? "OK" : "MISSED");
    return 0;
}
