#include "main/docs/cmanualsearch.h"

#include "main/docs/manualnames.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

CManualSearch::CManualSearch(QObject* parent) : QObject(parent) {}

CManualSearch::~CManualSearch()
{
    // The worker never waits on this thread, so joining cannot hang.
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void CManualSearch::Start(const CManualQuery& query)
{
    if (m_running) {
        m_stop = true;
        m_pending = true;
        m_next = query;
        return;
    }
    Launch(query);
}

void CManualSearch::Stop()
{
    m_pending = false;
    if (m_running)
        m_stop = true;
}

void CManualSearch::Launch(const CManualQuery& query)
{
    if (m_worker.joinable())
        m_worker.join();
    m_stop = false;
    m_running = true;
    m_worker = std::thread(&CManualSearch::Run, this, query, ++m_generation);
}

void CManualSearch::WorkerDone(unsigned generation)
{
    if (generation != m_generation)
        return;
    m_running = false;
    if (m_worker.joinable())
        m_worker.join();
    if (m_pending) {
        m_pending = false;
        Launch(m_next);
        return;
    }
    emit finished();
}

void CManualSearch::Run(CManualQuery query, unsigned generation)
{
    const QRegularExpression pattern(ManualNames::SearchPattern(query.text),
                                     QRegularExpression::CaseInsensitiveOption);
    // An empty or invalid pattern finds nothing.
    const bool usable = pattern.isValid() && !pattern.pattern().isEmpty();
    const QStringList files = usable ? QDir(query.folder).entryList({QStringLiteral("*.html")}, QDir::Files)
                                     : QStringList();
    QVector<CManualHit> batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    const auto flush = [&] {
        if (batch.isEmpty())
            return;
        QMetaObject::invokeMethod(
            this, [this, generation, hits = std::move(batch)] {
                if (generation == m_generation && !m_stop)
                    emit found(hits);
            },
            Qt::QueuedConnection);
        batch.clear();
        sinceBatch.restart();
    };
    for (const QString& name : files) {
        if (m_stop)
            break;
        const bool function = ManualNames::IsFunctionEntry(name);
        if (query.functionsOnly && !function)
            continue;
        if (query.titlesOnly && (function || ManualNames::IsFigure(name)))
            continue;
        QFile file(query.folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // The pattern holds no line break and "." stops at one, so a match
        // in the whole text is a match in one line.
        if (pattern.match(QString::fromUtf8(file.readAll())).hasMatch())
            batch.push_back({name, ManualNames::Title(name), function});
        if (sinceBatch.elapsed() >= 50)
            flush();
    }
    flush();
    QMetaObject::invokeMethod(this, [this, generation] { WorkerDone(generation); }, Qt::QueuedConnection);
}
