#include "main/editorlink/ceditorembedder.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstring>

#include "platform/editorwindowfile.h"

namespace {
xcb_connection_t* X11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
}  // namespace

CEditorEmbedder::CEditorEmbedder(QObject* parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &CEditorEmbedder::Poll);
}

bool CEditorEmbedder::Possible()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool CEditorEmbedder::BringForward()
{
    EditorWindowFile::Info info;
    xcb_connection_t* connection = X11Connection();
    if (!connection || !EditorWindowFile::ReadLive(&info) || info.windowId == 0)
        return false;
    // The window manager's way to activate another client's window
    // (_NET_ACTIVE_WINDOW, source: a pager, so it is not refused as focus
    // stealing).
    const char name[] = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof(name) - 1, name), nullptr);
    if (!atom)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(info.windowId);
    event.type = atom->atom;
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    free(atom);
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_map_window(connection, static_cast<xcb_window_t>(info.windowId));
    xcb_flush(connection);
    return true;
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
    if (m_pid != 0 && !EditorWindowFile::ProcessAlive(m_pid)) {
        m_window = 0;
        m_pid = 0;
        emit windowGone();
    }
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
    m_window = windowId;
    m_pid = pid;
    emit windowReady(container);
}

void CEditorEmbedder::KeepOnExit(quint64 windowId)
{
    // X destroys the children of a window whose client goes away. Should this
    // program end without closing the editor first (it crashed or was
    // killed), the save set hands the editor's window back to the desktop,
    // with the user's unsaved documents in it.
    xcb_connection_t* connection = X11Connection();
    if (!connection)
        return;
    xcb_change_save_set(connection, XCB_SET_MODE_INSERT, static_cast<xcb_window_t>(windowId));
    xcb_flush(connection);
}
