#include "main/frame/ceditorembedder.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "platform/editorwindowfile.h"

CEditorEmbedder::CEditorEmbedder(CMainFrame* frame, QObject* parent) : QObject(parent), m_frame(frame)
{
    connect(&m_timer, &QTimer::timeout, this, &CEditorEmbedder::Poll);
}

bool CEditorEmbedder::Possible()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void CEditorEmbedder::Start(int intervalMs)
{
    m_timer.start(intervalMs);
    Poll();
}

void CEditorEmbedder::Stop()
{
    m_timer.stop();
}

void CEditorEmbedder::Poll()
{
    if (!m_frame || !m_frame->HasEditorPane())
        return;
    if (m_pid != 0 && !EditorWindowFile::ProcessAlive(m_pid))
        Release();
    EditorWindowFile::Info info;
    if (!EditorWindowFile::ReadLive(&info) || info.windowId == 0)
        return;
    if (info.pid == m_pid && info.windowId == m_window)
        return;
    Embed(info.windowId, info.pid);
}

void CEditorEmbedder::Embed(quint64 windowId, qint64 pid)
{
    QWindow* window = QWindow::fromWinId(static_cast<WId>(windowId));
    if (!window)
        return;
    KeepOnExit(windowId);
    QWidget* container = QWidget::createWindowContainer(window);
    container->setObjectName(QStringLiteral("EmbeddedEditor"));
    container->setMinimumSize(200, 120);
    m_frame->SetPaneWidget(PaneId::Editor, container);
    m_window = windowId;
    m_pid = pid;
    m_frame->ShowPane(PaneId::Editor);
    // An editor needs room: give its pane half the window's height.
    if (QDockWidget* pane = m_frame->Pane(PaneId::Editor); pane && !pane->isFloating())
        m_frame->resizeDocks({pane}, {m_frame->height() / 2}, Qt::Vertical);
    emit embeddedChanged(true);
}

void CEditorEmbedder::KeepOnExit(quint64 windowId)
{
    // X destroys the children of a window whose client goes away. Should this
    // program end without closing the editor first (it crashed or was
    // killed), the save set hands the editor's window back to the desktop,
    // with the user's unsaved documents in it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_change_save_set(x11->connection(), XCB_SET_MODE_INSERT, static_cast<xcb_window_t>(windowId));
    xcb_flush(x11->connection());
}

void CEditorEmbedder::Release()
{
    m_window = 0;
    m_pid = 0;
    auto* empty = new QWidget;
    empty->setObjectName(QStringLiteral("EmptyPane"));
    m_frame->SetPaneWidget(PaneId::Editor, empty);
    emit embeddedChanged(false);
}
