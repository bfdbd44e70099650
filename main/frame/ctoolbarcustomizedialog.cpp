#include "main/frame/ctoolbarcustomizedialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"

CToolbarCustomizeDialog::CToolbarCustomizeDialog(CMainFrame* frame)
    : QDialog(frame), m_frame(frame), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("CustomizeDialog"));
    setWindowTitle(QStringLiteral("Customize"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    auto* up = new QPushButton(QStringLiteral("Move &Up"), this);
    auto* down = new QPushButton(QStringLiteral("Move &Down"), this);
    auto* reset = new QPushButton(QStringLiteral("&Reset"), this);
    reset->setObjectName(QStringLiteral("ResetButton"));
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch(1);
    buttons->addWidget(reset);
    row->addLayout(buttons);
    layout->addLayout(row);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(box);
    connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Move(1); });
    connect(reset, &QPushButton::clicked, this, &CToolbarCustomizeDialog::Reset);
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Every command the toolbar knows, shown ones ticked in their order
    // first, the others after them unticked.
    QList<int> layoutIds = m_frame->ToolBarLayout();
    Fill(layoutIds);
    resize(420, 420);
}

void CToolbarCustomizeDialog::Fill(const QList<int>& layout)
{
    m_list->clear();
    QList<int> all = CMainFrame::DefaultToolBarLayout();
    auto add = [this](int id, bool shown) {
        QString text;
        if (id == 0)
            text = QStringLiteral("--- separator ---");
        else if (id == CommandId::HelpPlaceholder)
            text = QStringLiteral("Find help for statement (box)");
        else if (id == CommandId::DirectoryPlaceholder)
            text = QStringLiteral("Set current path (box)");
        else if (QAction* action = m_frame->Action(id))
            text = action->text().remove(QLatin1Char('&'));
        auto* item = new QListWidgetItem(text, m_list);
        item->setData(Qt::UserRole, id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    };
    for (int id : layout)
        add(id, true);
    for (int id : all) {
        if (id != 0 && !layout.contains(id))
            add(id, false);
    }
}

void CToolbarCustomizeDialog::Move(int delta)
{
    const int row = m_list->currentRow();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= m_list->count())
        return;
    QListWidgetItem* item = m_list->takeItem(row);
    m_list->insertItem(target, item);
    m_list->setCurrentRow(target);
}

void CToolbarCustomizeDialog::Reset()
{
    m_frame->ResetToolBar();
    Fill(m_frame->ToolBarLayout());
}

void CToolbarCustomizeDialog::Apply()
{
    QList<int> layout;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        if (item->checkState() == Qt::Checked)
            layout << item->data(Qt::UserRole).toInt();
    }
    m_frame->SetToolBarLayout(layout);
}
