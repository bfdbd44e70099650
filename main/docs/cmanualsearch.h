#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <thread>

// One page a search found.
struct CManualHit {
    QString fileName;
    QString title;
    bool function = false;
};

// What a search looks for and where.
struct CManualQuery {
    QString folder;
    QString text;  // as typed; ManualNames::SearchPattern makes the pattern
    bool functionsOnly = false;
    bool titlesOnly = false;
};

// Searches the manual's pages on a worker thread: each "*.html" page whose
// text has a line matching the query's pattern (ignoring case) is a hit.
// Hits arrive in batches on the GUI thread while the walk goes on, so the
// first rows show early and the window stays responsive.
//
// A search started while one runs stops the running one; the new one starts
// when the old worker has returned. Only the newest search reports.
class CManualSearch : public QObject {
    Q_OBJECT
public:
    explicit CManualSearch(QObject* parent = nullptr);
    ~CManualSearch() override;

    void Start(const CManualQuery& query);
    void Stop();
    bool IsRunning() const { return m_running; }

signals:
    void found(const QVector<CManualHit>& hits);
    // The search ended (completed or stopped); no more hits of it follow.
    void finished();

private:
    void Launch(const CManualQuery& query);
    void Run(CManualQuery query, unsigned generation);
    void WorkerDone(unsigned generation);

    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    bool m_pending = false;
    CManualQuery m_next;
    unsigned m_generation = 0;
};
