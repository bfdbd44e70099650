#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "main/session/credirector.h"

namespace {

class ChunkRecorder : public CRedirector {
public:
    ~ChunkRecorder() override { Close(); }

    std::vector<std::string> Chunks()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_chunks;
    }
    std::string Output()
    {
        std::string all;
        for (const std::string& c : Chunks())
            all += c;
        return all;
    }
    std::vector<std::string> Errors()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_errors;
    }
    bool WaitFinished(int ms = 10000)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_cond.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_finished; });
    }
    bool WaitOutput(const std::string& part, int ms = 10000)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_cond.wait_for(lock, std::chrono::milliseconds(ms), [&] {
            std::string all;
            for (const std::string& c : m_chunks)
                all += c;
            return all.find(part) != std::string::npos;
        });
    }
    int result = 99;
    std::atomic<bool> closeInHook{false};
    std::atomic<bool> terminated{false};

protected:
    void OnChildOutput(const char* text, std::size_t length) override
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_chunks.emplace_back(text, length);
            m_terminatedOk = m_terminatedOk && text[length] == '\0' && length > 0;
        }
        m_cond.notify_all();
        if (closeInHook.load())
            Close();
    }
    void OnRedirectorError(const char* message) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_errors.push_back(message);
    }
    void OnReaderFinished(int r) override
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            result = r;
            m_finished = true;
        }
        m_cond.notify_all();
    }

public:
    bool m_terminatedOk = true;

private:
    std::mutex m_lock;
    std::condition_variable m_cond;
    std::vector<std::string> m_chunks;
    std::vector<std::string> m_errors;
    bool m_finished = false;
};

std::vector<std::string> Sh(const std::string& script)
{
    return {"/bin/sh", "-c", script};
}

}  // namespace

TEST(SessionRedirector, LongOutputArrivesInOrderInTerminatedChunks)
{
    ChunkRecorder r;
    // 200,000 bytes in one write: more than a pipe holds.
    ASSERT_TRUE(r.Open(Sh("head -c 200000 /dev/zero | tr '\\0' 'a'; printf END")));
    ASSERT_TRUE(r.WaitFinished());
    const std::string out = r.Output();
    EXPECT_EQ(out.size(), 200003u);
    EXPECT_EQ(out.substr(out.size() - 3), "END");
    EXPECT_TRUE(r.m_terminatedOk);
    EXPECT_EQ(r.result, 0);  // the child ended: drained, then done
}

TEST(SessionRedirector, BurstOfSmallWritesIsHandedOnInFewPieces)
{
    ChunkRecorder r;
    // 3,000 lines, one write each; the text ends without a line end, as a
    // prompt does, and must not wait for the child to end.
    ASSERT_TRUE(r.Open(Sh("i=0; while [ $i -lt 3000 ]; do echo line$i; i=$((i+1)); done; printf 'prompt> '; sleep 5")));
    ASSERT_TRUE(r.WaitOutput("line2999\nprompt> ", 3000));
    std::string expected;
    for (int i = 0; i < 3000; ++i)
        expected += "line" + std::to_string(i) + "\n";
    EXPECT_EQ(r.Output(), expected + "prompt> ");
    EXPECT_LT(r.Chunks().size(), 300u);
    r.EndChild(0);
}

TEST(SessionRedirector, OutputJustBeforeExitAndStandardErrorAreDelivered)
{
    ChunkRecorder r;
    ASSERT_TRUE(r.Open(Sh("echo out1; echo err1 >&2; echo out2; exec printf last")));
    ASSERT_TRUE(r.WaitFinished());
    EXPECT_EQ(r.Output(), "out1\nerr1\nout2\nlast");
    EXPECT_TRUE(r.Errors().empty());
}

TEST(SessionRedirector, NulBytesReachTheHookWithTheirLength)
{
    ChunkRecorder r;
    ASSERT_TRUE(r.Open(Sh("printf 'a\\000b'")));
    ASSERT_TRUE(r.WaitFinished());
    EXPECT_EQ(r.Output(), std::string("a\0b", 3));
}

TEST(SessionRedirector, SendBeforeOpenAndAfterCloseWritesNothing)
{
    ChunkRecorder r;
    EXPECT_FALSE(r.SendFormatted("%s\n", "x"));
    ASSERT_TRUE(r.Open(Sh("cat")));
    EXPECT_TRUE(r.SendFormatted("%s-%d\n", "hello", 42));
    ASSERT_TRUE(r.WaitOutput("hello-42\n"));
    r.Close();
    EXPECT_FALSE(r.SendFormatted("%s\n", "x"));
    EXPECT_FALSE(r.SendText("y"));
    EXPECT_EQ(r.EndChild(2000) >= 0, true);  // cat sees end of input and exits
}

TEST(SessionRedirector, MissingProgramReportsErrorTwo)
{
    ChunkRecorder r;
    EXPECT_FALSE(r.Open(std::vector<std::string>{"/nonexistent/kestrune-no-such-program"}));
    ASSERT_EQ(r.Errors().size(), 1u);
    EXPECT_EQ(r.Errors()[0], "Redirect console error: 2\r\n");
    EXPECT_FALSE(r.IsReading());
    EXPECT_FALSE(r.SendText("x"));
    EXPECT_FALSE(r.Open("kestrune-no-such-program --flag"));
    EXPECT_EQ(r.Errors().back(), "Redirect console error: 2\r\n");
}

TEST(SessionRedirector, CloseTwiceAndFromTheReaderThread)
{
    ChunkRecorder r;
    r.closeInHook.store(true);
    ASSERT_TRUE(r.Open(Sh("echo one; sleep 5")));
    ASSERT_TRUE(r.WaitFinished(3000));  // the hook closed: the reader ended
    EXPECT_EQ(r.Output(), "one\n");
    const auto start = std::chrono::steady_clock::now();
    r.Close();
    r.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(r.Errors().empty());
    EXPECT_GE(r.EndChild(0), 0);
}

TEST(SessionRedirector, CloseStopsTheReaderPromptlyWithoutEndingTheChild)
{
    ChunkRecorder r;
    ASSERT_TRUE(r.Open(Sh("echo ready; exec sleep 30")));
    ASSERT_TRUE(r.WaitOutput("ready"));
    const auto start = std::chrono::steady_clock::now();
    r.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(r.result, 1);
    EXPECT_TRUE(r.ChildRunning());
    const int status = r.EndChild(100);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_FALSE(r.ChildRunning());
}

TEST(SessionRedirector, ChildHasItsOwnGroupAndNoneOfOurDescriptors)
{
    ChunkRecorder r;
    // Only 0, 1 and 2 may be open in the child (ls itself opens one for the
    // listing, which we filter by printing before any listing).
    ASSERT_TRUE(r.Open(Sh("echo pgid=$(ps -o pgid= -p $$ | tr -d ' ') pid=$$; "
                          "for f in /proc/$$/fd/*; do echo fd=${f##*/}; done")));
    ASSERT_TRUE(r.WaitFinished());
    const std::string out = r.Output();
    const pid_t pid = r.ChildPid();
    EXPECT_NE(out.find("pgid=" + std::to_string(pid) + " pid=" + std::to_string(pid)), std::string::npos) << out;
    for (std::size_t at = 0; (at = out.find("fd=", at)) != std::string::npos; at += 3) {
        const int fd = std::stoi(out.substr(at + 3));
        EXPECT_LE(fd, 3) << out;  // 3: the glob's own directory handle
    }
}

TEST(SessionRedirector, InterruptReachesTheProcessGroup)
{
    ChunkRecorder r;
    ASSERT_TRUE(r.Open(Sh("trap 'echo caught; exit 3' INT; echo armed; while :; do sleep 0.05; done")));
    ASSERT_TRUE(r.WaitOutput("armed"));
    EXPECT_TRUE(r.Interrupt());
    ASSERT_TRUE(r.WaitOutput("caught"));
    ASSERT_TRUE(r.WaitFinished());
}

TEST(SessionRedirector, ChildEndingItsOutputClearsConnectedSilently)
{
    ChunkRecorder r;
    // The child closes its output but lives on: the pipe has ended.
    r.ConnectedFlag().store(true);
    ASSERT_TRUE(r.Open(Sh("exec >&- 2>&-; sleep 3")));
    ASSERT_TRUE(r.WaitFinished(2500));
    EXPECT_FALSE(r.ConnectedFlag().load());
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.Errors().empty());
    r.EndChild(0);
}

TEST(SessionRedirector, OpenAgainReplacesTheChild)
{
    ChunkRecorder r;
    ASSERT_TRUE(r.Open(Sh("cat")));
    const pid_t first = r.ChildPid();
    ASSERT_TRUE(r.Open(Sh("echo second; cat")));
    EXPECT_NE(r.ChildPid(), first);
    ASSERT_TRUE(r.WaitOutput("second"));
    r.SendText("again\n");
    ASSERT_TRUE(r.WaitOutput("again"));
    r.EndChild(2000);
}
