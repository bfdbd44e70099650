#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// Watches one folder (names, sizes, times, attributes of its entries) with
// inotify. The notifications are read on the thread this object lives in
// (the GUI thread), so nothing else is touched from another thread; a burst
// of changes gives one changed() signal within about 100 ms.
class CDirectoryWatcher : public QObject {
    Q_OBJECT
public:
    explicit CDirectoryWatcher(QObject* parent = nullptr);
    ~CDirectoryWatcher() override;

    // Watches folder instead of the previous one; an empty folder stops.
    // False when the folder cannot be watched (error() tells why).
    bool Watch(const QString& folder);
    const QString& Folder() const { return m_folder; }
    const QString& Error() const { return m_error; }

signals:
    void changed();

private:
    void ReadEvents();

    int m_fd = -1;
    int m_watch = -1;
    QString m_folder;
    QString m_error;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_settle;
};
