#include "main/frame/cstatusdisplay.h"

#include <QStatusBar>
#include <QWidget>

#include "main/frame/cmainframe.h"
#include "main/frame/cstatuspane.h"
#include "main/frame/cstatusicons.h"

CStatusDisplay::CStatusDisplay(CMainFrame* frame, QWidget* busyWidget, Source source, QObject* parent)
    : QObject(parent), m_frame(frame), m_busyWidget(busyWidget), m_source(std::move(source))
{
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &CStatusDisplay::Update);
    m_animation.setInterval(100);
    connect(&m_animation, &QTimer::timeout, this, &CStatusDisplay::NextBusyFrame);
}

void CStatusDisplay::Start()
{
    // The caches start opposite to the state, so the first tick draws all.
    m_busy = !m_source.busy();
    m_debug = !m_source.debug();
    m_connected = !m_source.connected();
    m_connecting = false;
    m_profiler = true;
    m_initialised = true;
    for (int pane = 1; pane <= 3; ++pane)
        m_frame->StatusPane(pane)->SetText(QString());
    m_timer.start();
    Update();
}

void CStatusDisplay::Stop()
{
    m_timer.stop();
    m_animation.stop();
}

QString CStatusDisplay::FormatProfileTime(qint64 seconds)
{
    const qint64 inDay = ((seconds % 86400) + 86400) % 86400;
    return QStringLiteral("Profile time: %1:%2:%3")
        .arg(inDay / 3600, 2, 10, QLatin1Char('0'))
        .arg((inDay / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 60, 2, 10, QLatin1Char('0'));
}

void CStatusDisplay::NextBusyFrame()
{
    const QList<QIcon>& frames = StatusIcons::BusyFrames();
    m_frameIndex = (m_frameIndex + 1) % frames.size();
    m_frame->StatusPane(1)->SetIcon(frames.at(m_frameIndex));
}

void CStatusDisplay::Update()
{
    if (!m_initialised || !m_frame->statusBar()->isVisible())
        return;
    CStatusPane* connection = m_frame->StatusPane(1);
    const bool connected = m_source.connected();
    const bool busy = m_source.busy();
    if (m_source.connecting()) {
        if (connected) {
            m_source.clearConnecting();
        } else if (!m_connecting) {
            m_connecting = true;
            m_animation.stop();
            connection->SetIcon(StatusIcons::Connecting());
            connection->SetText(QStringLiteral("Connecting..."));
        }
    } else {
        if (m_connecting) {
            // The connecting state is over (connected or not): redraw.
            m_connecting = false;
            m_connected = !connected;
        }
        if (busy != m_busy || connected != m_connected) {
            m_busy = busy;
            m_connected = connected;
            if (busy && connected) {
                connection->SetText(QStringLiteral("Busy"));
                NextBusyFrame();
                m_animation.start();
                m_frame->SetStatusMessage(
                    QStringLiteral("Please wait until the command finishes. To abort it press \"Control-C\""));
                if (m_busyWidget)
                    m_busyWidget->setCursor(Qt::WaitCursor);
            } else {
                m_animation.stop();
                connection->SetIcon(connected ? StatusIcons::Ready() : StatusIcons::Disconnected());
                connection->SetText(connected ? QStringLiteral("Ready") : QStringLiteral("Disconnected"));
                m_frame->SetStatusMessage(QStringLiteral("Done"));
                if (m_busyWidget)
                    m_busyWidget->unsetCursor();
                if (!connected && m_source.disconnectedCleanup)
                    m_source.disconnectedCleanup();
            }
        }
    }
    const bool debug = m_source.debug();
    if (debug != m_debug) {
        m_debug = debug;
        CStatusPane* mode = m_frame->StatusPane(2);
        mode->SetIcon(debug ? StatusIcons::Debug() : StatusIcons::Run());
        mode->SetText(debug ? QStringLiteral(" Debug mode") : QStringLiteral(" Run mode"));
    }
    const bool profiler = m_source.profilerRunning();
    if (profiler || profiler != m_profiler) {
        if (profiler && !m_profiler)
            m_profileStart = QDateTime::currentSecsSinceEpoch();
        m_profiler = profiler;
        const qint64 elapsed = profiler ? QDateTime::currentSecsSinceEpoch() - m_profileStart
                                        : m_source.profilerElapsed();
        CStatusPane* time = m_frame->StatusPane(3);
        time->SetIcon(profiler ? StatusIcons::Ready() : StatusIcons::Disconnected());
        time->SetText(FormatProfileTime(elapsed));
    }
}
