#include "platform/cmessagechannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using MessageChannel::SendResult;

namespace {

// A receiver in a process of its own, appending what it gets to a file.
class Receiver {
public:
    Receiver(const QString& name, const QStringList& extra = {})
        : m_out(m_dir.path() + QStringLiteral("/received"))
    {
        m_process.start(QStringLiteral(KESTRUNE_TEST_RECEIVER), QStringList{name, m_out} + extra);
        m_process.waitForStarted(5000);
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < 10000)
            m_process.waitForReadyRead(100);
        m_status = m_process.readLine().trimmed();
    }
    ~Receiver()
    {
        if (m_process.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT);
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool Ready() const { return m_status == "ready"; }
    pid_t Pid() const { return static_cast<pid_t>(m_process.processId()); }
    QProcess& Process() { return m_process; }

    // The texts received so far, from the "<length>\n<bytes>\n" records.
    std::vector<QByteArray> Texts() const
    {
        QFile file(m_out);
        std::vector<QByteArray> texts;
        if (!file.open(QIODevice::ReadOnly))
            return texts;
        const QByteArray all = file.readAll();
        qsizetype pos = 0;
        while (pos < all.size()) {
            const qsizetype lf = all.indexOf('\n', pos);
            if (lf < 0)
                break;
            const qsizetype length = all.mid(pos, lf - pos).toLongLong();
            texts.push_back(all.mid(lf + 1, length));
            pos = lf + 1 + length + 1;
        }
        return texts;
    }

private:
    QTemporaryDir m_dir;
    QString m_out;
    QProcess m_process;
    QByteArray m_status;
};

unsigned ModeOf(const QString& path, bool* isSocket = nullptr)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0xffff;
    if (isSocket)
        *isSocket = S_ISSOCK(st.st_mode);
    return st.st_mode & 07777;
}

// Spins the event loop until done() or the time-out.
template <typename Done>
bool ProcessEventsUntil(Done done, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

QByteArray RandomBytes(qsizetype size)
{
    QByteArray bytes(size, '\0');
    auto* words = reinterpret_cast<quint32*>(bytes.data());
    QRandomGenerator::global()->fillRange(words, size / 4);
    return bytes;
}

}  // namespace

TEST(MessageChannelTest, TextsArriveWholeAndInOrder)
{
    Receiver receiver(QStringLiteral("order-test"));
    ASSERT_TRUE(receiver.Ready());
    EXPECT_TRUE(MessageChannel::IsRunning(QStringLiteral("order-test")));

    const QByteArray big = RandomBytes(5 * 1024 * 1024);
    const std::vector<QByteArray> texts = {"debug\nLine=12\nPath=/home/u/f.m", "", big, "last"};
    for (const QByteArray& text : texts)
        EXPECT_EQ(MessageChannel::Send(QStringLiteral("order-test"), text, 20000), SendResult::Delivered);

    // The ping of IsRunning is not a text.
    const std::vector<QByteArray> received = receiver.Texts();
    ASSERT_EQ(received.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_TRUE(received[i] == texts[i]) << "text " << i;
}

TEST(MessageChannelTest, SenderWaitsUntilTheTextIsHandled)
{
    Receiver receiver(QStringLiteral("slow-test"), {QStringLiteral("--slow"), QStringLiteral("300")});
    ASSERT_TRUE(receiver.Ready());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("slow-test"), "x", 5000), SendResult::Delivered);
    EXPECT_GE(timer.elapsed(), 290);
    EXPECT_EQ(receiver.Texts().size(), 1u);
}

TEST(MessageChannelTest, FolderAndSocketAreOwnerOnly)
{
    Receiver receiver(QStringLiteral("mode-test"));
    ASSERT_TRUE(receiver.Ready());
    const QString folder = MessageChannel::SocketFolder();
    EXPECT_EQ(folder, qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/kestrune"));
    EXPECT_EQ(ModeOf(folder), 0700u);
    bool isSocket = false;
    const unsigned mode = ModeOf(MessageChannel::SocketPath(QStringLiteral("mode-test")), &isSocket);
    EXPECT_TRUE(isSocket);
    EXPECT_EQ(mode & 077, 0u);
}

TEST(MessageChannelTest, MissingReceiverIsReportedAtOnce)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("nobody-here"), "x", 5000), SendResult::NoReceiver);
    EXPECT_FALSE(MessageChannel::IsRunning(QStringLiteral("nobody-here"), 5000));
    EXPECT_LT(timer.elapsed(), 100);

    // A socket file whose process died refuses connections.
    const QString stale = MessageChannel::SocketPath(QStringLiteral("stale-test"));
    const QByteArray native = QFile::encodeName(stale);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    timer.restart();
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("stale-test"), "x", 5000), SendResult::NoReceiver);
    EXPECT_LT(timer.elapsed(), 100);

    // ... and a new receiver takes the name over.
    CMessageServer server(QStringLiteral("stale-test"));
    QString error;
    EXPECT_TRUE(server.Listen(&error)) << error.toStdString();
}

TEST(MessageChannelTest, HungReceiverTimesOut)
{
    Receiver receiver(QStringLiteral("hung-test"));
    ASSERT_TRUE(receiver.Ready());
    ASSERT_EQ(::kill(receiver.Pid(), SIGSTOP), 0);

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("hung-test"), "small", 400), SendResult::TimedOut);
    EXPECT_GE(timer.elapsed(), 390);
    EXPECT_LT(timer.elapsed(), 1500);
    timer.restart();
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("hung-test"), RandomBytes(5 * 1024 * 1024), 400),
              SendResult::TimedOut);
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_FALSE(MessageChannel::IsRunning(QStringLiteral("hung-test"), 200));

    // A stopped receiver still holds its name.
    CMessageServer rival(QStringLiteral("hung-test"));
    QString error;
    EXPECT_FALSE(rival.Listen(&error));
    EXPECT_FALSE(error.isEmpty());

    ::kill(receiver.Pid(), SIGCONT);
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("hung-test"), "after", 5000), SendResult::Delivered);
}

TEST(MessageChannelTest, LiveNameIsRefusedAndFreedOnExit)
{
    {
        Receiver receiver(QStringLiteral("taken-test"));
        ASSERT_TRUE(receiver.Ready());
        CMessageServer server(QStringLiteral("taken-test"));
        EXPECT_FALSE(server.Listen());
        Receiver second(QStringLiteral("taken-test"));
        EXPECT_FALSE(second.Ready());
        receiver.Process().kill();  // dies without cleaning up
        receiver.Process().waitForFinished(5000);
    }
    CMessageServer server(QStringLiteral("taken-test"));
    EXPECT_TRUE(server.Listen());
    EXPECT_TRUE(server.IsListening());
}

TEST(MessageChannelTest, ManyClientsAndPartialFrames)
{
    CMessageServer server(QStringLiteral("local-test"));
    ASSERT_TRUE(server.Listen());
    std::vector<QByteArray> received;
    QObject::connect(&server, &CMessageServer::textReceived,
                     [&](const QByteArray& text) { received.push_back(text); });

    // Several senders at once, each from a thread without an event loop.
    constexpr int kSenders = 6;
    constexpr int kEach = 15;
    std::atomic<int> finished{0};
    std::atomic<int> delivered{0};
    std::vector<std::thread> threads;
    for (int s = 0; s < kSenders; ++s) {
        threads.emplace_back([s, &finished, &delivered] {
            for (int i = 0; i < kEach; ++i) {
                const QByteArray text = QByteArray::number(s) + ':' + QByteArray::number(i);
                if (MessageChannel::Send(QStringLiteral("local-test"), text, 10000) == SendResult::Delivered)
                    ++delivered;
            }
            ++finished;
        });
    }
    EXPECT_TRUE(ProcessEventsUntil([&] { return finished == kSenders; }));
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(delivered, kSenders * kEach);
    ASSERT_EQ(received.size(), static_cast<size_t>(kSenders * kEach));
    std::vector<int> next(kSenders, 0);
    for (const QByteArray& text : received) {
        const QList<QByteArray> parts = text.split(':');
        ASSERT_EQ(parts.size(), 2);
        const int s = parts[0].toInt();
        EXPECT_EQ(parts[1].toInt(), next[static_cast<size_t>(s)]++) << "sender " << s << " out of order";
    }

    // A frame written a byte at a time: kind, 8-byte length, payload.
    received.clear();
    const QByteArray native = QFile::encodeName(MessageChannel::SocketPath(QStringLiteral("local-test")));
    auto rawSend = [&native](const QByteArray& frame, char* ack) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            ::close(fd);
            return false;
        }
        for (char byte : frame) {
            if (::send(fd, &byte, 1, MSG_NOSIGNAL) != 1)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        pollfd waitFor {fd, POLLIN, 0};
        const bool answered = ::poll(&waitFor, 1, 5000) == 1 && ::recv(fd, ack, 1, 0) == 1;
        ::close(fd);
        return answered;
    };
    std::atomic<bool> rawDone{false};
    bool answered = false;
    char ack = 0;
    std::thread raw([&] {
        answered = rawSend(QByteArray("T\0\0\0\0\0\0\0\x05hello", 14), &ack);
        rawDone = true;
    });
    EXPECT_TRUE(ProcessEventsUntil([&] { return rawDone.load(); }));
    raw.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(ack, 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], "hello");

    // Garbage is dropped without an answer; the server keeps serving.
    rawDone = false;
    std::thread garbage([&] {
        answered = rawSend(QByteArray("X\xff\xff\xff\xff\xff\xff\xff\xffjunk", 13), &ack);
        rawDone = true;
    });
    EXPECT_TRUE(ProcessEventsUntil([&] { return rawDone.load(); }));
    garbage.join();
    EXPECT_FALSE(answered);
    std::atomic<SendResult> result{SendResult::Failed};
    std::thread after([&] { result = MessageChannel::Send(QStringLiteral("local-test"), "still here", 5000); });
    EXPECT_TRUE(ProcessEventsUntil([&] { return received.size() == 2; }));
    after.join();
    EXPECT_EQ(result.load(), SendResult::Delivered);
}

TEST(MessageChannelTest, ForeignSocketFolderIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a folder to another user";
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString folder = runtime.path() + QStringLiteral("/kestrune");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);

    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    EXPECT_EQ(MessageChannel::SocketFolder(), QString());
    EXPECT_EQ(MessageChannel::Send(QStringLiteral("kestrune"), "x", 1000), SendResult::Failed);
    CMessageServer server(QStringLiteral("kestrune"));
    QString error;
    EXPECT_FALSE(server.Listen(&error));
    EXPECT_FALSE(error.isEmpty());
    qputenv("XDG_RUNTIME_DIR", saved);
}
