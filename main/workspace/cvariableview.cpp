#include "main/workspace/cvariableview.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <set>

#include "controls/clistctrlex.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"
#include "main/workspace/cvariablesmodel.h"
#include "main/workspace/cvariablestatements.h"
#include "main/workspace/cworkspacedialogs.h"
#include "platform/cprofile.h"

namespace {

struct CommandInfo {
    CVariableView::Command command;
    const char* text;
    const char* status;
    QStyle::StandardPixmap icon;
};

const CommandInfo kCommands[] = {
    {CVariableView::Load, "Load...", "Loads variables from a file", QStyle::SP_DialogOpenButton},
    {CVariableView::View, "View", "View data on variable", QStyle::SP_FileDialogContentsView},
    {CVariableView::SaveAs, "Save As...", "Saves variables to a file", QStyle::SP_DialogSaveButton},
    {CVariableView::Delete, "Delete", "Delete variable", QStyle::SP_TrashIcon},
    {CVariableView::Duplicate, "Duplicate", "Duplicate variable", QStyle::SP_FileDialogNewFolder},
    {CVariableView::Rename, "Rename", "Renames variable", QStyle::SP_FileDialogDetailedView},
    {CVariableView::SelectAll, "Select All", "Select all variables", QStyle::SP_DialogApplyButton},
    {CVariableView::Refresh, "Refresh", "Refresh list of variables", QStyle::SP_BrowserReload},
};

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

CVariableView::CVariableView(ISessionCommands& commands, CSessionEvents& events, const CProfile& profile,
                             QWidget* parent)
    : QWidget(parent),
      m_commands(commands),
      m_ownDialogs(std::make_unique<CWorkspaceDialogs>()),
      m_dialogs(m_ownDialogs.get()),
      m_toolBar(new QToolBar(this)),
      m_list(new CListCtrlEx(this)),
      m_model(new CVariablesModel(this))
{
    setWindowTitle(QStringLiteral("Workspace"));
    CreateToolBar();

    m_list->setObjectName(QStringLiteral("VariablesList"));
    m_list->setModel(m_model);
    m_list->setIconSize(QSize(16, 16));
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->setDefaultDropAction(Qt::CopyAction);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_list->setLineWidth(1);
    for (int column = 0; column < CVariablesModel::ColumnCount; ++column)
        m_list->header()->resizeSection(column, CVariablesModel::InitialWidth(column));
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->SetColumnProfile(profile, QStringLiteral("VariablesList"));
    m_list->installEventFilter(this);
    m_list->setEnabled(commands.IsConnected());
    setFocusProxy(m_list);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    auto* inset = new QVBoxLayout;
    inset->setContentsMargins(1, 1, 1, 1);
    inset->addWidget(m_list);
    layout->addLayout(inset);

    connect(m_list, &QWidget::customContextMenuRequested, this, &CVariableView::ShowContextMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &CVariableView::ViewVariable);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CVariableView::UpdateCommands);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CVariableView::UpdateCommands);
    connect(&events, &CSessionEvents::variablesRefilled, this, &CVariableView::Refill);
    connect(&events, &CSessionEvents::connectionChanged, m_list, &QWidget::setEnabled);
    connect(&events, &CSessionEvents::workspaceShowRequested, this, [this] {
        if (auto* dock = qobject_cast<QDockWidget*>(parentWidget())) {
            dock->show();
            dock->raise();
        }
        emit showRequested();
    });
    UpdateCommands();
}

CVariableView::~CVariableView() = default;

void CVariableView::SetDialogs(IWorkspaceDialogs* dialogs)
{
    m_dialogs = dialogs ? dialogs : m_ownDialogs.get();
}

void CVariableView::CreateToolBar()
{
    m_toolBar->setIconSize(QSize(16, 16));
    for (const CommandInfo& info : kCommands) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(info.icon), QString::fromLatin1(info.text));
        action->setStatusTip(QString::fromLatin1(info.status));
        action->setToolTip(QString::fromLatin1(info.status));
        const int command = info.command;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_actions.push_back(action);
    }
}

QAction* CVariableView::CommandAction(Command command) const
{
    return command >= 0 && std::size_t(command) < m_actions.size() ? m_actions[std::size_t(command)] : nullptr;
}

void CVariableView::Refill(const std::vector<CInfoVariable>& variables)
{
    const std::vector<std::string> selected = SelectedNames();
    const QString current = m_list->currentIndex().isValid()
                                ? m_model->index(m_list->currentIndex().row(), 0).data().toString()
                                : QString();
    m_model->Refill(variables);
    // The rows are new; the user's selection stays on the same names.
    const std::set<std::string> keep(selected.begin(), selected.end());
    QItemSelection selection;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const std::string& name = m_model->Variables()[std::size_t(row)].name;
        if (keep.count(name))
            selection.select(m_model->index(row, 0), m_model->index(row, CVariablesModel::ColumnCount - 1));
        if (Q(name) == current)
            m_list->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    }
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    UpdateCommands();
}

std::vector<std::string> CVariableView::SelectedNames() const
{
    std::vector<std::string> names;
    for (const CInfoVariable& v : SelectedVariables())
        names.push_back(v.name);
    return names;
}

std::vector<CInfoVariable> CVariableView::SelectedVariables() const
{
    std::set<int> rows;
    for (const QModelIndex& at : m_list->selectionModel()->selectedRows())
        rows.insert(at.row());
    std::vector<CInfoVariable> variables;
    for (int row : rows)
        variables.push_back(m_model->Variables()[std::size_t(row)]);
    return variables;
}

const CInfoVariable* CVariableView::Find(const std::string& name) const
{
    return m_model->Find(name);
}

void CVariableView::UpdateCommands()
{
    const bool any = m_list->selectionModel()->hasSelection();
    for (Command c : {View, SaveAs, Delete, Duplicate, Rename})
        CommandAction(c)->setEnabled(any);
}

QMenu* CVariableView::CreateContextMenu(QWidget* parent)
{
    const std::vector<CInfoVariable> selected = SelectedVariables();
    const bool one = selected.size() == 1;
    const bool any = !selected.empty();
    auto* menu = new QMenu(parent);
    auto add = [&](QMenu* into, int command, const QString& text, bool enabled) {
        QAction* action = into->addAction(text);
        action->setData(command);
        action->setEnabled(enabled);
    };
    add(menu, Load, QStringLiteral("Load..."), true);
    add(menu, View, QStringLiteral("View"), one);
    add(menu, SaveAs, QStringLiteral("Save As..."), any);
    menu->addSeparator();
    add(menu, Delete, QStringLiteral("Delete"), any);
    add(menu, Duplicate, QStringLiteral("Duplicate"), any);
    add(menu, Rename, QStringLiteral("Rename"), one);
    menu->addSeparator();
    add(menu, SelectAll, QStringLiteral("Select All"), true);
    add(menu, Refresh, QStringLiteral("Refresh"), true);
    menu->addSeparator();
    QMenu* plot = menu->addMenu(QStringLiteral("Plot"));
    plot->setEnabled(any);
    const std::vector<std::string>& functions = CVariableStatements::PlotFunctions();
    for (std::size_t i = 0; i < functions.size(); ++i) {
        if (i == 1 || i == 10)
            plot->addSeparator();
        bool accepted = any;
        for (const CInfoVariable& v : selected)
            accepted = accepted && CVariableStatements::PlotAccepts(functions[i], v);
        add(plot, PlotFirst + int(i), Q(functions[i]), accepted);
    }
    return menu;
}

void CVariableView::RunMenuAction(QAction* chosen)
{
    if (chosen && chosen->isEnabled() && chosen->data().isValid())
        RunCommand(chosen->data().toInt());
}

void CVariableView::ShowContextMenu(const QPoint& at)
{
    QMenu* menu = CreateContextMenu(this);
    QAction* chosen = menu->exec(m_list->viewport()->mapToGlobal(at));
    // The command runs after the menu has closed.
    RunMenuAction(chosen);
    menu->deleteLater();
}

void CVariableView::RunCommand(int command)
{
    switch (command) {
    case Load: LoadFile(); break;
    case View: ViewVariable(); break;
    case SaveAs: SaveVariablesAs(); break;
    case Delete: DeleteVariables(); break;
    case Duplicate: DuplicateVariables(); break;
    case Rename: RenameVariable(); break;
    case SelectAll: SelectAllVariables(); break;
    case Refresh: RefreshList(); break;
    default: {
        const std::vector<std::string>& functions = CVariableStatements::PlotFunctions();
        const int index = command - PlotFirst;
        if (index >= 0 && std::size_t(index) < functions.size())
            PlotVariables(Q(functions[std::size_t(index)]));
    }
    }
}

bool CVariableView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::FocusIn)
        SelectCurrentRow();
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        // The command runs first; the key then goes on to the list.
        if (ctrl && key->key() == Qt::Key_O)
            LoadFile();
        else if (ctrl && key->key() == Qt::Key_S)
            SaveVariablesAs();
        else if (ctrl && key->key() == Qt::Key_A)
            SelectAllVariables();
        else if (!ctrl && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))
            ViewVariable();
        else if (!ctrl && key->key() == Qt::Key_Delete)
            DeleteVariables();
        else if (!ctrl && key->key() == Qt::Key_F2)
            RenameVariable();
        else if (!ctrl && key->key() == Qt::Key_F5)
            RefreshList();
    }
    return QWidget::eventFilter(watched, event);
}

void CVariableView::SelectCurrentRow()
{
    // A list that takes the keys with rows but no selection selects its
    // current row (or the first), so Enter and the commands have a target.
    if (m_model->rowCount() == 0 || m_list->selectionModel()->hasSelection())
        return;
    const QModelIndex current = m_list->currentIndex();
    const QModelIndex row = m_model->index(current.isValid() ? current.row() : 0, 0);
    m_list->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CVariableView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_list->setFocus();
}

void CVariableView::Queue(const std::string& statement, bool echo)
{
    if (!statement.empty())
        m_commands.QueueCommand(statement, echo);
}

void CVariableView::Tell(const std::string& message)
{
    if (!message.empty())
        m_dialogs->Tell(this, Q(message));
}

void CVariableView::LoadFile()
{
    const QString path = m_dialogs->OpenFileName(this);
    if (path.isEmpty() || QFileInfo(path).suffix().isEmpty())
        return;
    std::string statement, message;
    if (CVariableStatements::Load(path.toStdString(), statement, message))
        Queue(statement);
    else
        Tell(message);
}

void CVariableView::ViewVariable()
{
    const std::vector<CInfoVariable> selected = SelectedVariables();
    if (selected.empty())
        return;
    const CInfoVariable& first = selected.front();
    if (CVariableStatements::OpensInEditor(first))
        emit viewInEditorRequested(Q(first.name));
    else if (CVariableStatements::IsIdentifier(first.name))
        Queue(first.name, true);
}

void CVariableView::SaveVariablesAs()
{
    const std::vector<CInfoVariable> selected = SelectedVariables();
    if (selected.empty())
        return;
    const QString path = m_dialogs->SaveFileName(this);
    const QString extension = QFileInfo(path).suffix();
    if (path.isEmpty() || extension.isEmpty())
        return;
    std::string statement, message;
    CVariableStatements::Save(path.toStdString(), extension.toStdString(), selected, statement, message);
    Queue(statement);
    Tell(message);
}

void CVariableView::SaveWorkspaceAs()
{
    SelectAllVariables();
    SaveVariablesAs();
}

void CVariableView::DeleteVariables()
{
    const std::vector<std::string> names = SelectedNames();
    if (names.empty())
        return;
    const QString question = names.size() == 1
                                 ? QStringLiteral("Are you sure you want delete '%1'?").arg(Q(names.front()))
                                 : QStringLiteral("Are you sure you want delete selected variables?");
    if (m_dialogs->AskYesNo(this, question))
        Queue(CVariableStatements::Delete(names));
}

void CVariableView::DuplicateVariables()
{
    const std::vector<std::string> names = SelectedNames();
    if (names.empty())
        return;
    QString suffix = QStringLiteral("Copy");
    if (!m_dialogs->AskText(this, QStringLiteral("Duplicate variables"), QStringLiteral("Suffix:"), suffix))
        return;
    std::vector<std::string> statements, targets;
    for (const std::string& name : names) {
        std::string statement, message;
        if (!CVariableStatements::Duplicate(name, suffix.toStdString(), statement, message)) {
            Tell(message);
            return;
        }
        statements.push_back(statement);
        targets.push_back(name + suffix.toStdString());
    }
    if (!MayReplace(targets))
        return;
    for (const std::string& statement : statements)
        Queue(statement);
}

void CVariableView::RenameVariable()
{
    const std::vector<std::string> names = SelectedNames();
    if (names.empty())
        return;
    QString newName = Q(names.front());
    if (!m_dialogs->AskText(this, QStringLiteral("Rename variable"), QStringLiteral("New name:"), newName))
        return;
    const std::string target = newName.trimmed().toStdString();
    std::string statement, message;
    if (!CVariableStatements::Rename(names.front(), target, statement, message))
        Tell(message);
    else if (!statement.empty() && MayReplace({target}))
        Queue(statement);
}

bool CVariableView::MayReplace(const std::vector<std::string>& targets)
{
    std::vector<std::string> taken;
    for (const std::string& name : targets)
        if (Find(name))
            taken.push_back(name);
    if (taken.empty())
        return true;
    const QString question =
        taken.size() == 1
            ? QStringLiteral("A variable named '%1' already exists. Replace it?").arg(Q(taken.front()))
            : QStringLiteral("Some of the new names are taken by other variables. Replace them?");
    return m_dialogs->AskYesNo(this, question);
}

void CVariableView::SelectAllVariables()
{
    m_list->selectAll();
    if (m_model->rowCount() > 0)
        m_list->selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
    m_list->setFocus();
}

void CVariableView::RefreshList()
{
    m_commands.RequestWorkspaceRefresh();
}

void CVariableView::PlotVariables(const QString& function)
{
    Queue(CVariableStatements::Plot(function.toStdString(), SelectedNames()), true);
}
