#include "editor/app/cbackupworker.h"

#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "editor/core/filenamebytes.h"
#include "platform/ceditorsettings.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>

CBackupWorker::CBackupWorker(CMarlinoteDoc* doc, const CEditorSettings& settings)
    : QObject(doc), m_doc(doc), m_settings(settings)
{
    connect(&m_timer, &QTimer::timeout, this, &CBackupWorker::WriteBackup);
    connect(doc, &CMarlinoteDoc::modifiedChanged, this, [this](bool modified) {
        if (modified && m_settings.autoSaveEnable)
            Start();
    });
    connect(doc, &CMarlinoteDoc::aboutToSave, this, &CBackupWorker::Stop);
}

CBackupWorker::~CBackupWorker()
{
    Stop();
    WaitForWrite(2000);
    if (!m_lastBackup.isEmpty() && m_settings.deleteOnExit)
        QFile::remove(m_lastBackup);
}

void CBackupWorker::Start()
{
    if (IsRunning())
        return;
    // The interval is counted in units of 6 seconds.
    m_timer.start(std::max(1, m_settings.saveTime) * 6000);
}

void CBackupWorker::Stop()
{
    m_timer.stop();
}

void CBackupWorker::WaitForWrite(int milliseconds)
{
    if (m_write.valid())
        m_write.wait_for(std::chrono::milliseconds(milliseconds));
}

QString CBackupWorker::BackupPath(const QString& path, const CEditorSettings& settings)
{
    if (path.isEmpty())
        return QString();
    QString backup = path;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    // A single folder named by an empty path would be the root: ignored.
    if (settings.defaultFolder && !settings.savePath.isEmpty())
        backup = QDir(settings.savePath).filePath(name);
    if (settings.replaceOrAppend) {
        backup += settings.append;
    } else {
        // Only the file name's own extension is cut, never a folder's dot.
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            backup.chop(name.size() - dot - 1);
        else
            backup += QLatin1Char('.');
        backup += settings.extension;
    }
    return backup == path ? QString() : backup;
}

void CBackupWorker::WriteBackup()
{
    const QString path = BackupPath(m_doc->GetPath(), m_settings);
    if (path.isEmpty())
        return;
    // The previous backup is still being written: wait for the next turn.
    if (m_write.valid() && m_write.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    const QByteArray text = m_doc->GetView()->GetEditor()->GetText();
    m_write = std::async(std::launch::async, [path, text] { FileNameBytes::WriteFile(path, text, nullptr); });
    m_lastBackup = path;
}
