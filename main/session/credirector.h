#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Starts one child process with its standard output and error joined on one
// pipe and its standard input on another, writes text to the child and reads
// its output on a reader thread of its own, handing it to OnChildOutput. It
// knows nothing about the interpreter.
//
// The child runs in a process group of its own (so an interrupt reaches the
// whole tree) and inherits none of our other descriptors. The reader waits on
// the output pipe, the stop event and the child's exit together, with the poll
// interval as time-out, so output is handled as soon as it arrives.
//
// A child that writes many small pieces (a loop printing a line at a time)
// would cost one hand-over per write. The reader therefore empties the pipe
// before it hands text on, and while the text read so far ends with a line
// end (more is likely on its way) it gives the writer a moment to add to it,
// up to a short batch time. Text that does not end a line (a prompt, a
// question waiting for input) is handed on at once.
class CRedirector {
public:
    static constexpr int kPollIntervalMs = 100;
    // How long the reader waits for more after a line end, and how long one
    // piece may be collected at most (well under a frame, so the command
    // window keeps up with a running loop).
    static constexpr int kCoalesceMs = 1;
    static constexpr int kBatchMs = 10;
    // A piece handed on grows to about this size at most.
    static constexpr std::size_t kBatchBytes = 1 << 20;

    CRedirector();
    virtual ~CRedirector();
    CRedirector(const CRedirector&) = delete;
    CRedirector& operator=(const CRedirector&) = delete;

    // Starts the child and the reader thread; true only if both started. The
    // first word of commandLine names the program (searched on PATH); quoting
    // follows the shell's rules. Begins with Close.
    bool Open(const std::string& commandLine);
    bool Open(const std::vector<std::string>& arguments);

    // Working folder of the next child; empty (the default) means ours.
    void SetWorkingDirectory(const std::string& folder);

    // Ends the reader thread (unless called on it) and closes every pipe.
    // Does not end the child. Safe to call repeatedly and from any thread.
    virtual void Close();

    // printf-style formatting, then one write of the whole text under the
    // write lock. Adds no line end. False when no child input exists or the
    // write failed.
    bool SendFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The same without formatting (text may hold any byte).
    bool SendText(const std::string& text);

    // The running child's process id and process group (-1 when none).
    pid_t ChildPid() const { return m_childPid.load(); }
    // SIGINT to the child's process group; false when no child runs.
    bool Interrupt();
    // Ends the child: closes its input (the interpreter exits on end of
    // input), waits up to graceMs, then SIGKILLs its process group and reaps
    // it. Returns the child's exit status as waitpid reports it, or -1.
    int EndChild(int graceMs);
    // True while the child process has not been seen to exit.
    bool ChildRunning();

    // Whether the child is blocked reading its standard input with nothing
    // left to read there (it waits for the next line), as the system shows
    // its threads' system calls. Unknown when no child runs or the system
    // does not show them.
    enum class InputState { Waiting, Busy, Unknown };
    InputState ChildInputState();

    // The reader thread is running.
    bool IsReading() const { return m_readerRunning.load(); }

    // Raised by the caller once the child is usable; cleared (silently) by the
    // reader when the output pipe breaks or ends, as the connection needs.
    std::atomic<bool>& ConnectedFlag() { return m_connected; }

protected:
    // Called on the reader thread with the output read since the last call,
    // in order; text[length] is a NUL, but the text itself may hold NUL bytes
    // too. Cut at any byte: the receiver keeps an unfinished end itself.
    virtual void OnChildOutput(const char* text, std::size_t length);
    // The redirector's own failures ("Redirect console error: 2\r\n", ...).
    virtual void OnRedirectorError(const char* message);
    // Called on the reader thread when a poll interval passed without output.
    virtual void OnReaderIdle();
    // Called on the reader thread just before it ends (after its last chunk).
    virtual void OnReaderFinished(int result);
    // The one place bytes go to the child; tests override it to record.
    virtual bool WriteToChild(const char* data, std::size_t length);

private:
    void ReaderThreadProc();
    int ReadAvailable(int outFd, int stopFd);  // 1: pipe empty, 0: broken or ended, -1: failure
    int ReadInto(int outFd);                   // appends what the pipe holds to m_batch
    static bool MoreFollows(int outFd, int stopFd);
    int DrainOutput(int outFd);
    int FailurePath(int error);
    void CloseHandles();
    void ReapChild(bool wait);

    std::thread m_reader;
    static constexpr int kStopped = 2;
    std::atomic<bool> m_readerRunning{false};
    std::atomic<bool> m_closedByReader{false};
    std::mutex m_joinLock;       // one joiner at a time
    std::mutex m_doneLock;
    std::condition_variable m_doneCond;
    bool m_readerDone = true;

    std::mutex m_writeLock;      // serialises writers; also guards m_inFd
    std::mutex m_handleLock;     // guards the other descriptors
    int m_inFd = -1;
    int m_outFd = -1;
    int m_stopFd = -1;           // eventfd: the stop event
    int m_pidFd = -1;            // pidfd of the child, -1 where unsupported
    std::atomic<pid_t> m_childPid{-1};
    std::mutex m_childLock;      // guards reaping
    bool m_childReaped = true;
    int m_childStatus = -1;
    std::vector<pid_t> m_orphans;  // earlier children not reaped yet
    std::string m_workingDirectory;
    std::size_t m_pipeSize = 0;  // capacity of the output pipe (guarded by m_handleLock)
    // The reader thread's own: one read's buffer and the piece being collected.
    std::vector<char> m_readBuffer;
    std::string m_batch;

    std::atomic<bool> m_connected{false};
};
