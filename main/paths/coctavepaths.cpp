#include "main/paths/coctavepaths.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidgetItem>

#include "main/paths/cpathstatements.h"
#include "main/paths/cstoredpaths.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

COctavePaths::COctavePaths(ISessionCommands& commands, CSessionEvents& events, CSearchPathSettings settings,
                           QWidget* parent)
    : CListDialog(commands, events, QStringLiteral("Set Paths"), {QStringLiteral("Kestrune Search Path")},
                  CPathStatements::ListRequest(), parent),
      m_settings(std::move(settings)),
      m_browse([](QWidget* owner, const QString& title, const QString& start) {
          return QFileDialog::getExistingDirectory(owner, title, start);
      })
{
    connect(AddButton(QStringLiteral("Add folder..."), QStringLiteral("addFolder"), false), &QPushButton::clicked,
            this, [this] { AddFolder(false); });
    connect(AddButton(QStringLiteral("Add with Subfolders"), QStringLiteral("addWithSubfolders"), false),
            &QPushButton::clicked, this, [this] { AddFolder(true); });
    connect(AddButton(QStringLiteral("Remove"), QStringLiteral("remove"), true), &QPushButton::clicked, this,
            &COctavePaths::Remove);
    FinishButtons();
    resize(620, 420);

    connect(&events, &CSessionEvents::pathListPopulating, this, [this] { ShowPlaceholder(PopulatingText(), 0); });
    connect(&events, &CSessionEvents::pathListReady, this, [this](const QStringList& folders) {
        std::vector<QStringList> rows;
        rows.reserve(static_cast<std::size_t>(folders.size()));
        for (const QString& folder : folders)
            rows.push_back({folder});
        Fill(rows);
    });
}

void COctavePaths::AddFolder(bool withSubfolders)
{
    const QString title = withSubfolders ? QStringLiteral("Select path to add with subfolders")
                                         : QStringLiteral("Select path to add");
    const QString chosen = m_browse(this, title, m_settings.browseFolder);
    if (chosen.isEmpty())
        return;
    SetNote(QString());
    AddFolders(withSubfolders ? CPathStatements::FolderTree(chosen)
                              : std::vector<std::string>{QDir::cleanPath(chosen).toStdString()});
}

void COctavePaths::AddFolders(const std::vector<std::string>& chosen)
{
    const std::vector<std::string> folders = CPathStatements::Usable(chosen);
    QStringList problems;
    if (folders.size() != chosen.size())
        problems << QStringLiteral("Folders whose names hold a line break or \":\" cannot be on Octave's search "
                                   "path and were left out.");
    std::vector<std::string> notKept;
    if (!CStoredPaths(m_settings.userPathsFile.toStdString()).Append(folders, &notKept))
        problems << QStringLiteral("The list of added folders could not be saved to %1.").arg(m_settings.userPathsFile);
    for (const std::string& folder : notKept)
        problems << QStringLiteral("%1 is added for this session only: a folder name holding \",\" cannot be kept "
                                   "for the next start.")
                        .arg(QString::fromStdString(folder));
    SetNote(problems.join(QLatin1Char('\n')));
    if (!folders.empty())
        Commands().QueueCommand(CPathStatements::AddPath(folders), false);
}

void COctavePaths::Remove()
{
    std::vector<std::string> folders;
    for (const QTreeWidgetItem* row : SelectedNamedRows())
        folders.push_back(row->text(0).toStdString());
    folders = CPathStatements::Usable(folders);
    if (folders.empty())
        return;
    SetNote(QString());
    // The rows stay: the refresh that follows the statement refills the list.
    if (!Commands().QueueCommand(CPathStatements::RemovePath(folders), false))
        return;
    // Only what the interpreter really let go leaves the stored list;
    // without an answer the list stays as it was.
    QPointer<COctavePaths> self(this);
    const QString file = m_settings.userPathsFile;
    Commands().RunCollected(CPathStatements::OnPathQuery(folders),
                            [self, folders, file](bool ok, const std::string& answer) {
                                std::vector<std::string> kept, gone;
                                if (!ok || !CPathStatements::ReadOnPath(folders, answer, kept, gone))
                                    return;
                                const bool saved = CStoredPaths(file.toStdString()).Remove(gone);
                                if (self)
                                    self->ShowRemoveNote(saved, kept, file);
                            });
}

void COctavePaths::ShowRemoveNote(bool saved, const std::vector<std::string>& kept, const QString& file)
{
    QStringList problems;
    if (!saved)
        problems << QStringLiteral("The list of added folders could not be saved to %1.").arg(file);
    for (const std::string& folder : kept)
        problems << QStringLiteral("Octave keeps %1 on its search path: the current folder cannot be removed.")
                        .arg(QString::fromStdString(folder));
    SetNote(problems.join(QLatin1Char('\n')));
}
