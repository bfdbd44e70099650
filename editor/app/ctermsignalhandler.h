#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the GUI thread, so that
// the editor closes as if the user closed it (and writes its lists) when the
// session ends or the process is asked to stop.
class CTermSignalHandler : public QObject {
    Q_OBJECT
public:
    explicit CTermSignalHandler(QObject* parent = nullptr);
    ~CTermSignalHandler() override;

signals:
    void terminateRequested();

private:
    void OnReadable();

    QSocketNotifier* m_notifier = nullptr;
};
