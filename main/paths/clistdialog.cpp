#include "main/paths/clistdialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

namespace {

// Rows the dialog shows itself ("Populating list...") carry this flag.
constexpr int kPlaceholderRole = Qt::UserRole + 1;

}  // namespace

CListDialog::CListDialog(ISessionCommands& commands, CSessionEvents& events, const QString& title,
                         const QStringList& headings, std::string listRequest, QWidget* parent)
    : QDialog(parent), m_commands(commands), m_listRequest(std::move(listRequest)),
      m_connected(commands.IsConnected())
{
    setWindowTitle(title);
    setSizeGripEnabled(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setColumnCount(headings.size());
    m_list->setHeaderLabels(headings);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setStretchLastSection(true);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_note->hide();

    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(m_note);
    m_buttons = new QVBoxLayout;
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(m_buttons);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CListDialog::UpdateEnabling);
    connect(&events, &CSessionEvents::connectionChanged, this, [this](bool connected) {
        const bool reconnected = connected && !m_connected;
        m_connected = connected;
        UpdateEnabling();
        // A new session has a list of its own.
        if (reconnected && isVisible())
            Refresh();
    });
}

QPushButton* CListDialog::AddButton(const QString& text, const QString& objectName, bool actsOnSelection)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    m_buttons->addWidget(button);
    m_sessionButtons << button;
    if (actsOnSelection)
        m_selectionButtons << button;
    return button;
}

void CListDialog::FinishButtons()
{
    QPushButton* refresh = AddButton(QStringLiteral("Refresh"), QStringLiteral("refresh"), false);
    refresh->setDefault(true);
    connect(refresh, &QPushButton::clicked, this, &CListDialog::Refresh);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    m_buttons->addWidget(close);
    m_buttons->addStretch(1);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    UpdateEnabling();
}

void CListDialog::Refresh()
{
    m_commands.QueueCommand(m_listRequest, false);
}

void CListDialog::Open()
{
    if (!isVisible()) {
        show();
    } else {
        Refresh();
        raise();
    }
    activateWindow();
}

void CListDialog::ShowPlaceholder(const QString& text, int column)
{
    m_list->clear();
    auto* row = new QTreeWidgetItem(m_list);
    row->setText(column, text);
    row->setData(0, kPlaceholderRole, true);
    UpdateEnabling();
}

void CListDialog::Fill(const std::vector<QStringList>& rows)
{
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const QStringList& texts : rows)
        items << new QTreeWidgetItem(texts);
    m_list->addTopLevelItems(items);
    UpdateEnabling();
}

bool CListDialog::Named(const QTreeWidgetItem* row)
{
    return !row->text(0).isEmpty() && !row->data(0, kPlaceholderRole).toBool();
}

QList<QTreeWidgetItem*> CListDialog::SelectedNamedRows() const
{
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        if (row->isSelected() && Named(row))
            rows << row;
    }
    return rows;
}

void CListDialog::UpdateEnabling()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    QTreeWidgetItem* first = nullptr;
    for (QTreeWidgetItem* row : selected)
        if (!first || m_list->indexOfTopLevelItem(row) < m_list->indexOfTopLevelItem(first))
            first = row;
    const bool named = first && Named(first);
    for (QPushButton* button : m_sessionButtons)
        button->setEnabled(m_connected && (named || !m_selectionButtons.contains(button)));
}

void CListDialog::SetNote(const QString& text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

void CListDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window system's show (restoring a minimised dialog) is no reopening.
    if (event->spontaneous())
        return;
    SetNote(QString());
    Refresh();
}
