#include "main/session/credirector.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

extern char** environ;

namespace {

// The reader thread's own object, so Close knows not to wait for itself.
thread_local const CRedirector* t_readerOf = nullptr;

int PidFdOpen(pid_t pid)
{
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#else
    (void)pid;
#endif
    return -1;
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A write to a child that has gone must fail with EPIPE, not end us.
void IgnoreSigPipeOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { ::signal(SIGPIPE, SIG_IGN); });
}

std::string ErrorText(int error)
{
    char text[64];
    std::snprintf(text, sizeof text, "Redirect console error: %x\r\n", static_cast<unsigned>(error));
    return text;
}

}  // namespace

CRedirector::CRedirector()
{
    IgnoreSigPipeOnce();
}

CRedirector::~CRedirector()
{
    // Derived objects have closed already (their hooks are gone by now); this
    // is for direct users of the base class.
    Close();
    std::lock_guard<std::mutex> lock(m_childLock);
    for (pid_t pid : m_orphans)
        ::waitpid(pid, nullptr, WNOHANG);
}

void CRedirector::OnChildOutput(const char*, std::size_t) {}
void CRedirector::OnRedirectorError(const char*) {}
void CRedirector::OnReaderFinished(int) {}
void CRedirector::OnReaderIdle() {}

void CRedirector::SetWorkingDirectory(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(m_handleLock);
    m_workingDirectory = folder;
}

bool CRedirector::Open(const std::string& commandLine)
{
    const QStringList words = QProcess::splitCommand(QString::fromUtf8(commandLine.c_str()));
    std::vector<std::string> arguments;
    for (const QString& w : words)
        arguments.push_back(w.toStdString());
    return Open(arguments);
}

bool CRedirector::Open(const std::vector<std::string>& arguments)
{
    Close();

    int outPipe[2] = {-1, -1};
    int inPipe[2] = {-1, -1};
    int error = 0;
    pid_t pid = -1;

    if (arguments.empty() || arguments.front().empty()) {
        error = ENOENT;
    } else if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(inPipe, O_CLOEXEC) != 0) {
        error = errno;
    } else {
        std::vector<char*> argv;
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawnattr_t attr;
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
        // dup2 clears close-on-exec on the child's copies only: the parent's
        // ends never reach this child or any other.
        posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 2);
        // Nothing else of ours reaches the child, whoever opened it.
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        std::string folder;
        {
            std::lock_guard<std::mutex> lock(m_handleLock);
            folder = m_workingDirectory;
        }
        if (!folder.empty())
            posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setpgroup(&attr, 0);  // a process group of its own
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK
                                            | POSIX_SPAWN_SETSIGDEF);
        error = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }

    // The child's ends are the child's business now.
    CloseFd(outPipe[1]);
    CloseFd(inPipe[0]);

    int stopFd = -1;
    if (!error) {
        stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (stopFd < 0)
            error = errno;
    }
    if (error) {
        CloseFd(outPipe[0]);
        CloseFd(inPipe[1]);
        if (pid > 0) {
            ::killpg(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        const std::string text = ErrorText(error);
        OnRedirectorError(text.c_str());
        Close();
        errno = error;
        return false;
    }

    {
        std::lock_guard<std::mutex> lock(m_childLock);
        if (!m_childReaped && m_childPid.load() > 0)
            m_orphans.push_back(m_childPid.load());
        for (auto it = m_orphans.begin(); it != m_orphans.end();)
            it = ::waitpid(*it, nullptr, WNOHANG) != 0 ? m_orphans.erase(it) : it + 1;
        m_childReaped = false;
        m_childStatus = -1;
        m_childPid.store(pid);
    }
    {
        std::lock_guard<std::mutex> lock(m_writeLock);
        m_inFd = inPipe[1];
    }
    {
        std::lock_guard<std::mutex> lock(m_handleLock);
        m_outFd = outPipe[0];
        m_stopFd = stopFd;
        m_pidFd = PidFdOpen(pid);
        const int capacity = ::fcntl(m_outFd, F_GETPIPE_SZ);
        m_pipeSize = capacity > 0 ? static_cast<std::size_t>(capacity) : 65536;
    }
    {
        std::lock_guard<std::mutex> lock(m_doneLock);
        m_readerDone = false;
    }
    m_closedByReader.store(false);
    m_readerRunning.store(true);
    std::lock_guard<std::mutex> join(m_joinLock);
    m_reader = std::thread([this] { ReaderThreadProc(); });
    return true;
}

void CRedirector::ReaderThreadProc()
{
    t_readerOf = this;
    int outFd, stopFd, pidFd;
    {
        std::lock_guard<std::mutex> lock(m_handleLock);
        outFd = m_outFd;
        stopFd = m_stopFd;
        pidFd = m_pidFd;
        m_readBuffer.resize(m_pipeSize);
    }
    m_batch.clear();

    int result = 0;
    for (;;) {
        const int r = ReadAvailable(outFd, stopFd);
        if (r != 1) {
            result = r == kStopped ? 1 : r;
            break;
        }
        pollfd fds[3] = {{outFd, POLLIN, 0}, {stopFd, POLLIN, 0}, {pidFd, POLLIN, 0}};
        const int n = ::poll(fds, pidFd >= 0 ? 3 : 2, kPollIntervalMs);
        if (n < 0 && errno != EINTR) {
            result = FailurePath(errno);
            break;
        }
        bool childExited = pidFd >= 0 && (fds[2].revents & POLLIN);
        if (pidFd < 0 && n == 0)
            childExited = !ChildRunning();
        if (childExited) {
            const int d = DrainOutput(outFd);
            result = d <= 0 ? d : 0;
            // The child has gone: so has the connection, even where its
            // pipe is still held open by a grandchild (a plot program).
            m_connected.store(false);
            break;
        }
        if (fds[1].revents & POLLIN) {
            result = 1;
            break;
        }
        if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
            // Every writer has gone: the pipe has ended.
            result = FailurePath(EPIPE);
            break;
        }
        if (n == 0)
            OnReaderIdle();
    }
    ReapChild(false);
    OnReaderFinished(result);
    m_readerRunning.store(false);
    Close();  // on the reader thread: closes without waiting for itself
    {
        std::lock_guard<std::mutex> lock(m_doneLock);
        m_readerDone = true;
    }
    m_doneCond.notify_all();
    t_readerOf = nullptr;
}

int CRedirector::ReadAvailable(int outFd, int stopFd)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBatchMs);
    int error = 0;
    for (;;) {
        error = ReadInto(outFd);
        // A line end: the writer is likely in the middle of a burst.
        const bool lineEnd = !m_batch.empty() && m_batch.back() == '\n';
        if (error || !lineEnd || stopFd < 0 || m_batch.size() >= kBatchBytes ||
            std::chrono::steady_clock::now() >= deadline || !MoreFollows(outFd, stopFd))
            break;
    }
    if (!m_batch.empty()) {
        // std::string keeps a NUL behind its last byte.
        OnChildOutput(m_batch.data(), m_batch.size());
        m_batch.clear();
        if (m_closedByReader.load())
            return kStopped;  // the hook closed us: the descriptors are gone
    }
    return error ? FailurePath(error) : 1;
}

int CRedirector::ReadInto(int outFd)
{
    for (;;) {
        int available = 0;
        if (::ioctl(outFd, FIONREAD, &available) != 0)
            return errno;
        if (available <= 0)
            return 0;
        const std::size_t want = std::min(static_cast<std::size_t>(available), m_readBuffer.size());
        ssize_t got;
        do {
            got = ::read(outFd, m_readBuffer.data(), want);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return errno;
        if (got == 0)
            return EPIPE;
        m_batch.append(m_readBuffer.data(), static_cast<std::size_t>(got));
        if (m_batch.size() >= kBatchBytes)
            return 0;
    }
}

bool CRedirector::MoreFollows(int outFd, int stopFd)
{
    // Waits on the stop event only: a stop hands on what was read at once.
    pollfd stop{stopFd, POLLIN, 0};
    if (::poll(&stop, 1, kCoalesceMs) != 0)
        return false;
    int available = 0;
    return ::ioctl(outFd, FIONREAD, &available) == 0 && available > 0;
}

int CRedirector::DrainOutput(int outFd)
{
    const int r = ReadAvailable(outFd, -1);
    return r == kStopped ? 1 : r;
}

int CRedirector::FailurePath(int error)
{
    if (error == EPIPE || error == 0) {
        m_connected.store(false);
        return 0;
    }
    OnRedirectorError("Read stdout pipe error\r\n");
    return -1;
}

void CRedirector::Close()
{
    if (t_readerOf == this) {
        m_closedByReader.store(true);
        CloseHandles();
        return;
    }
    std::lock_guard<std::mutex> join(m_joinLock);
    if (m_reader.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_handleLock);
            if (m_stopFd >= 0) {
                const uint64_t one = 1;
                [[maybe_unused]] ssize_t w = ::write(m_stopFd, &one, sizeof one);
            }
        }
        std::unique_lock<std::mutex> done(m_doneLock);
        if (!m_doneCond.wait_for(done, std::chrono::milliseconds(5000), [this] { return m_readerDone; })) {
            done.unlock();
            // Never killed: the reader only ever waits with a time-out, so it
            // ends; say that it is late and keep waiting.
            OnRedirectorError("The redir thread is dead\r\n");
        }
        if (done.owns_lock())
            done.unlock();
        m_reader.join();
    }
    CloseHandles();
}

void CRedirector::CloseHandles()
{
    {
        std::lock_guard<std::mutex> lock(m_writeLock);
        CloseFd(m_inFd);
    }
    std::lock_guard<std::mutex> lock(m_handleLock);
    CloseFd(m_stopFd);
    CloseFd(m_pidFd);
    CloseFd(m_outFd);
}

bool CRedirector::SendFormatted(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(&text[0], text.size() + 1, format, args);
    }
    va_end(args);
    return SendText(text);
}

bool CRedirector::SendText(const std::string& text)
{
    return WriteToChild(text.data(), text.size());
}

bool CRedirector::WriteToChild(const char* data, std::size_t length)
{
    std::lock_guard<std::mutex> lock(m_writeLock);
    if (m_inFd < 0)
        return false;
    std::size_t written = 0;
    while (written < length) {
        const ssize_t n = ::write(m_inFd, data + written, length - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool CRedirector::Interrupt()
{
    std::lock_guard<std::mutex> lock(m_childLock);
    const pid_t pid = m_childPid.load();
    if (pid <= 0 || m_childReaped)
        return false;
    return ::killpg(pid, SIGINT) == 0;
}

void CRedirector::ReapChild(bool wait)
{
    std::lock_guard<std::mutex> lock(m_childLock);
    const pid_t pid = m_childPid.load();
    if (m_childReaped || pid <= 0)
        return;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, wait ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid || (r < 0 && errno == ECHILD)) {
        m_childReaped = true;
        m_childStatus = r == pid ? status : -1;
    }
}

bool CRedirector::ChildRunning()
{
    ReapChild(false);
    std::lock_guard<std::mutex> lock(m_childLock);
    return !m_childReaped && m_childPid.load() > 0;
}

int CRedirector::EndChild(int graceMs)
{
    {
        std::lock_guard<std::mutex> lock(m_writeLock);
        CloseFd(m_inFd);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    while (ChildRunning() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    {
        std::lock_guard<std::mutex> lock(m_childLock);
        const pid_t pid = m_childPid.load();
        if (!m_childReaped && pid > 0)
            ::killpg(pid, SIGKILL);
    }
    ReapChild(true);
    std::lock_guard<std::mutex> lock(m_childLock);
    return m_childReaped ? m_childStatus : -1;
}

CRedirector::InputState CRedirector::ChildInputState()
{
#ifdef SYS_read
    const pid_t pid = m_childPid.load();
    if (pid <= 0)
        return InputState::Unknown;
    {
        // A child woken by our last write may not have run yet: it still
        // shows the read it was blocked in.
        std::lock_guard<std::mutex> lock(m_writeLock);
        int unread = 0;
        if (m_inFd >= 0 && ::ioctl(m_inFd, FIONREAD, &unread) == 0 && unread > 0)
            return InputState::Busy;
    }
    // /proc/<pid>/task/<tid>/syscall: "<number> <first argument> ..." while
    // the thread is blocked in a call, "running" otherwise.
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* folder = ::opendir(tasks.c_str());
    if (!folder)
        return InputState::Unknown;
    InputState state = InputState::Unknown;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream file(tasks + "/" + entry->d_name + "/syscall");
        std::string number, argument;
        if (!(file >> number))
            continue;
        state = InputState::Busy;
        if (number == std::to_string(SYS_read) && file >> argument && std::strtoul(argument.c_str(), nullptr, 16) == 0) {
            state = InputState::Waiting;
            break;
        }
    }
    ::closedir(folder);
    return state;
#else
    return InputState::Unknown;
#endif
}
