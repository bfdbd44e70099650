#include "main/editorlink/cfiledropfilter.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {
QStringList LocalFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        // Folders stay out: the editor opens documents.
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}
}  // namespace

CFileDropFilter::CFileDropFilter(QWidget* target) : QObject(target)
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool CFileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (LocalFiles(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = LocalFiles(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        // A copy: the source keeps its files.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit filesDropped(paths);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
