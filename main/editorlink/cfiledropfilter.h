#pragma once

#include <QObject>
#include <QStringList>

// Lets a widget take files dropped on it (local files, no folders) and
// reports their paths. The editor's embedded window needs it: a drag from this
// program's own panes never reaches the editor's window on X11, since the
// drop lands on the container widget that wraps it.
class CFileDropFilter : public QObject {
    Q_OBJECT
public:
    // Watches target, which from now on accepts drops.
    explicit CFileDropFilter(QWidget* target);

signals:
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
