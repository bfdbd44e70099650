#include "main/files/cdirectorywatcher.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

CDirectoryWatcher::CDirectoryWatcher(QObject* parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(100);
    connect(&m_settle, &QTimer::timeout, this, &CDirectoryWatcher::changed);
}

CDirectoryWatcher::~CDirectoryWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CDirectoryWatcher::Watch(const QString& folder)
{
    m_error.clear();
    if (m_fd < 0) {
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd < 0) {
            m_error = QStringLiteral("inotify_init1 Error N%1\n%2").arg(errno).arg(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &CDirectoryWatcher::ReadEvents);
    }
    if (m_watch >= 0)
        inotify_rm_watch(m_fd, m_watch);
    m_watch = -1;
    m_folder = folder;
    if (folder.isEmpty())
        return true;
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE |
                          IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
    m_watch = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), mask);
    if (m_watch < 0) {
        m_error = QStringLiteral("inotify_add_watch Error N%1\n%2").arg(errno).arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    return true;
}

void CDirectoryWatcher::ReadEvents()
{
    alignas(inotify_event) char buffer[8192];
    bool relevant = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // Events of a watch given up already are left out.
            if (event->wd == m_watch)
                relevant = true;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    if (relevant && !m_settle.isActive())
        m_settle.start();
}
