#include "main/files/cfileview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>
#include <QVBoxLayout>

#include "controls/ccolumnprofile.h"
#include "controls/cmessagebox.h"
#include "main/files/cfileoperations.h"
#include "main/files/cfilesexplorer.h"
#include "main/files/cfilessettings.h"
#include "main/files/cfilestatements.h"
#include "main/files/cworkingfolder.h"
#include "main/files/czipfile.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"
#include "platform/cprofile.h"

namespace {
const char* const kKdeCut = "application/x-kde-cutselection";
const char* const kGnomeFiles = "x-special/gnome-copied-files";
}  // namespace

CFileView::CFileView(ISessionCommands& commands, CSessionEvents& events, CWorkingFolder& folder,
                     const QString& programName, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_folder(folder), m_program(programName)
{
    setObjectName(QStringLiteral("FileView"));
    m_toolbar = new QToolBar(this);
    m_toolbar->setIconSize(QSize(16, 16));
    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("FileFilter"));
    m_filter->setEditable(true);
    m_filter->setInsertPolicy(QComboBox::NoInsert);
    m_filter->addItems({QStringLiteral("*.m;*.mat"), QStringLiteral("*.m;*.mat;*.hdf5;*.fhdf5;*.txt;*.bin;*.fbin;*.zip"),
                        QStringLiteral("*.*")});
    m_filter->setCurrentIndex(qBound(0, CFilesSettings::fromSettings(m_program).lastFileFilter, 2));
    m_list = new CFilesExplorer(this);
    new CColumnProfile(m_list->header(), CProfile(m_program), QStringLiteral("FilesList"));
    m_list->setEnabled(commands.IsConnected());
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    setFocusProxy(m_list);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);

    CreateActions();
    connect(m_list, &QWidget::customContextMenuRequested, this, &CFileView::ShowContextMenu);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnOpen(); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CFileView::UpdateActions);
    connect(m_list, &CFilesExplorer::filesDropped, this, &CFileView::TransferInto);
    connect(m_filter, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        CFilesSettings settings = CFilesSettings::fromSettings(m_program);
        settings.lastFileFilter = index;
        settings.toSettings(m_program);
        RefreshFileList(true);
    });
    connect(m_filter->lineEdit(), &QLineEdit::returnPressed, this, [this] { RefreshFileList(false); });
    connect(&events, &CSessionEvents::connectionChanged, m_list, &QWidget::setEnabled);
    connect(&folder, &CWorkingFolder::folderChanged, this, [this] { RefreshFileList(false); });
    connect(&folder, &CWorkingFolder::contentsChanged, this, [this] { RefreshFileList(false); });
    RefreshFileList(true);
}

QAction* CFileView::AddAction(Command id, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, this);
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        m_list->addAction(action);
    }
    m_actions.insert(id, action);
    return action;
}

void CFileView::CreateActions()
{
    const auto on = [this](Command id, const QString& text, void (CFileView::*handler)(),
                           const QKeySequence& key = QKeySequence()) {
        connect(AddAction(id, text, key), &QAction::triggered, this, handler);
    };
    on(NewFolder, QStringLiteral("New Folder"), &CFileView::OnNewFolder);
    on(Open, QStringLiteral("Open"), &CFileView::OnOpen, QKeySequence(Qt::Key_Return));
    on(RunFile, QStringLiteral("Run File"), &CFileView::OnRunFile);
    on(OpenAsText, QStringLiteral("Open as Text"), &CFileView::OnOpenAsText);
    on(Load, QStringLiteral("Load"), &CFileView::OnLoad);
    on(CreateZip, QStringLiteral("Create Zip File"), &CFileView::OnCreateZip);
    on(Extract, QStringLiteral("Extract"), &CFileView::OnExtract);
    on(CompareSelected, QStringLiteral("Compare Selected Files/Folders"), &CFileView::OnCompareSelected);
    on(CompareAgainst, QStringLiteral("Compare Against..."), &CFileView::OnCompareAgainst);
    on(Rename, QStringLiteral("Rename"), &CFileView::OnRename, QKeySequence(Qt::Key_F2));
    on(Duplicate, QStringLiteral("Duplicate"), &CFileView::OnDuplicate);
    on(Delete, QStringLiteral("Delete"), &CFileView::OnDelete, QKeySequence(Qt::Key_Delete));
    connect(AddAction(Cut, QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X)), &QAction::triggered, this,
            [this] { OnCopy(true); });
    connect(AddAction(Copy, QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)), &QAction::triggered, this,
            [this] { OnCopy(false); });
    on(Paste, QStringLiteral("Paste"), &CFileView::OnPaste, QKeySequence(Qt::CTRL | Qt::Key_V));
    on(LocateOnDisk, QStringLiteral("Locate on Disk"), &CFileView::OnLocate);
    connect(AddAction(SelectAll, QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A)),
            &QAction::triggered, m_list, &CFilesExplorer::selectAll);
    connect(AddAction(Refresh, QStringLiteral("Refresh"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this,
            [this] { RefreshFileList(false); });
    // Enter on the keypad opens too; Ctrl+O is the second key of Open.
    auto* enter = new QAction(this);
    enter->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_O)});
    enter->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(enter);
    connect(enter, &QAction::triggered, this, &CFileView::OnOpen);

    const QStyle* s = style();
    m_actions[NewFolder]->setIcon(s->standardIcon(QStyle::SP_FileDialogNewFolder));
    m_actions[Open]->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    m_actions[Duplicate]->setIcon(s->standardIcon(QStyle::SP_FileLinkIcon));
    m_actions[Delete]->setIcon(s->standardIcon(QStyle::SP_TrashIcon));
    for (Command id : {NewFolder, Open, Duplicate, Delete})
        m_toolbar->addAction(m_actions[id]);

    m_menu = new QMenu(this);
    const QList<QList<Command>> groups = {{Open, OpenAsText, RunFile, Load},
                                          {NewFolder, CreateZip, Extract},
                                          {CompareSelected, CompareAgainst},
                                          {Rename, Duplicate, Delete},
                                          {Cut, Copy, Paste},
                                          {LocateOnDisk, SelectAll, Refresh}};
    for (const QList<Command>& group : groups) {
        if (!m_menu->isEmpty())
            m_menu->addSeparator();
        for (Command id : group)
            m_menu->addAction(m_actions[id]);
    }
    UpdateActions();
}

void CFileView::UpdateActions()
{
    const auto rows = m_list->SelectedRows();
    const int n = int(rows.size());
    bool loadable = n > 0;
    for (const auto& row : rows)
        loadable = loadable && !row.folder && CFileStatements::IsLoadable(row.name);
    const bool single = n == 1;
    const bool zip = single && !rows[0].folder && rows[0].name.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive);
    // Open also takes the ".." row.
    m_actions[Open]->setEnabled(!m_list->SelectedRows(true).empty());
    for (Command id : {OpenAsText, Delete, Cut, Copy, Duplicate})
        m_actions[id]->setEnabled(n > 0);
    m_actions[Load]->setEnabled(loadable);
    m_actions[RunFile]->setEnabled(single && !rows[0].folder && rows[0].name.endsWith(QStringLiteral(".m")));
    for (Command id : {Rename, Duplicate, CompareAgainst})
        m_actions[id]->setEnabled(single);
    m_actions[CompareSelected]->setEnabled(n == 2);
    m_actions[Extract]->setEnabled(zip);
    m_actions[CreateZip]->setEnabled(n > 0 && !zip);
}

void CFileView::ShowContextMenu(const QPoint& at)
{
    UpdateActions();
    m_menu->popup(m_list->viewport()->mapToGlobal(at));
}

void CFileView::RefreshFileList(bool fromList)
{
    const QString folder = m_folder.Folder();
    const QString filter = fromList ? m_filter->itemText(m_filter->currentIndex()) : m_filter->currentText();
    m_list->SetFolder(folder);
    m_list->Show(CFileListing::List(folder, filter));
    UpdateActions();
}

QString CFileView::Ask(const QString& title, const QString& prompt, const QString& text, bool* ok)
{
    return QInputDialog::getText(this, title, prompt, QLineEdit::Normal, text, ok).trimmed();
}

void CFileView::OnOpen()
{
    std::string statements;
    bool data = false;
    bool edit = false;
    for (const auto& row : m_list->SelectedRows(true)) {
        if (row.folder) {
            m_folder.ChangeDirectory(row.name == QStringLiteral("..") ? row.name : m_list->PathOf(row.name));
            break;
        }
        const QString path = m_list->PathOf(row.name);
        const bool load = CFileStatements::IsDataFile(row.name);
        statements += load ? CFileStatements::Load(path) : CFileStatements::Edit(path);
        (load ? data : edit) = true;
    }
    if (statements.empty())
        return;
    m_commands.QueueCommand(statements, false);
    if (data)
        emit workspacePaneRequested();
    if (edit)
        emit editorPaneRequested();
}

void CFileView::OnOpenAsText()
{
    std::string statements;
    for (const auto& row : m_list->SelectedRows()) {
        if (!row.folder)
            statements += CFileStatements::Edit(m_list->PathOf(row.name));
    }
    if (statements.empty())
        return;
    m_commands.QueueCommand(statements, true);
    emit editorPaneRequested();
}

void CFileView::OnLoad()
{
    std::string statements;
    for (const auto& row : m_list->SelectedRows()) {
        if (!row.folder)
            statements += CFileStatements::Load(m_list->PathOf(row.name));
    }
    if (statements.empty())
        return;
    m_commands.QueueCommand(statements, true);
    emit workspacePaneRequested();
}

void CFileView::OnRunFile()
{
    const auto rows = m_list->SelectedRows();
    if (rows.empty() || rows[0].folder)
        return;
    const std::string statement = CFileStatements::Run(m_list->PathOf(rows[0].name));
    if (!statement.empty())
        m_commands.QueueCommand(statement, true);
}

void CFileView::OnRename()
{
    const auto rows = m_list->SelectedRows();
    if (rows.empty())
        return;
    bool ok = false;
    const QString name = Ask(QStringLiteral("Rename file"), QStringLiteral("New name:"), rows[0].name, &ok);
    if (!ok || name.isEmpty() || name == rows[0].name)
        return;
    if (!CFileOperations::Rename(m_list->FolderPath(), rows[0].name, name))
        emit statusMessage(QStringLiteral("'%1' was not renamed: '%2' exists or cannot be used.").arg(rows[0].name, name));
    RefreshFileList(false);
}

void CFileView::OnDuplicate()
{
    const auto rows = m_list->SelectedRows();
    if (rows.empty())
        return;
    bool ok = false;
    const QString suffix = Ask(QStringLiteral("Duplicate file"), QStringLiteral("Suffix:"), QStringLiteral("Copy"), &ok);
    if (!ok || suffix.isEmpty())
        return;
    QString copy;
    if (!CFileOperations::Duplicate(m_list->FolderPath(), rows[0].name, suffix, &copy))
        emit statusMessage(QStringLiteral("'%1' was not written: it exists or cannot be created.").arg(copy));
    RefreshFileList(false);
}

void CFileView::OnDelete()
{
    const auto rows = m_list->SelectedRows();
    if (rows.empty())
        return;
    QString question;
    if (rows.size() > 1)
        question = QStringLiteral("Are you sure you want delete these %1 items?").arg(rows.size());
    else if (rows[0].folder)
        question = QStringLiteral("Are you sure you want remove the folder\n'") + rows[0].name +
                   QStringLiteral("'\nand all its content?");
    else
        question = QStringLiteral("Are you sure you want delete '") + rows[0].name + QStringLiteral("'?");
    if (CMessageBox::Show(this, question, m_program, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question).button !=
        QMessageBox::Yes)
        return;
    for (const auto& row : rows)
        CFileOperations::Remove(m_list->PathOf(row.name));
    RefreshFileList(false);
}

void CFileView::OnNewFolder()
{
    bool ok = false;
    const QString name = Ask(QStringLiteral("Create new folder"), QStringLiteral("Name:"), QStringLiteral("New Folder"), &ok);
    if (ok && !name.isEmpty())
        CFileOperations::CreateFolder(m_list->FolderPath(), name);
    RefreshFileList(false);
}

void CFileView::OnCreateZip()
{
    const auto rows = m_list->SelectedRows();
    if (rows.empty())
        return;
    bool ok = false;
    QString name = Ask(QStringLiteral("Create Zip File"), QStringLiteral("Name:"), QStringLiteral("Untitled"), &ok);
    if (!ok || name.isEmpty() || name.contains(QLatin1Char('/')))
        return;
    if (!name.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
        name += QStringLiteral(".zip");
    const QString archive = m_list->PathOf(name);
    if (QFileInfo::exists(archive) &&
        CMessageBox::Show(this, CFileOperations::ReplaceQuestion(name, QFileInfo(archive).lastModified(), QDateTime::currentDateTime()),
                          QStringLiteral("Confirm File Replace"), QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::Question).button != QMessageBox::Yes)
        return;
    QStringList paths;
    for (const auto& row : rows)
        paths << m_list->PathOf(row.name);
    if (!CZipFile::Create(archive, paths))
        emit statusMessage(QStringLiteral("The archive '%1' could not be written.").arg(name));
    RefreshFileList(false);
}

void CFileView::OnExtract()
{
    const auto rows = m_list->SelectedRows();
    if (rows.size() != 1 || rows[0].folder)
        return;
    const QString archive = m_list->PathOf(rows[0].name);
    const QString folder = CZipFile::FolderFor(rows[0].name);
    const QStringList existing = CZipFile::ExistingEntries(archive, m_list->PathOf(folder));
    if (!existing.isEmpty() &&
        CMessageBox::Show(this,
                          QStringLiteral("The folder '%1' already holds %2 of the archive's files (%3).\n\n"
                                         "Would you like to replace them?")
                              .arg(folder)
                              .arg(existing.size())
                              .arg(QStringList(existing.mid(0, 5)).join(QStringLiteral(", ")) +
                                   (existing.size() > 5 ? QStringLiteral(", ...") : QString())),
                          QStringLiteral("Confirm File Replace"), QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::Question)
                .button != QMessageBox::Yes)
        return;
    const CZipFile::ExtractResult result = CZipFile::Extract(archive, m_list->PathOf(folder));
    QString text = result.error;
    if (!result.skipped.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                QStringLiteral("These entries would be written outside the folder and were skipped:\n") +
                result.skipped.join(QLatin1Char('\n'));
    if (!text.isEmpty())
        CMessageBox::Show(this, text, m_program, QMessageBox::Ok, QMessageBox::Warning);
    RefreshFileList(false);
}

void CFileView::OnCompareSelected()
{
    const auto rows = m_list->SelectedRows();
    if (rows.size() == 2)
        emit compareRequested(m_list->PathOf(rows[0].name), m_list->PathOf(rows[1].name));
}

void CFileView::OnCompareAgainst()
{
    const auto rows = m_list->SelectedRows();
    if (!rows.empty())
        emit compareRequested(m_list->PathOf(rows[0].name), QStringLiteral("unknown"));
}

void CFileView::OnLocate()
{
    const auto rows = m_list->SelectedRows();
    const QString path = rows.empty() ? m_list->FolderPath() : m_list->PathOf(rows[0].name);
    // The desktop's file manager selects the item; without one the folder opens.
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service)) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                           service, QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        if (bus.send(call))
            return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(rows.empty() ? path : QFileInfo(path).absolutePath()));
}

void CFileView::OnCopy(bool cut)
{
    const QList<QUrl> urls = m_list->SelectedUrls();
    if (urls.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setData(QString::fromLatin1(kKdeCut), cut ? "1" : "0");
    QByteArray gnome = cut ? "cut" : "copy";
    for (const QUrl& url : urls)
        gnome += '\n' + url.toEncoded();
    data->setData(QString::fromLatin1(kGnomeFiles), gnome);
    QApplication::clipboard()->setMimeData(data);
}

void CFileView::OnPaste()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasUrls())
        return;
    const bool move = data->data(QString::fromLatin1(kKdeCut)) == "1" ||
                      data->data(QString::fromLatin1(kGnomeFiles)).startsWith("cut\n");
    const QList<QUrl> urls = data->urls();
    TransferInto(urls, move);
    // What was cut is gone from its place: it cannot be pasted twice.
    if (move)
        QApplication::clipboard()->clear();
}

void CFileView::TransferInto(const QList<QUrl>& urls, bool move)
{
    const QString target = m_folder.Folder();
    const auto confirm = [this](const QString& name, const QDateTime& existing, const QDateTime& incoming) {
        return CMessageBox::Show(this, CFileOperations::ReplaceQuestion(name, existing, incoming),
                                 QStringLiteral("Confirm File Replace"), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Question).button == QMessageBox::Yes;
    };
    QStringList failed;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        if (CFileOperations::Transfer(url.toLocalFile(), target, move, confirm) == CFileOperations::Result::Failed)
            failed << QFileInfo(url.toLocalFile()).fileName();
    }
    if (!failed.isEmpty())
        emit statusMessage(QStringLiteral("Not transferred: ") + failed.join(QStringLiteral(", ")));
    RefreshFileList(false);
}
