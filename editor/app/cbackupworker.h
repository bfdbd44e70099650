#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <future>

class CEditorSettings;
class CMarlinoteDoc;

// Writes a backup copy of a document's text at a fixed interval while it has
// unsaved changes: started by its first change, stopped by a save. The text
// is copied on the GUI thread and written on a worker thread; the document
// itself is never marked saved by a backup. A child of its document.
class CBackupWorker : public QObject {
    Q_OBJECT
public:
    // settings must outlive the worker (the application's settings).
    CBackupWorker(CMarlinoteDoc* doc, const CEditorSettings& settings);
    // Waits up to 2 s for a backup being written, then deletes the last
    // backup when the settings say so.
    ~CBackupWorker() override;

    void Start();
    void Stop();
    bool IsRunning() const { return m_timer.isActive(); }
    const QString& LastBackup() const { return m_lastBackup; }

    // The backup file of the document at path; empty when there is none
    // (no path, or a name that would be the document's own file).
    static QString BackupPath(const QString& path, const CEditorSettings& settings);

private:
    void WriteBackup();
    void WaitForWrite(int milliseconds);

    CMarlinoteDoc* m_doc;
    const CEditorSettings& m_settings;
    QTimer m_timer;
    QString m_lastBackup;
    std::future<void> m_write;
};
