#include "editor/app/ctabmdiframewnd.h"

#include "editor/app/cchildframe.h"
#include "editor/core/cmarlinotedoc.h"

#include <QTabBar>

CTabMDIFrameWnd::CTabMDIFrameWnd(QWidget* parent) : QMainWindow(parent), m_tabs(new QTabWidget(this))
{
    m_tabs->setObjectName("tabControl");
    m_tabs->setDocumentMode(true);
    m_tabs->setTabsClosable(true);
    m_tabs->setMovable(true);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideNone);
    setCentralWidget(m_tabs);

    QTabBar* bar = m_tabs->tabBar();
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, this, [this, bar](const QPoint& pos) {
        const int index = bar->tabAt(pos);
        if (index >= 0)
            OnTabContextMenu(index, bar->mapToGlobal(pos));
    });
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) { OnTabCloseRequested(index); });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int) { emit activeChildChanged(ActiveChild()); });
}

void CTabMDIFrameWnd::AddChild(CChildFrame* child)
{
    const int index = m_tabs->addTab(child, child->Document()->GetTitle());
    m_tabs->setTabToolTip(index, child->Document()->GetPath());
    connect(child->Document(), &CMarlinoteDoc::titleChanged, this,
            [this, child](const QString& title) { SetTabLabel(child, title); });
    connect(child->Document(), &CMarlinoteDoc::pathChanged, this, [this, child](const QString& path) {
        const int at = m_tabs->indexOf(child);
        if (at >= 0)
            m_tabs->setTabToolTip(at, path);
    });
    ActivateChild(child);
}

void CTabMDIFrameWnd::DestroyChild(CChildFrame* child)
{
    const int index = m_tabs->indexOf(child);
    if (index >= 0)
        m_tabs->removeTab(index);
    delete child;
}

void CTabMDIFrameWnd::ActivateChild(CChildFrame* child)
{
    if (!child)
        return;
    m_tabs->setCurrentWidget(child);
    child->setFocus();
}

CChildFrame* CTabMDIFrameWnd::ActiveChild() const
{
    return qobject_cast<CChildFrame*>(m_tabs->currentWidget());
}

QList<CChildFrame*> CTabMDIFrameWnd::Children() const
{
    QList<CChildFrame*> children;
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (auto* child = ChildAt(i))
            children.append(child);
    }
    return children;
}

CChildFrame* CTabMDIFrameWnd::ChildAt(int index) const
{
    return qobject_cast<CChildFrame*>(m_tabs->widget(index));
}

void CTabMDIFrameWnd::SetTabLabel(CChildFrame* child, const QString& label)
{
    const int index = m_tabs->indexOf(child);
    if (index >= 0)
        m_tabs->setTabText(index, label);
}

void CTabMDIFrameWnd::SetTabSide(QTabWidget::TabPosition side)
{
    m_tabs->setTabPosition(side);
}

void CTabMDIFrameWnd::OnTabContextMenu(int index, const QPoint&)
{
    ActivateChild(ChildAt(index));
}

void CTabMDIFrameWnd::OnTabCloseRequested(int index)
{
    DestroyChild(ChildAt(index));
}
