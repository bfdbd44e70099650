#include "platform/cmessagechannel.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

// One frame: a kind byte, the payload length as 8 bytes big-endian, the
// payload. The receiver answers each frame with one byte once it is handled.
namespace {

constexpr char kKindText = 'T';
constexpr char kKindPing = 'P';
constexpr char kAck = 1;
constexpr int kHeaderSize = 9;
// Larger frames are taken for garbage rather than buffered.
constexpr quint64 kMaxPayload = quint64(1) << 30;

using Clock = std::chrono::steady_clock;

QByteArray FrameHeader(char kind, quint64 length)
{
    QByteArray header(kHeaderSize, '\0');
    header[0] = kind;
    for (int i = 0; i < 8; ++i)
        header[1 + i] = static_cast<char>((length >> (8 * (7 - i))) & 0xff);
    return header;
}

quint64 FrameLength(const QByteArray& buffer)
{
    quint64 length = 0;
    for (int i = 0; i < 8; ++i)
        length = (length << 8) | static_cast<unsigned char>(buffer[1 + i]);
    return length;
}

// The folder exists, is a real folder (not a link), belongs to us and nobody
// else may enter it.
bool CheckFolder(const QByteArray& native, QString* error)
{
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        if (error)
            *error = QStringLiteral("Cannot read the socket folder: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        if (error)
            *error = QStringLiteral("The socket folder %1 is not a folder of this user.").arg(QFile::decodeName(native));
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) {
        if (error)
            *error = QStringLiteral("Cannot make the socket folder private.");
        return false;
    }
    return true;
}

QString EnsureSocketFolder(QString* error)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QStringList candidates;
    if (!runtime.isEmpty())
        candidates << runtime + QStringLiteral("/kestrune");
    candidates << QDir::tempPath() + QStringLiteral("/kestrune-") + QString::number(::getuid());
    for (const QString& folder : candidates) {
        const QByteArray native = QFile::encodeName(folder);
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = QStringLiteral("Cannot create the socket folder %1: %2")
                             .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
            continue;
        }
        // A folder someone else made is refused, never used as a fallback.
        return CheckFolder(native, error) ? folder : QString();
    }
    return QString();
}

int Remaining(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { if (m_fd >= 0) ::close(m_fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
private:
    int m_fd;
};

// Plain sockets rather than QLocalSocket: a sender may run on any thread,
// including threads without a Qt event dispatcher, and every wait is bounded.
MessageChannel::SendResult SendFrame(const QString& programName, char kind, const QByteArray& text,
                                     int timeoutMs)
{
    using MessageChannel::SendResult;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    const QString path = MessageChannel::SocketPath(programName);
    if (path.isEmpty())
        return SendResult::Failed;
    const QByteArray native = QFile::encodeName(path);
    struct sockaddr_un address {};
    if (native.size() >= static_cast<int>(sizeof(address.sun_path)))
        return SendResult::Failed;
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return SendResult::NoReceiver;
    if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid())
        return SendResult::Failed;

    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0)
        return SendResult::Failed;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
    for (;;) {
        if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno == ENOENT || errno == ECONNREFUSED)
            return SendResult::NoReceiver;
        if (errno != EAGAIN)
            return SendResult::Failed;
        // The receiver's backlog is full: it is alive but not accepting.
        if (Remaining(deadline) == 0)
            return SendResult::TimedOut;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    const QByteArray header = FrameHeader(kind, static_cast<quint64>(text.size()));
    const char* parts[2] = {header.constData(), text.constData()};
    const size_t sizes[2] = {static_cast<size_t>(header.size()), static_cast<size_t>(text.size())};
    for (int part = 0; part < 2; ++part) {
        size_t done = 0;
        while (done < sizes[part]) {
            const ssize_t n = ::send(fd.get(), parts[part] + done, sizes[part] - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return SendResult::Failed;
            struct pollfd waitFor {fd.get(), POLLOUT, 0};
            const int ready = ::poll(&waitFor, 1, Remaining(deadline));
            if (ready == 0)
                return SendResult::TimedOut;
            if (ready < 0 && errno != EINTR)
                return SendResult::Failed;
        }
    }

    for (;;) {
        char ack = 0;
        const ssize_t n = ::recv(fd.get(), &ack, 1, 0);
        if (n == 1)
            return ack == kAck ? SendResult::Delivered : SendResult::Failed;
        if (n == 0)
            return SendResult::Failed;  // closed without handling the text
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return SendResult::Failed;
        struct pollfd waitFor {fd.get(), POLLIN, 0};
        const int ready = ::poll(&waitFor, 1, Remaining(deadline));
        if (ready == 0)
            return SendResult::TimedOut;
        if (ready < 0 && errno != EINTR)
            return SendResult::Failed;
    }
}

struct Connection {
    QByteArray buffer;
    bool handling = false;
};

}  // namespace

namespace MessageChannel {

QString SocketFolder()
{
    return EnsureSocketFolder(nullptr);
}

QString SocketPath(const QString& programName)
{
    const QString folder = SocketFolder();
    if (folder.isEmpty() || programName.isEmpty() || programName.contains(QLatin1Char('/')))
        return QString();
    return folder + QLatin1Char('/') + programName;
}

SendResult Send(const QString& programName, const QByteArray& text, int timeoutMs)
{
    return SendFrame(programName, kKindText, text, timeoutMs);
}

bool IsRunning(const QString& programName, int timeoutMs)
{
    return SendFrame(programName, kKindPing, QByteArray(), timeoutMs) == SendResult::Delivered;
}

}  // namespace MessageChannel

CMessageServer::CMessageServer(const QString& programName, QObject* parent)
    : QObject(parent), m_program(programName)
{
}

CMessageServer::~CMessageServer()
{
    if (m_server)
        m_server->close();  // removes the socket file
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool CMessageServer::IsListening() const
{
    return m_server && m_server->isListening();
}

bool CMessageServer::Listen(QString* error)
{
    if (IsListening())
        return true;
    QString reason;
    const QString folder = EnsureSocketFolder(&reason);
    if (folder.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    const QString path = MessageChannel::SocketPath(m_program);
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("Invalid receiver name \"%1\".").arg(m_program);
        return false;
    }

    // The lock lives as long as the process holds it, so a socket file left
    // by a process that died is told apart from a live receiver, even one
    // that is too busy to answer a connection.
    if (m_lockFd < 0) {
        const QByteArray lockPath = QFile::encodeName(path + QStringLiteral(".lock"));
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (error)
                *error = QStringLiteral("Cannot open %1: %2")
                             .arg(QFile::decodeName(lockPath), QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            if (error)
                *error = QStringLiteral("Another \"%1\" is already receiving messages.").arg(m_program);
            return false;
        }
        m_lockFd = fd;
    }

    QLocalServer::removeServer(path);
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CMessageServer::OnNewConnection);
    }
    if (!m_server->listen(path)) {
        if (error)
            *error = m_server->errorString();
        ::close(m_lockFd);
        m_lockFd = -1;
        return false;
    }
    return true;
}

namespace {

void HandleData(CMessageServer* server, QLocalSocket* socket, const std::shared_ptr<Connection>& held)
{
    // Held here: a slot may end the connection, and with it the lambda that
    // owns the other reference.
    const std::shared_ptr<Connection> keep = held;
    Connection& state = *keep;
    state.buffer.append(socket->readAll());
    // A slot that opens a dialog runs a nested event loop; data arriving
    // meanwhile waits in the buffer for the outer call.
    if (state.handling)
        return;
    state.handling = true;
    QPointer<QLocalSocket> alive(socket);
    while (state.buffer.size() >= kHeaderSize) {
        const quint64 length = FrameLength(state.buffer);
        const char kind = state.buffer[0];
        if (length > kMaxPayload || (kind != kKindText && kind != kKindPing)) {
            socket->abort();
            break;
        }
        if (static_cast<quint64>(state.buffer.size()) < kHeaderSize + length)
            break;
        const QByteArray text = state.buffer.mid(kHeaderSize, static_cast<qsizetype>(length));
        state.buffer.remove(0, kHeaderSize + static_cast<qsizetype>(length));
        if (kind == kKindText)
            emit server->textReceived(text);
        if (!alive)
            return;
        socket->write(&kAck, 1);
        socket->flush();
        if (socket->bytesAvailable() > 0)
            state.buffer.append(socket->readAll());
    }
    state.handling = false;
}

}  // namespace

void CMessageServer::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The folder and socket modes keep other users out already; the
        // peer's credentials make sure of it.
        struct ucred peer {};
        socklen_t length = sizeof(peer);
        if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0
            || peer.uid != ::getuid()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto state = std::make_shared<Connection>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, state] { HandleData(this, socket, state); });
        if (socket->bytesAvailable() > 0)
            HandleData(this, socket, state);
    }
}
