#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

class CMainFrame;
class QWidget;

// Draws the session state into the status bar every 200 ms: connection
// (with the busy animation), run or debug mode and the profile time.
class CStatusDisplay : public QObject {
    Q_OBJECT
public:
    struct Source {
        std::function<bool()> connecting;
        std::function<void()> clearConnecting;
        std::function<bool()> connected;
        std::function<bool()> busy;
        std::function<bool()> debug;
        std::function<bool()> profilerRunning;
        std::function<qint64()> profilerElapsed;  // seconds, while stopped
        std::function<void()> disconnectedCleanup;
    };

    CStatusDisplay(CMainFrame* frame, QWidget* busyWidget, Source source, QObject* parent = nullptr);

    void Start();
    void Stop();
    // One tick (tests call it directly).
    void Update();

    static QString FormatProfileTime(qint64 seconds);

private:
    void NextBusyFrame();

    CMainFrame* m_frame;
    QWidget* m_busyWidget;
    Source m_source;
    QTimer m_timer;
    QTimer m_animation;
    int m_frameIndex = 0;
    bool m_busy = false;
    bool m_debug = false;
    bool m_connected = false;
    bool m_connecting = false;
    bool m_profiler = true;
    bool m_initialised = false;
    qint64 m_profileStart = 0;
};
