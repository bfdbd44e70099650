// Measures what the session core adds to the interpreter's own time:
// statements through QueueCommand against the same statements written to a
// bare pipe, large output through the dispatcher against reading it raw, and
// one workspace refresh with 1,000 variables.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <functional>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/cprocesstimes.h"
#include "main/session/coctaveredirector.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The interpreter on two pipes, read until its prompt: the reference.
class RawOctave {
public:
    RawOctave()
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
            std::abort();
        posix_spawn_file_actions_t a;
        posix_spawn_file_actions_init(&a);
        posix_spawn_file_actions_adddup2(&a, in[0], 0);
        posix_spawn_file_actions_adddup2(&a, out[1], 1);
        posix_spawn_file_actions_adddup2(&a, out[1], 2);
        char* argv[] = {const_cast<char*>("octave"), const_cast<char*>("--interactive"),
                        const_cast<char*>("--no-history"), const_cast<char*>("-W"), nullptr};
        if (posix_spawnp(&m_pid, "octave", &a, nullptr, argv, environ) != 0)
            std::abort();
        posix_spawn_file_actions_destroy(&a);
        close(in[0]);
        close(out[1]);
        m_in = in[1];
        m_out = out[0];
        ReadToPrompt();
    }
    ~RawOctave()
    {
        close(m_in);
        std::string rest;
        char buffer[65536];
        while (read(m_out, buffer, sizeof buffer) > 0) {
        }
        close(m_out);
        waitpid(m_pid, nullptr, 0);
    }
    // Writes a statement and reads until the next prompt; returns the bytes read.
    std::size_t Run(const std::string& statement)
    {
        const std::string line = statement + "\n";
        if (write(m_in, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            std::abort();
        return ReadToPrompt();
    }

private:
    std::size_t ReadToPrompt()
    {
        std::size_t total = 0;
        std::string tail;
        char buffer[65536];
        for (;;) {
            const ssize_t n = read(m_out, buffer, sizeof buffer);
            if (n <= 0)
                std::abort();
            total += static_cast<std::size_t>(n);
            tail.append(buffer, static_cast<std::size_t>(n));
            if (tail.size() > 32)
                tail.erase(0, tail.size() - 32);
            const std::size_t at = tail.rfind("octave:");
            if (at != std::string::npos && tail.size() >= 2 && tail.compare(tail.size() - 2, 2, "> ") == 0)
                return total;
        }
    }
public:
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_in = -1, m_out = -1;
};

// Panes that only count what arrives.
class CountingPanes : public ISessionPanes {
public:
    std::atomic<std::size_t> bytes{0};
    std::atomic<int> refills{0};
    std::atomic<std::size_t> variables{0};
    void ConsoleWrite(const std::string& t, const std::vector<CTextSpan>&, int) override { bytes += t.size(); }
    void ConsoleEcho(const std::string&) override {}
    void ConsoleReset(const std::string&) override {}
    void ConsoleReplace(const std::string&, const std::string&) override {}
    void ConsoleCaretToEnd() override {}
    void ConsoleSetReadOnly(bool) override {}
    void ConsoleSetBusy(bool) override {}
    void Beep() override {}
    void HistoryAdd(const std::string&) override {}
    void CompletionShow(const std::vector<std::string>&) override {}
    void WorkspaceRefill(const std::vector<CInfoVariable>& v) override
    {
        variables = v.size();
        ++refills;
    }
    void WorkspaceShow() override {}
    void VariableEditorReload() override {}
    void PathListPopulating() override {}
    void PathListFill(const std::vector<std::string>&) override {}
    void PackageListPopulating() override {}
    void PackageListFill(const std::vector<CPackageRow>&) override {}
    void ProfilerFunctionProfilingEnded() override {}
    void ProfilerFileReady() override {}
    void DocumentationShow(const std::string&) override {}
    void ChangeDirectory(const std::string&) override {}
    bool SendToEditor(const std::string&, bool) override { return true; }
    void RequestApplicationClose() override {}
};

void WaitFor(const std::function<bool()>& condition)
{
    while (!condition())
        std::this_thread::yield();
}

// The same, asleep between looks: for long statements, where a spinning wait
// would take a core from the interpreter and count as the program's time.
void WaitQuietly(const std::function<bool()>& condition)
{
    while (!condition())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Queues the statement and waits until its answer has come back to the prompt.
void Through(COctaveRedirector& session, const std::string& statement, bool echo)
{
    const unsigned done = session.RequestsDone();
    session.QueueCommand(statement, echo);
    WaitFor([&] { return session.RequestsDone() > done && session.AtPrompt(); });
}

}  // namespace

int main()
{
    QTemporaryDir temp;
    const int kStatements = 1000;
    const int kRounds = 5;  // alternated, best of each: a busy machine hurts both alike
    bool ok = true;

    RawOctave raw;
    CountingPanes panes;
    COctaveRedirector session(&panes);
    CSessionOptions options;
    options.tempFolder = temp.path().toStdString();
    session.SetOptions(options);
    if (!session.Open("octave --interactive --no-history -W")) {
        std::printf("cannot start octave: %s\n", std::strerror(errno));
        return 1;
    }
    WaitFor([&] { return session.FirstPromptSeen(); });
    session.ConnectedFlag().store(true);
    session.StartSender();
    for (int i = 0; i < 50; ++i) {
        raw.Run("a = 1;");
        Through(session, "a = 1;", false);
    }

    {
        const int perRound = kStatements / kRounds;
        double bestRaw = 1e9, bestSession = 1e9, sumRaw = 0, sumSession = 0;
        for (int round = 0; round < kRounds; ++round) {
            auto start = Clock::now();
            for (int i = 0; i < perRound; ++i)
                raw.Run("a = 1;");
            const double r = Seconds(Clock::now() - start) / perRound;
            const unsigned done = session.RequestsDone();
            start = Clock::now();
            for (int i = 0; i < perRound; ++i)
                session.QueueCommand("a = 1;", false);
            WaitFor([&] { return session.RequestsDone() >= done + perRound && session.AtPrompt(); });
            const double q = Seconds(Clock::now() - start) / perRound;
            bestRaw = std::min(bestRaw, r);
            bestSession = std::min(bestSession, q);
            sumRaw += r;
            sumSession += q;
        }
        const double ratio = bestSession / bestRaw;
        ok = ok && ratio <= 1.3;
        std::printf("%d silent statements: raw %.3f ms, session %.3f ms per statement (best round; means %.3f / "
                    "%.3f), ratio %.2f (target <= 1.30) %s\n",
                    kStatements, bestRaw * 1000, bestSession * 1000, sumRaw / kRounds * 1000,
                    sumSession / kRounds * 1000, ratio, ratio <= 1.3 ? "ok" : "MISSED");
    }
    {
        // A loop printing line by line: 200,000 small writes.
        const std::string loop = "for i=1:200000, disp(i); end";
        std::vector<double> rawTimes, sessionTimes, rawCpu, ownCpu, childCpu;
        for (int round = 0; round < 5; ++round) {
            double cpu = CProcessTimes::Of(raw.Pid());
            auto start = Clock::now();
            raw.Run(loop);
            rawTimes.push_back(Seconds(Clock::now() - start));
            rawCpu.push_back(CProcessTimes::Of(raw.Pid()) - cpu);

            const unsigned done = session.RequestsDone();
            cpu = CProcessTimes::Of(session.ChildPid());
            const double own = CProcessTimes::Self();
            start = Clock::now();
            session.QueueCommand(loop, true);
            WaitQuietly([&] { return session.RequestsDone() > done && session.AtPrompt(); });
            sessionTimes.push_back(Seconds(Clock::now() - start));
            ownCpu.push_back(CProcessTimes::Self() - own);
            childCpu.push_back(CProcessTimes::Of(session.ChildPid()) - cpu);
        }
        const double ratio = Median(sessionTimes) / Median(rawTimes);
        const double share = Median(ownCpu) / Median(childCpu);
        const bool met = ratio <= 1.15 && share <= 1.0 / 3;
        ok = ok && met;
        std::printf("%s (median of 5): raw %.3f s, session %.3f s, ratio %.2f (target <= 1.15); processor time: "
                    "session core %.3f s, its interpreter %.3f s (raw %.3f s), share %.2f (target <= 0.33) %s\n",
                    loop.c_str(), Median(rawTimes), Median(sessionTimes), ratio, Median(ownCpu),
                    Median(childCpu), Median(rawCpu), share, met ? "ok" : "MISSED");
    }
    {
        raw.Run("disp(rand(20000,10))");
        Through(session, "disp(rand(20000,10))", true);
        double bestRaw = 1e9, bestSession = 1e9;
        std::size_t rawBytes = 0, sessionBytes = 0;
        for (int round = 0; round < 3; ++round) {
            auto start = Clock::now();
            rawBytes = raw.Run("disp(rand(20000,10))");
            bestRaw = std::min(bestRaw, Seconds(Clock::now() - start));
            const std::size_t before = panes.bytes.load();
            start = Clock::now();
            Through(session, "disp(rand(20000,10))", true);
            bestSession = std::min(bestSession, Seconds(Clock::now() - start));
            sessionBytes = panes.bytes.load() - before;
        }
        const double ratio = bestSession / bestRaw;
        ok = ok && ratio <= 1.5;
        std::printf("disp(rand(20000,10)): raw %.3f s for %zu bytes, through the dispatcher to the panes %.3f s "
                    "for %zu bytes, ratio %.2f (target <= 1.50) %s\n",
                    bestRaw, rawBytes, bestSession, sessionBytes, ratio, ratio <= 1.5 ? "ok" : "MISSED");
    }
    {
        Through(session, "clear all; for k = 1:1000, eval(sprintf('v%d = rand(10);', k)); end", false);
        double best = 1e9;
        std::size_t count = 0;
        for (int round = 0; round < 3; ++round) {
            const int refills = panes.refills.load();
            const auto start = Clock::now();
            session.QueueCommand(session.NamesStatement(), false);
            WaitFor([&] { return panes.refills.load() > refills; });
            best = std::min(best, Seconds(Clock::now() - start));
            count = panes.variables.load();
        }
        ok = ok && best < 0.5;
        std::printf("workspace refresh (names and values statements, both files, refill) with %zu variables: "
                    "%.3f s (target < 0.5 s) %s\n",
                    count, best, best < 0.5 ? "ok" : "MISSED");
    }
    session.StopSender();
    session.EndChild(3000);
    session.Close();
    return ok ? 0 : 2;
}
