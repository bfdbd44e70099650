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

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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
    bool ok = true;

    // Raw reference.
    double rawStatement, rawOutput;
    {
        RawOctave raw;
        for (int i = 0; i < 50; ++i)
            raw.Run("a = 1;");
        const auto start = Clock::now();
        for (int i = 0; i < kStatements; ++i)
            raw.Run("a = 1;");
        rawStatement = Seconds(Clock::now() - start) / kStatements;
        raw.Run("disp(rand(20000,10))");
        const auto outStart = Clock::now();
        const std::size_t bytes = raw.Run("disp(rand(20000,10))");
        rawOutput = Seconds(Clock::now() - outStart);
        std::printf("raw pipe: %.3f ms per statement, %.3f s for %zu bytes of output\n", rawStatement * 1000,
                    rawOutput, bytes);
    }

    CountingPanes panes;
    COctaveRedirector session(&panes);
    CSessionOptions options;
    options.tempFolder = temp.path().toStdString();
    session.SetOptions(options);
    if (!session.Open("octave --interactive --no-history -W")) {
        std::printf("cannot start octave\n");
        return 1;
    }
    WaitFor([&] { return session.FirstPromptSeen(); });
    session.ConnectedFlag().store(true);
    session.StartSender();

    for (int i = 0; i < 50; ++i)
        Through(session, "a = 1;", false);
    {
        const unsigned done = session.RequestsDone();
        const auto start = Clock::now();
        for (int i = 0; i < kStatements; ++i)
            session.QueueCommand("a = 1;", false);
        WaitFor([&] { return session.RequestsDone() >= done + kStatements && session.AtPrompt(); });
        const double perStatement = Seconds(Clock::now() - start) / kStatements;
        const double ratio = perStatement / rawStatement;
        ok = ok && ratio <= 1.3;
        std::printf("1000 silent statements: %.3f ms per statement, ratio %.2f (target <= 1.30) %s\n",
                    perStatement * 1000, ratio, ratio <= 1.3 ? "ok" : "MISSED");
    }
    {
        Through(session, "disp(rand(20000,10))", true);
        const std::size_t before = panes.bytes.load();
        const auto start = Clock::now();
        Through(session, "disp(rand(20000,10))", true);
        const double seconds = Seconds(Clock::now() - start);
        const double ratio = seconds / rawOutput;
        ok = ok && ratio <= 1.5;
        std::printf("disp(rand(20000,10)) to the panes: %.3f s, %zu bytes, ratio %.2f (target <= 1.50) %s\n",
                    seconds, panes.bytes.load() - before, ratio, ratio <= 1.5 ? "ok" : "MISSED");
    }
    {
        Through(session, "clear all; for k = 1:1000, eval(sprintf('v%d = rand(10);', k)); end", false);
        Through(session, session.NamesStatement(), false);  // warm up the helpers
        WaitFor([&] { return panes.refills.load() >= 1; });
        const int refills = panes.refills.load();
        const auto start = Clock::now();
        session.QueueCommand(session.NamesStatement(), false);
        WaitFor([&] { return panes.refills.load() > refills; });
        const double seconds = Seconds(Clock::now() - start);
        ok = ok && seconds < 0.5;
        std::printf("workspace refresh with %zu variables: %.3f s (target < 0.5 s) %s\n", panes.variables.load(),
                    seconds, seconds < 0.5 ? "ok" : "MISSED");
    }
    session.StopSender();
    session.EndChild(3000);
    session.Close();
    return ok ? 0 : 2;
}
