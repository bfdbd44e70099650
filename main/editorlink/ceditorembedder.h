#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// Takes the editor program's window in. The editor announces its top-level
// window; on X11 that window is wrapped in a container widget, handed out
// with windowReady for the editor pane. When the editor's process ends,
// windowGone says so, and a new editor is taken in again. Elsewhere (no
// foreign windows: offscreen, Wayland) the editor stays a window of its own.
class CEditorEmbedder : public QObject {
    Q_OBJECT
public:
    explicit CEditorEmbedder(QObject* parent = nullptr);

    // True where another program's window can be embedded.
    static bool Possible();
    // Brings the separate editor's announced window to the front (asks the
    // window manager); false when there is none.
    static bool BringForward();

    // Looks for the editor now and then every intervalMs.
    void Start(int intervalMs = 500);
    void Stop();
    // One look: takes in a newly announced editor, lets go of an ended one.
    void Poll();

    bool IsEmbedded() const { return m_pid != 0; }
    qint64 EmbeddedPid() const { return m_pid; }

signals:
    // The container of the editor's window; the receiver owns it.
    void windowReady(QWidget* container);
    // The embedded editor has ended; its container is of no more use.
    void windowGone();

private:
    void Embed(quint64 windowId, qint64 pid);
    static void KeepOnExit(quint64 windowId);

    QTimer m_timer;
    quint64 m_window = 0;
    qint64 m_pid = 0;
};
