#include "editor/app/cfilewatcher.h"

#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "editor/core/filenamebytes.h"

#include <QFileSystemWatcher>
#include <QMessageBox>

#include <sys/stat.h>

namespace {
// Watch ids are unique in the process; 0 never names a watch.
quint32 g_nextWatchId = 0;
}  // namespace

CFileWatcher::CFileWatcher(QObject* parent) : QObject(parent) {}

CFileWatcher::~CFileWatcher()
{
    Stop();
}

QString CFileWatcher::DirectoryOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

qint64 CFileWatcher::LastWriteTime(const QString& path)
{
    struct stat info {};
    if (::stat(FileNameBytes::Encode(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

quint32 CFileWatcher::AddWatch(const QString& path, CMarlinoteDoc* doc)
{
    const QString directory = DirectoryOf(path);
    if (directory.isEmpty())
        return 0;
    Item item;
    item.path = path;
    item.doc = doc;
    if (!path.endsWith(QLatin1Char('/'))) {
        item.lastWrite = LastWriteTime(path);
        if (item.lastWrite == 0)
            return 0;
    }
    const quint32 id = ++g_nextWatchId;
    m_items.insert(id, item);
    if (!m_system) {
        m_system = new QFileSystemWatcher(this);
        connect(m_system, &QFileSystemWatcher::directoryChanged, this, &CFileWatcher::OnDirectoryChanged);
        // A file written in place reports only on the file itself.
        connect(m_system, &QFileSystemWatcher::fileChanged, this,
                [this](const QString& file) { OnDirectoryChanged(DirectoryOf(file)); });
    }
    if (!m_directories.contains(directory)) {
        m_directories.append(directory);
        m_system->addPath(directory);
    }
    if (item.lastWrite != 0 && !m_system->files().contains(path))
        m_system->addPath(path);
    return id;
}

void CFileWatcher::RemoveWatch(quint32 id)
{
    const auto found = m_items.constFind(id);
    if (found != m_items.constEnd()) {
        const QString path = found->path;
        const QString directory = DirectoryOf(path);
        m_items.erase(found);
        bool dirUsed = false;
        bool pathUsed = false;
        for (const Item& other : std::as_const(m_items)) {
            dirUsed = dirUsed || DirectoryOf(other.path) == directory;
            pathUsed = pathUsed || other.path == path;
        }
        if (!pathUsed && m_system->files().contains(path))
            m_system->removePath(path);
        if (!dirUsed) {
            m_directories.removeAll(directory);
            m_system->removePath(directory);
        }
    }
    if (m_items.isEmpty())
        Stop();
}

void CFileWatcher::Stop()
{
    delete m_system;
    m_system = nullptr;
    m_items.clear();
    m_directories.clear();
    m_docIds.clear();
}

void CFileWatcher::OnDirectoryChanged(const QString& directory)
{
    QList<QPair<quint32, QString>> changed;
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (DirectoryOf(it->path) != directory)
            continue;
        if (it->lastWrite != 0) {
            const qint64 now = LastWriteTime(it->path);
            if (now == 0 || now == it->lastWrite)
                continue;
            it->lastWrite = now;
            // A file replaced by a rename lost its own watch.
            if (!m_system->files().contains(it->path))
                m_system->addPath(it->path);
        }
        changed.append({it.key(), it->path});
    }
    // Handled from the event loop: the question may add and remove watches.
    for (const auto& [id, path] : changed)
        QMetaObject::invokeMethod(this, [this, id = id, path = path] { OnNotify(id, path); }, Qt::QueuedConnection);
}

void CFileWatcher::OnNotify(quint32 id, const QString& path)
{
    const auto found = m_items.constFind(id);
    if (found == m_items.constEnd() || !found->doc || found->doc->GetPath() != path)
        return;
    CMarlinoteDoc* doc = found->doc;
    if (ConfirmReload(id)) {
        CScintillaWnd* editor = doc->GetView()->GetEditor();
        const long position = editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        if (doc->LoadFromFile(path)) {
            editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, position);
            doc->SetModified(false);
        }
    }
    emit fileChanged(id, path);
}

bool CFileWatcher::ConfirmReload(quint32 id)
{
    const auto found = m_items.constFind(id);
    if (found == m_items.constEnd())
        return false;
    if (found->suppress)
        return true;
    const QString path = found->path;
    if (m_question)
        return m_question(path);
    const QString text = QStringLiteral("%1\n\n%2").arg(
        path, QStringLiteral("This file has been modified by another program.\nDo you want to reload it?"));
    QWidget* parent = found->doc ? found->doc->GetView() : nullptr;
    return QMessageBox::question(parent, QString::fromLatin1(CMarlinoteApp::kAppTitle), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void CFileWatcher::SetSuppressed(quint32 id, bool suppressed)
{
    const auto found = m_items.find(id);
    if (found != m_items.end())
        found->suppress = suppressed;
}

void CFileWatcher::SetEnabled(bool enabled)
{
    m_enabled = enabled;
}

void CFileWatcher::Watch(CMarlinoteDoc* doc)
{
    Unwatch(doc);
    if (!m_enabled || doc->GetPath().isEmpty())
        return;
    if (const quint32 id = AddWatch(doc->GetPath(), doc))
        m_docIds.insert(doc, id);
}

void CFileWatcher::Unwatch(CMarlinoteDoc* doc)
{
    const quint32 id = m_docIds.take(doc);
    if (id != 0)
        RemoveWatch(id);
}

void CFileWatcher::Follow(CMarlinoteDoc* doc)
{
    connect(doc, &CMarlinoteDoc::aboutToSave, this, [this, doc] { Unwatch(doc); });
    connect(doc, &CMarlinoteDoc::saveFinished, this, [this, doc] { Watch(doc); });
    connect(doc, &CMarlinoteDoc::fileLoaded, this, [this, doc] { Watch(doc); });
    // Only the pointer is used: the document is being destroyed.
    connect(doc, &QObject::destroyed, this, [this, doc] { Unwatch(doc); });
    Watch(doc);
}
