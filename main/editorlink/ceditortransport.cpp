#include "main/editorlink/ceditortransport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <mutex>

#include "platform/cmessagechannel.h"
#include "platform/editorprotocol.h"

namespace {
const QString kEditorChannel = QStringLiteral("marlinote");
constexpr int kSendTimeoutMs = 3000;
constexpr qint64 kRestartGapMs = 10000;

// The end of a debug session and the answers to the editor's own questions
// concern the editor that was running: a new one has no use for them, and
// starting it would bring back an editor the user has just closed.
bool OnlyForARunningEditor(const QByteArray& text)
{
    using EditorProtocol::Kind;
    switch (EditorProtocol::Decode(text).kind) {
    case Kind::DebugEnded:
    case Kind::Value:
    case Kind::Completion:
    case Kind::Parameters:
    case Kind::Breakpoint:
    case Kind::Error:
        return true;
    default:
        return false;
    }
}
}  // namespace

CEditorTransport::CEditorTransport(const QString& programFolder, QObject* parent)
    : QObject(parent), m_programFolder(programFolder)
{
    // One thread: the texts keep their order.
    m_worker.setMaxThreadCount(1);
    m_worker.setExpiryTimeout(-1);
}

CEditorTransport::~CEditorTransport()
{
    m_closing.store(true);
    m_worker.clear();
    m_worker.waitForDone();
}

void CEditorTransport::Send(const QByteArray& text, bool startIfAbsent)
{
    // The destructor waits for the worker, so this outlives every task; a
    // queued call to a deleted object is dropped.
    m_worker.start([this, text, startIfAbsent] {
        const bool delivered = SendNow(m_programFolder, text, startIfAbsent, &m_closing);
        QMetaObject::invokeMethod(this, [this, text, delivered] { emit sent(text, delivered); },
                                  Qt::QueuedConnection);
    });
}

bool CEditorTransport::SendNow(const QString& programFolder, const QByteArray& text, bool startIfAbsent,
                               const std::atomic<bool>* cancel)
{
    if (MessageChannel::Send(kEditorChannel, text, kSendTimeoutMs) == MessageChannel::SendResult::Delivered)
        return true;
    if (!startIfAbsent || OnlyForARunningEditor(text))
        return false;
    static std::mutex lock;
    static qint64 lastStart = 0;
    static bool lastStarted = false;
    bool starting = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - lastStart > kRestartGapMs) {
            lastStart = now;
            lastStarted = StartEditor(programFolder);
        }
        starting = lastStarted && now - lastStart <= kRestartGapMs;
    }
    // The editor takes a moment to listen; the text is for it.
    const qint64 giveUp = QDateTime::currentMSecsSinceEpoch() + kRestartGapMs;
    while (starting && !(cancel && cancel->load()) && QDateTime::currentMSecsSinceEpoch() < giveUp) {
        QThread::msleep(100);
        if (MessageChannel::IsRunning(kEditorChannel))
            return MessageChannel::Send(kEditorChannel, text, kSendTimeoutMs) == MessageChannel::SendResult::Delivered;
    }
    return false;
}

bool CEditorTransport::StartEditor(const QString& programFolder, const QStringList& files)
{
    const QString program = programFolder + QStringLiteral("/marlinote");
    if (!QFileInfo(program).isExecutable())
        return false;
    // Only full paths: a name such as "-style" would be read as an option.
    QStringList paths;
    for (const QString& file : files)
        paths.append(QFileInfo(file).absoluteFilePath());
    return QProcess::startDetached(program, paths);
}
