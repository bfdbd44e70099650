#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

// Texts between the programs: each receiving program listens on a local
// socket of its own, in a per-user folder of mode 0700. A sender connects by
// the receiver's program name ("kestrune", "marlinote"), sends one text and
// waits until the receiver has handled it.
namespace MessageChannel {

enum class SendResult { Delivered, NoReceiver, TimedOut, Failed };

// The per-user folder holding the sockets (created with mode 0700).
QString SocketFolder();
QString SocketPath(const QString& programName);

// Sends text and waits until the receiver's handler returned. Works from any
// thread; never waits longer than timeoutMs. The wait does not serve this
// program's own receiver: when two programs may send to each other at the
// same moment, send from a worker thread (or a queued job), not from the GUI
// thread, or both sides sit out the time-out.
SendResult Send(const QString& programName, const QByteArray& text, int timeoutMs = 5000);

// True when a receiver of that name answers.
bool IsRunning(const QString& programName, int timeoutMs = 1000);

}  // namespace MessageChannel

// The receiving end. Emits textReceived on the thread that owns the server
// (the GUI thread); the sender is released when every slot has returned, so
// connect handlers directly.
class CMessageServer : public QObject {
    Q_OBJECT
public:
    explicit CMessageServer(const QString& programName, QObject* parent = nullptr);
    ~CMessageServer() override;

    // Starts listening. False when another live receiver holds the name
    // (a stale socket of a dead process is removed and taken over).
    bool Listen(QString* error = nullptr);
    bool IsListening() const;
    const QString& ProgramName() const { return m_program; }

signals:
    void textReceived(const QByteArray& text);

private:
    void OnNewConnection();

    QString m_program;
    QLocalServer* m_server = nullptr;
    int m_lockFd = -1;  // held while listening: proves the name is taken
};
