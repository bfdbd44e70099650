#include "editor/app/cwinappex.h"

#include "editor/core/filenamebytes.h"
#include "platform/cmessagechannel.h"

#include <QElapsedTimer>
#include <QThread>

const char* const CWinAppEx::kChannelName = "marlinote";

namespace {
// How long a second process waits for the running one to take its files;
// generous, because the first one may still be starting up.
constexpr int kHandOverTimeoutMs = 20000;
constexpr qint64 kGiveUpAfterMs = 60000;
constexpr int kRetryDelayMs = 50;
}  // namespace

CWinAppEx::CWinAppEx(QObject* parent) : QObject(parent) {}

CWinAppEx::~CWinAppEx() = default;

QByteArray CWinAppEx::HandOverText(const QString& instanceName, const QStringList& files)
{
    QByteArray text = instanceName.toUtf8();
    for (const QString& file : files)
        text += '\n' + FileNameBytes::Encode(file);
    return text;
}

bool CWinAppEx::IsListening() const
{
    return m_server && m_server->IsListening();
}

bool CWinAppEx::InitInstance(const QString& instanceName, const QStringList& files)
{
    m_instanceName = instanceName;
    m_server = std::make_unique<CMessageServer>(QString::fromLatin1(kChannelName));
    connect(m_server.get(), &CMessageServer::textReceived, this, &CWinAppEx::OnChannelText);
    if (instanceName.isEmpty()) {
        m_server->Listen();
        return true;
    }

    const QByteArray handOver = HandOverText(instanceName, files);
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        if (m_server->Listen())
            return true;
        // Someone holds the channel. It may be ending (then its socket goes
        // away and the next Listen wins) or busy starting up; only a
        // delivered hand-over ends this process. A hand-over that timed out
        // is sent again: opening a file twice only activates it.
        const int left = int(kGiveUpAfterMs - elapsed.elapsed());
        const auto result = MessageChannel::Send(QString::fromLatin1(kChannelName), handOver,
                                                 qBound(1000, left, kHandOverTimeoutMs));
        if (result == MessageChannel::SendResult::Delivered)
            return false;
        if (elapsed.elapsed() >= kGiveUpAfterMs)
            break;
        QThread::msleep(kRetryDelayMs);
    }
    // No instance took the files and none let us listen: run on our own
    // rather than lose them.
    return true;
}

void CWinAppEx::StopListening()
{
    // May run inside a handler of the server's own signal: delete it later.
    if (m_server)
        m_server.release()->deleteLater();
}

void CWinAppEx::OnChannelText(const QByteArray& text)
{
    const QByteArray name = m_instanceName.toUtf8();
    if (!name.isEmpty() && text.startsWith(name)
        && (text.size() == name.size() || text.at(name.size()) == '\n')) {
        QStringList files;
        const QList<QByteArray> lines = text.mid(name.size()).split('\n');
        for (const QByteArray& line : lines) {
            if (!line.isEmpty())
                files.append(FileNameBytes::Decode(line));
        }
        OnAnotherInstanceMessage(files);
        return;
    }
    OnMainProgramMessage(text);
}

void CWinAppEx::OnMainProgramMessage(const QByteArray&) {}
