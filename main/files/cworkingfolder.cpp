#include "main/files/cworkingfolder.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include "platform/editorprotocol.h"
#include "controls/cmessagebox.h"
#include "main/files/cfilestatements.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"
#include "platform/ckestrunesettings.h"

namespace {

bool SameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

}  // namespace

CWorkingFolder::CWorkingFolder(ISessionCommands& commands, CSessionEvents& events, QComboBox* box,
                               const QString& programName, QObject* parent)
    : QObject(parent), m_commands(commands), m_box(box), m_program(programName)
{
    connect(&m_watcher, &CDirectoryWatcher::changed, this, &CWorkingFolder::contentsChanged);
    connect(&events, &CSessionEvents::currentDirectoryChanged, this, &CWorkingFolder::CheckInterpreterFolder);
}

QString CWorkingFolder::Folder() const
{
    return CKestruneSettings::fromSettings(m_program).workPath;
}

QString CWorkingFolder::Resolve(const QString& target, const QString& current, bool* stay) const
{
    *stay = false;
    QString folder = target.trimmed();
    if (folder.size() >= 2 && ((folder.startsWith('\'') && folder.endsWith('\'')) ||
                               (folder.startsWith('"') && folder.endsWith('"'))))
        folder = folder.mid(1, folder.size() - 2);
    if (folder.isEmpty())
        return CKestruneSettings::Defaults().workPath;
    if (folder == QStringLiteral(".")) {
        *stay = true;
        return current;
    }
    if (folder == QStringLiteral("..")) {
        const QString parent = QFileInfo(current).dir().path();
        *stay = QDir::cleanPath(current) == QStringLiteral("/");
        return *stay ? current : QDir::cleanPath(parent);
    }
    if (folder == QStringLiteral("~"))
        return QDir::homePath();
    if (folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return QDir::cleanPath(QDir(current).absoluteFilePath(folder));
}

bool CWorkingFolder::ChangeDirectory(const QString& target)
{
    const QString current = Folder();
    bool stay = false;
    const QString folder = Resolve(target, current, &stay);
    if (stay) {
        SetBox(current);
        return true;
    }
    const std::string statement = CFileStatements::ChangeFolder(folder);
    if (!QFileInfo(folder).isDir() || statement.empty()) {
        Refuse(folder, target, current);
        return false;
    }
    m_commands.QueueCommand(statement, false);
    Adopt(folder);
    return true;
}

bool CWorkingFolder::Follow(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    Adopt(QDir::cleanPath(folder));
    return true;
}

void CWorkingFolder::Refuse(const QString& folder, const QString& typed, const QString& current)
{
    QWidget* parent = m_box ? m_box->window() : nullptr;
    CMessageBox::Show(parent, QStringLiteral("Cannot CD to \n") + folder + QStringLiteral("\n(Name is not a directory)"),
                      m_program, QMessageBox::Ok, QMessageBox::Critical);
    CKestruneSettings settings = CKestruneSettings::fromSettings(m_program);
    if (settings.workingPaths.removeAll(folder) + settings.workingPaths.removeAll(typed) > 0)
        settings.toSettings(m_program);
    if (m_box) {
        for (const QString& text : {folder, typed}) {
            const int index = m_box->findText(text);
            if (index >= 0)
                m_box->removeItem(index);
        }
    }
    // The keyboard stays where the change was asked: in the box when it was
    // typed there, in the command window after a typed cd.
    SetBox(current);
}

void CWorkingFolder::Adopt(const QString& folder)
{
    CKestruneSettings settings = CKestruneSettings::fromSettings(m_program);
    settings.workPath = folder;
    bool known = false;
    for (const QString& entry : settings.workingPaths)
        known = known || SameFolder(entry, folder);
    if (!known)
        settings.workingPaths << folder;
    while (settings.workingPaths.size() > std::max(settings.maxDirs, 1))
        settings.workingPaths.removeFirst();
    settings.toSettings(m_program);
    if (!m_watcher.Watch(folder))
        qWarning("Kestrune: the folder %s is not watched: %s", qPrintable(folder), qPrintable(m_watcher.Error()));
    FillBox();
    SetBox(folder);
    emit editorTextRequested(EditorProtocol::EncodeCurrentPath(folder.toUtf8() + '/'));
    emit folderChanged(folder);
}

void CWorkingFolder::FillBox()
{
    if (!m_box)
        return;
    const CKestruneSettings settings = CKestruneSettings::fromSettings(m_program);
    const QSignalBlocker block(m_box);
    m_box->clear();
    for (const QString& folder : settings.workingPaths) {
        if (QFileInfo(folder).isDir())
            m_box->addItem(folder);
    }
    SetBox(settings.workPath);
}

void CWorkingFolder::SetBox(const QString& folder)
{
    if (!m_box)
        return;
    int index = m_box->findText(folder);
    if (index < 0) {
        m_box->addItem(folder);
        index = m_box->count() - 1;
    }
    m_box->setCurrentIndex(index);
    m_box->setEditText(folder);
}

void CWorkingFolder::CheckInterpreterFolder()
{
    // A statement may have changed the interpreter's folder (cd inside a
    // script, run): the program follows it without sending cd again.
    QPointer<CWorkingFolder> self(this);
    m_commands.RunCollected("disp(pwd)", [self](bool ok, const std::string& answer) {
        if (!self || !ok)
            return;
        const QString folder = QString::fromStdString(answer).trimmed();
        if (!folder.isEmpty() && !SameFolder(folder, self->Folder()))
            self->Follow(folder);
    });
}
