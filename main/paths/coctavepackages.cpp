#include "main/paths/coctavepackages.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

#include "controls/cmessagebox.h"
#include "main/paths/cpackagestatements.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"
#include "platform/ckestrunesettings.h"

namespace {

QString ChoosePackageFile(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Install package"), CKestruneSettings::fromSettings().workPath,
                       QStringLiteral("Octave-forge packages (*.tar.gz)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("tar.gz"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool AskYesNo(QWidget* parent, const QString& text)
{
    return CMessageBox::Show(parent, text, QStringLiteral("Packages"), QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Warning)
               .button
           == QMessageBox::Yes;
}

}  // namespace

COctavePackages::COctavePackages(ISessionCommands& commands, CSessionEvents& events, QWidget* parent)
    : CListDialog(commands, events, QStringLiteral("Packages"),
                  {QStringLiteral("Package Name"), QStringLiteral("Version"), QStringLiteral("Short description"),
                   QStringLiteral("Status")},
                  CPackageStatements::ListRequest(), parent),
      m_browse(ChoosePackageFile), m_ask(AskYesNo)
{
    connect(AddButton(QStringLiteral("Install package..."), QStringLiteral("install"), false),
            &QPushButton::clicked, this, &COctavePackages::Install);
    connect(AddButton(QStringLiteral("Load packages"), QStringLiteral("load"), true), &QPushButton::clicked, this,
            [this] { ForEachSelected(CPackageStatements::Load); });
    connect(AddButton(QStringLiteral("Load All packages"), QStringLiteral("loadAll"), false),
            &QPushButton::clicked, this, [this] { Commands().QueueCommand(CPackageStatements::LoadAll(), true); });
    connect(AddButton(QStringLiteral("Unload packages"), QStringLiteral("unload"), true), &QPushButton::clicked,
            this, [this] { ForEachSelected(CPackageStatements::Unload); });
    connect(AddButton(QStringLiteral("Uninstall packages"), QStringLiteral("uninstall"), true),
            &QPushButton::clicked, this, &COctavePackages::Uninstall);
    FinishButtons();

    const int widths[] = {120, 60, 400, 70};
    for (int c = 0; c < 4; ++c)
        List()->header()->resizeSection(c, widths[c]);
    resize(860, 420);

    // "No packages installed." and the placeholder stand in the description
    // column with no name, so they never enable the package buttons.
    connect(&events, &CSessionEvents::packageListPopulating, this, [this] { ShowPlaceholder(PopulatingText(), 2); });
    connect(&events, &CSessionEvents::packageListReady, this, [this](const std::vector<CPackageRow>& packages) {
        std::vector<QStringList> rows;
        rows.reserve(packages.size());
        for (const CPackageRow& p : packages)
            rows.push_back({QString::fromStdString(p[0]), QString::fromStdString(p[1]), QString::fromStdString(p[2]),
                            QString::fromStdString(p[3])});
        Fill(rows);
    });
}

QString COctavePackages::NoWriteAccessNote()
{
    return QStringLiteral("Octave may not write to the system folders: the package is installed for this user only.");
}

void COctavePackages::Install()
{
    const QString file = m_browse(this);
    if (file.isEmpty())
        return;
    SetNote(QString());
    const std::string path = file.toStdString();
    if (CPackageStatements::Install(path, false).empty()) {
        SetNote(QStringLiteral("A file name holding a line break cannot be passed to Octave."));
        return;
    }
    // A global install needs write access to the system folders; ask the
    // interpreter, which is the one that writes them.
    QPointer<COctavePackages> self(this);
    const bool asked = Commands().RunCollected(CPackageStatements::GlobalInstallProbe(),
                                               [self, path](bool ok, const std::string& answer) {
                                                   if (self)
                                                       self->InstallFile(
                                                           path, ok && CPackageStatements::GlobalInstallAllowed(answer));
                                               });
    if (!asked)
        InstallFile(path, false);
}

void COctavePackages::InstallFile(const std::string& file, bool global)
{
    if (!Commands().QueueCommand(CPackageStatements::Install(file, global), true))
        return;
    SetNote(global ? QString() : NoWriteAccessNote());
}

void COctavePackages::Uninstall()
{
    ForEachSelected([this](const std::string& name) {
        const QString question = QStringLiteral("Do you want to uninstall '%1' package?").arg(QString::fromStdString(name));
        return m_ask(this, question) ? CPackageStatements::Uninstall(name) : std::string();
    });
}

void COctavePackages::ForEachSelected(const std::function<std::string(const std::string& name)>& statement)
{
    std::vector<std::string> names;
    for (const QTreeWidgetItem* row : SelectedNamedRows())
        names.push_back(row->text(0).toStdString());
    for (const std::string& name : names) {
        const std::string text = statement(name);
        if (!text.empty())
            Commands().QueueCommand(text, true);
    }
}
