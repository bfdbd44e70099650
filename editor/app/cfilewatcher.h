#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class CMarlinoteDoc;
class QFileSystemWatcher;

// Notices when another program changes a file open in a document and offers
// to reload it. One per process: one system watch per directory, shared by
// every document in it; a change in a directory compares the last-write time
// of each watched file there, so only a file that really changed is reported.
// The system watch runs only while something is watched.
class CFileWatcher : public QObject {
    Q_OBJECT
public:
    explicit CFileWatcher(QObject* parent = nullptr);
    ~CFileWatcher() override;

    // Watches path (a path ending in "/" names a directory) for doc; the
    // watch id, 0 when the file cannot be read.
    quint32 AddWatch(const QString& path, CMarlinoteDoc* doc);
    // Unknown ids and 0 are ignored; the last removal stops watching.
    void RemoveWatch(quint32 id);
    // False for an unknown id; true without asking when the watch is
    // suppressed; otherwise the user's answer to the reload question.
    bool ConfirmReload(quint32 id);
    void SetSuppressed(quint32 id, bool suppressed);
    void Stop();

    // Watches doc's file after every open and save and not during its own
    // saves (so they are never reported), until doc goes away.
    void Follow(CMarlinoteDoc* doc);
    void SetEnabled(bool enabled);

    bool IsRunning() const { return m_system != nullptr; }
    int DirectoryCount() const { return int(m_directories.size()); }

    // The reload question goes through this when set (tests).
    using ReloadQuestion = std::function<bool(const QString& path)>;
    void SetReloadQuestion(ReloadQuestion question) { m_question = std::move(question); }

signals:
    // A watched file changed on disk (after the reload question was handled).
    void fileChanged(quint32 id, const QString& path);

private:
    struct Item {
        QString path;
        qint64 lastWrite = 0;  // nanoseconds; 0 for a directory
        QPointer<CMarlinoteDoc> doc;
        bool suppress = false;
    };

    static QString DirectoryOf(const QString& path);
    static qint64 LastWriteTime(const QString& path);
    void OnDirectoryChanged(const QString& directory);
    void OnNotify(quint32 id, const QString& path);
    void Watch(CMarlinoteDoc* doc);
    void Unwatch(CMarlinoteDoc* doc);

    QHash<quint32, Item> m_items;
    QStringList m_directories;
    QFileSystemWatcher* m_system = nullptr;
    QHash<CMarlinoteDoc*, quint32> m_docIds;
    ReloadQuestion m_question;
    bool m_enabled = true;
};
