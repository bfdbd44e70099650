#include "editor/app/ctermsignalhandler.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The write end is used from the signal handler, where only
// async-signal-safe calls are allowed.
int g_fds[2] = {-1, -1};

extern "C" void OnTermSignal(int)
{
    const char byte = 1;
    if (g_fds[0] >= 0) {
        const ssize_t written = ::write(g_fds[0], &byte, 1);
        (void)written;
    }
}
}  // namespace

CTermSignalHandler::CTermSignalHandler(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
        return;
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTermSignalHandler::OnReadable);

    struct sigaction action {};
    action.sa_handler = OnTermSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

CTermSignalHandler::~CTermSignalHandler()
{
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    delete m_notifier;
    for (int& fd : g_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CTermSignalHandler::OnReadable()
{
    char buffer[16];
    const ssize_t got = ::read(g_fds[1], buffer, sizeof(buffer));
    (void)got;
    emit terminateRequested();
}
