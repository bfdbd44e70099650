#include "main/editorlink/ceditorcloser.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <thread>

#include "platform/cmessagechannel.h"
#include "platform/editorwindowfile.h"

namespace {
const QString kEditorChannel = QStringLiteral("marlinote");
constexpr int kStepMs = 100;
}  // namespace

void CEditorCloser::WaitStep()
{
    QEventLoop loop;
    QTimer::singleShot(kStepMs, &loop, &QEventLoop::quit);
    loop.exec();
}

CEditorCloser::Outcome CEditorCloser::Close(bool wait, int sendTimeoutMs, int waitLimitMs,
                                             const std::atomic<bool>* stop)
{
    // Read before asking: a refusal shows as a higher count than this.
    EditorWindowFile::Info before;
    const bool announced = EditorWindowFile::ReadLive(&before);

    auto result = std::make_shared<std::atomic<int>>(-1);
    std::thread sender([result, sendTimeoutMs] {
        const auto sent = MessageChannel::Send(kEditorChannel, QByteArrayLiteral("close"), sendTimeoutMs);
        result->store(static_cast<int>(sent));
    });
    while (result->load() < 0)
        WaitStep();
    sender.join();

    const auto sent = static_cast<MessageChannel::SendResult>(result->load());
    if (sent == MessageChannel::SendResult::NoReceiver)
        return Outcome::NoEditor;
    if (sent != MessageChannel::SendResult::Delivered)
        return Outcome::NotAnswered;
    if (!wait)
        return Outcome::Asked;
    // An editor that announced nothing cannot be watched; it was asked.
    if (!announced)
        return Outcome::Asked;
    QElapsedTimer waited;
    waited.start();
    while (EditorWindowFile::ProcessAlive(before.pid)) {
        EditorWindowFile::Info now;
        if (EditorWindowFile::Read(&now) && now.pid == before.pid && now.closeRefused > before.closeRefused)
            return Outcome::Refused;
        if (waited.elapsed() >= waitLimitMs || (stop && stop->load()))
            return Outcome::StillRunning;
        WaitStep();
    }
    return Outcome::Closed;
}
