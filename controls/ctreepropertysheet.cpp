#include "controls/ctreepropertysheet.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controls/cpropertypage.h"

namespace {
constexpr int kWidgetRole = Qt::UserRole + 1;
}

CTreePropertySheet::CTreePropertySheet(const QString& title, QWidget* parent)
    : QDialog(parent)
    , m_tree(new QTreeWidget(this))
    , m_stack(new QStackedWidget(this))
    , m_buttons(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this))
{
    setWindowTitle(title);
    m_tree->setHeaderHidden(true);
    m_tree->setMaximumWidth(200);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CTreePropertySheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CTreePropertySheet::reject);
    connect(m_buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { ApplyAll(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { ShowItem(item); });
    auto* body = new QHBoxLayout;
    body->addWidget(m_tree);
    body->addWidget(m_stack, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(m_buttons);
}

QTreeWidgetItem* CTreePropertySheet::NodeFor(const QString& path)
{
    const QStringList parts = path.split(QStringLiteral("::"));
    QTreeWidgetItem* parent = nullptr;
    for (const QString& part : parts) {
        QTreeWidgetItem* found = nullptr;
        const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem* child = parent ? parent->child(i) : m_tree->topLevelItem(i);
            if (child->text(0) == part)
                found = child;
        }
        if (!found) {
            found = parent ? new QTreeWidgetItem(parent, {part}) : new QTreeWidgetItem(m_tree, {part});
            // Until a page claims it, the node shows a hint.
            auto* hint = new QLabel(QStringLiteral("Select an item of '%1'.").arg(part), m_stack);
            hint->setAlignment(Qt::AlignCenter);
            m_stack->addWidget(hint);
            found->setData(0, kWidgetRole, QVariant::fromValue<QObject*>(hint));
            found->setExpanded(true);
        }
        if (parent)
            parent->setExpanded(true);
        parent = found;
    }
    return parent;
}

void CTreePropertySheet::AddPage(CPropertyPage* page, const QString& caption, const QIcon& icon)
{
    QTreeWidgetItem* item = NodeFor(caption);
    item->setIcon(0, icon);
    if (auto* hint = qobject_cast<QWidget*>(item->data(0, kWidgetRole).value<QObject*>()))
        hint->deleteLater();
    item->setData(0, kWidgetRole, QVariant::fromValue<QObject*>(page));
    m_stack->addWidget(page);
    m_pages << page;
    m_items << item;
    PutButtonsLastInTabOrder();
    if (m_pages.size() == 1)
        SetActiveIndex(0);
}

void CTreePropertySheet::PutButtonsLastInTabOrder()
{
    // Pages are made after the sheet's buttons, so Tab would jump from the
    // tree to the buttons. A widget that gets a parent joins the end of the
    // window's tab chain: taken out and put back, the buttons follow the
    // pages and Tab goes tree, page, buttons.
    m_buttons->setParent(nullptr);
    m_buttons->setParent(this);
    static_cast<QBoxLayout*>(layout())->addWidget(m_buttons);
    m_buttons->show();
}

void CTreePropertySheet::ShowItem(QTreeWidgetItem* item)
{
    if (!item)
        return;
    auto* widget = qobject_cast<QWidget*>(item->data(0, kWidgetRole).value<QObject*>());
    if (!widget)
        return;
    if (auto* page = dynamic_cast<CPropertyPage*>(widget); page && !page->WasShown()) {
        page->MarkShown();
        page->Load();
    }
    m_stack->setCurrentWidget(widget);
}

void CTreePropertySheet::SetActiveIndex(int index)
{
    if (m_items.isEmpty())
        return;
    if (index < 0 || index >= m_items.size())
        index = 0;
    m_tree->setCurrentItem(m_items[index]);
    ShowItem(m_items[index]);
}

int CTreePropertySheet::ActiveIndex() const
{
    return static_cast<int>(m_items.indexOf(m_tree->currentItem()));
}

bool CTreePropertySheet::ApplyAll()
{
    for (int i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->WasShown() && !m_pages[i]->Apply()) {
            SetActiveIndex(i);
            return false;
        }
    }
    AfterApply();
    return true;
}

void CTreePropertySheet::accept()
{
    if (ApplyAll())
        QDialog::accept();
}
