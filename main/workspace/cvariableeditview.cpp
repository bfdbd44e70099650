#include "main/workspace/cvariableeditview.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QEvent>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>

#include "common/splitlist.h"
#include "controls/cgridctrl.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"
#include "main/workspace/cmatrixeditstatements.h"
#include "main/workspace/cvariablestatements.h"
#include "main/workspace/cvariableview.h"

namespace {

struct CommandInfo {
    const char* text;
    const char* status;
};

const CommandInfo kCommands[] = {
    {"Copy", "Copy the selection and put it on the Clipboard"},
    {"Cut", "Cut the selection and put it on the Clipboard"},
    {"Paste", "Insert Clipboard contents"},
    {"Add Left", "Insert Column at Left of selected column"},
    {"Add Right", "Insert Column at Right of selected column"},
    {"Delete Column", "Delete the selected column"},
    {"Add Above", "Insert Row Above the selected row"},
    {"Add Below", "Insert Row Below the selected row"},
    {"Delete Row", "Delete the selected row"},
};

std::vector<int> Dimensions(const std::string& size)
{
    std::vector<std::string> pieces;
    SplitList(size, "x", pieces, true);
    std::vector<int> dimensions;
    for (const std::string& piece : pieces)
        dimensions.push_back(std::atoi(piece.c_str()));
    return dimensions;
}

}  // namespace

CVariableEditView::CVariableEditView(ISessionCommands& commands, CSessionEvents& events, CVariableView& workspace,
                                     QWidget* parent)
    : QWidget(parent),
      m_commands(commands),
      m_workspace(workspace),
      m_toolBar(new QToolBar(this)),
      m_pages(new QComboBox(this)),
      m_grid(new CGridCtrl(this))
{
    setWindowTitle(QStringLiteral("Variable Editor"));
    CreateToolBar();
    m_grid->Model()->SetEditHandler([this](int r, int c, const QString& text) { return EditCell(r, c, text); });
    m_grid->SetDropHandler([this](const QString& text) { return DropText(text); });
    setFocusProxy(m_grid);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_grid);

    connect(&workspace, &CVariableView::viewInEditorRequested, this, [this](const QString& name) {
        // Asked for from the list: the keys typed next go into the grid.
        if (Open(name.toStdString(), true))
            m_focusOnLoad = true;
    });
    connect(&events, &CSessionEvents::variableEditorReloadRequested, this, [this] {
        if (IsSeen())
            Reload();
        else
            m_reloadMissed = true;
    });
    UpdateCommands();
}

void CVariableEditView::CreateToolBar()
{
    m_toolBar->setIconSize(QSize(16, 16));
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        if (i == 3 || i == 6)
            m_toolBar->addSeparator();
        QAction* action = m_toolBar->addAction(QString::fromLatin1(kCommands[i].text));
        action->setStatusTip(QString::fromLatin1(kCommands[i].status));
        action->setToolTip(QString::fromLatin1(kCommands[i].status));
        const Command command = Command(i);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_actions.push_back(action);
    }
    m_toolBar->addSeparator();
    m_pages->setFixedWidth(50);
    m_pages->setStatusTip(QStringLiteral("Change the current Index"));
    m_pages->setToolTip(QStringLiteral("Change the current Index"));
    m_pages->setEnabled(false);
    m_toolBar->addWidget(m_pages);
    connect(m_pages, &QComboBox::activated, this, [this] { Reload(); });
}

bool CVariableEditView::Open(const std::string& name, bool show)
{
    const CInfoVariable* variable = m_workspace.Find(name);
    if (!variable || !CVariableStatements::OpensInEditor(*variable))
        return false;
    m_name = name;
    m_page = 0;
    m_showOnLoad = show;
    RequestPage();
    return true;
}

bool CVariableEditView::IsSeen() const
{
    // A pane behind another one in its tab group is moved out of sight, not
    // hidden, so isVisible() alone still holds for it.
    return isVisible() && !visibleRegion().isEmpty();
}

bool CVariableEditView::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange) {
        if (auto* pane = qobject_cast<QDockWidget*>(parentWidget()))
            connect(pane, &QDockWidget::visibilityChanged, this, &CVariableEditView::PaneVisibilityChanged,
                    Qt::UniqueConnection);
    }
    return QWidget::event(event);
}

void CVariableEditView::PaneVisibilityChanged(bool visible)
{
    // The page shown may be out of date when the pane comes forward.
    if (visible && m_reloadMissed)
        Reload();
}

void CVariableEditView::Reload()
{
    m_reloadMissed = false;
    if (m_name.empty() || m_pages->currentText().isEmpty())
        return;
    m_page = qMax(0, m_pages->currentText().toInt() - 1);
    m_showOnLoad = true;
    RequestPage();
}

void CVariableEditView::RequestPage()
{
    const CInfoVariable* variable = m_workspace.Find(m_name);
    const bool threeD = variable && Dimensions(variable->size).size() == 3;
    const std::string file = m_commands.AnswerFolder() + "/matrix_temp.csv";
    // A file left from an earlier page must never be shown for this one.
    std::remove(file.c_str());
    const int generation = ++m_generation;
    QPointer<CVariableEditView> self(this);
    m_commands.RunCollected(CMatrixEditStatements::CsvWrite(file, m_name, m_page + 1, threeD),
                            [self, generation](bool, const std::string&) {
                                if (self)
                                    self->LoadPage(generation);
                            });
}

void CVariableEditView::LoadPage(int generation)
{
    // Only the answer to the latest request is read: an earlier one's file
    // has been written over.
    if (generation != m_generation)
        return;
    if (m_grid->IsEditing()) {
        // A reset would throw away what the user is typing: load after it.
        QTimer::singleShot(100, this, [this, generation] { LoadPage(generation); });
        return;
    }
    const std::string file = m_commands.AnswerFolder() + "/matrix_temp.csv";
    const CInfoVariable* variable = m_workspace.Find(m_name);
    if (!variable) {
        std::remove(file.c_str());
        ShowNothing();
        SetPaneVisible(false);
        return;
    }
    if (m_showOnLoad)
        SetPaneVisible(true);
    const std::string valueText = CVariableStatements::ValueText(*variable);
    SetTitle(QStringLiteral("Variable Editor - %1 %2")
                 .arg(QString::fromStdString(m_name), QString::fromStdString(valueText)));

    std::vector<int> d = Dimensions(variable->size);
    if (d.size() < 2 || d.size() > 3 || !CVariableStatements::IsNumericMatrixClass(valueText)) {
        std::remove(file.c_str());
        m_grid->Model()->Reset(0, 0);
        m_pages->clear();
        UpdateCommands();
        ++m_loads;
        return;
    }
    const int pages = d.size() == 3 ? d[2] : 1;
    if (pages > 0 && m_page >= pages) {
        // The variable lost pages: show its last one.
        m_page = pages - 1;
        RequestPage();
        return;
    }
    // An empty variable (3x0x2 after deleting every column) shows no cells.
    const bool empty = d[0] <= 0 || d[1] <= 0 || pages <= 0;
    m_rows = empty ? 0 : d[0];
    m_columns = empty ? 0 : d[1];

    const QModelIndex focus = m_grid->currentIndex();
    QByteArray bytes;
    std::shared_ptr<const void> mapping;
    CMatrixEditStatements::ReadPage(file, bytes, mapping);
    std::remove(file.c_str());
    m_grid->Model()->SetLines(m_rows, m_columns, std::move(bytes), CMatrixEditStatements::SplitLine,
                              std::move(mapping));

    m_pages->clear();
    for (int page = 1; page <= qMax(1, pages); ++page)
        m_pages->addItem(QString::number(page));
    m_pages->setCurrentIndex(qMin(m_page, m_pages->count() - 1));
    m_pages->setEnabled(d.size() == 3);

    if (!empty) {
        const bool inside = focus.isValid() && focus.row() < m_rows && focus.column() < m_columns;
        m_grid->FocusCell(inside ? focus.row() : 0, inside ? focus.column() : 0);
    }
    if (m_focusOnLoad) {
        m_focusOnLoad = false;
        m_grid->activateWindow();
        m_grid->setFocus(Qt::OtherFocusReason);
    }
    UpdateCommands();
    ++m_loads;
}

void CVariableEditView::ShowNothing()
{
    m_name.clear();
    m_rows = m_columns = 0;
    m_grid->Model()->Reset(0, 0);
    m_pages->clear();
    m_pages->setEnabled(false);
    SetTitle(QStringLiteral("Variable Editor"));
    UpdateCommands();
    ++m_loads;
}

void CVariableEditView::SetTitle(const QString& title)
{
    setWindowTitle(title);
    if (auto* dock = qobject_cast<QDockWidget*>(parentWidget()))
        dock->setWindowTitle(title);
    emit titleChanged(title);
}

void CVariableEditView::SetPaneVisible(bool visible)
{
    if (auto* dock = qobject_cast<QDockWidget*>(parentWidget())) {
        dock->setVisible(visible);
        if (visible)
            dock->raise();
    }
    emit visibilityRequested(visible);
}

void CVariableEditView::UpdateCommands()
{
    const bool rows = m_grid->Model()->rowCount() > 0;
    for (QAction* action : m_actions)
        action->setEnabled(rows);
}

bool CVariableEditView::EditCell(int row, int column, const QString& text)
{
    // Without an interpreter the cell keeps the value the variable had.
    if (m_name.empty() || !m_commands.IsConnected())
        return false;
    return m_commands.QueueCommand(
        CMatrixEditStatements::SetCell(m_name, row + 1, column + 1, m_page + 1, text.toStdString()), false);
}

bool CVariableEditView::DropText(const QString& text)
{
    return Open(text.toStdString(), false);
}

void CVariableEditView::RunCommand(Command command)
{
    switch (command) {
    case Copy: m_grid->Copy(); break;
    case Cut: m_grid->Cut(); break;
    case Paste: m_grid->Paste(); break;
    default: ShapeCommand(command); break;
    }
}

void CVariableEditView::ShapeCommand(Command command)
{
    int r1, c1, r2, c2;
    if (m_name.empty() || !m_grid->SelectedRange(r1, c1, r2, c2))
        return;
    // Counts as the grid has them, headers included.
    const int cols = m_columns + 1;
    const int rows = m_rows + 1;
    std::string statement;
    switch (command) {
    case AddLeft: statement = CMatrixEditStatements::AddLeft(m_name, c1 + 1); break;
    case AddRight: statement = CMatrixEditStatements::AddRight(m_name, c2 + 1, cols); break;
    case DeleteColumn: statement = CMatrixEditStatements::DeleteColumns(m_name, c1 + 1, c2 + 1, cols); break;
    case AddAbove: statement = CMatrixEditStatements::AddAbove(m_name, r1 + 1); break;
    case AddBelow: statement = CMatrixEditStatements::AddBelow(m_name, r2 + 1, rows); break;
    case DeleteRow: statement = CMatrixEditStatements::DeleteRows(m_name, r1 + 1, r2 + 1, rows); break;
    default: return;
    }
    m_commands.QueueCommand(statement, false);
}
