#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class CMainFrame;
class QWidget;

// Puts the editor program's window into the "Editor / Debuger" pane. The
// editor announces its top-level window; on X11 that window is wrapped in a
// container widget and becomes the pane's content. When the editor's
// process ends the pane is emptied, and a new editor is taken in again.
// Elsewhere (no foreign windows: offscreen, Wayland) the editor stays a
// window of its own.
class CEditorEmbedder : public QObject {
    Q_OBJECT
public:
    explicit CEditorEmbedder(CMainFrame* frame, QObject* parent = nullptr);

    // True where another program's window can be embedded.
    static bool Possible();

    // Looks for the editor now and then every intervalMs.
    void Start(int intervalMs = 500);
    void Stop();
    // One look: takes in a newly announced editor, lets go of an ended one.
    void Poll();

    bool IsEmbedded() const { return m_pid != 0; }
    qint64 EmbeddedPid() const { return m_pid; }

signals:
    void embeddedChanged(bool embedded);

private:
    void Embed(quint64 windowId, qint64 pid);
    void Release();
    static void KeepOnExit(quint64 windowId);

    QPointer<CMainFrame> m_frame;
    QTimer m_timer;
    quint64 m_window = 0;
    qint64 m_pid = 0;
};
