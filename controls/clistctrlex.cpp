#include "controls/clistctrlex.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QMenu>

#include <cctype>
#include <climits>

#include "controls/ccolumnprofile.h"

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(true);
    header()->setSectionsMovable(true);
    header()->setStretchLastSection(false);
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QHeaderView::customContextMenuRequested, this, &CListCtrlEx::ShowHeaderMenu);
}

CListCtrlEx::~CListCtrlEx() = default;

void CListCtrlEx::SetColumnProfile(const CProfile& profile, const QString& name)
{
    delete m_columns;
    m_columns = new CColumnProfile(header(), profile, name);
}

void CListCtrlEx::ShowHeaderMenu(const QPoint& at)
{
    QAbstractItemModel* m = model();
    if (!m)
        return;
    QMenu menu(this);
    QHeaderView* h = header();
    for (int column = 0; column < m->columnCount(); ++column) {
        QAction* action = menu.addAction(m->headerData(column, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(!h->isSectionHidden(column));
        // The first column always stays.
        action->setEnabled(column != 0);
        connect(action, &QAction::toggled, this, [this, h, column](bool shown) {
            h->setSectionHidden(column, !shown);
            if (m_columns)
                m_columns->Save();
        });
    }
    menu.exec(h->mapToGlobal(at));
}

long long CListCtrlEx::LeadingInteger(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        if (value > (LLONG_MAX - digit) / 10) {
            value = LLONG_MAX;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

bool CListCtrlEx::Less(ColumnSort sort, const std::string& a, const std::string& b)
{
    if (sort == SortNumber)
        return LeadingInteger(a) < LeadingInteger(b);
    return a < b;  // std::string compares as unsigned bytes
}
