#pragma once

#include <QList>
#include <QMainWindow>
#include <QTabWidget>

class CChildFrame;

// A main window whose documents are pages of one tab strip: each tab shows
// its document's title and activating a tab activates its document.
class CTabMDIFrameWnd : public QMainWindow {
    Q_OBJECT
public:
    explicit CTabMDIFrameWnd(QWidget* parent = nullptr);

    // Adds a tab for child, labelled with its document's title, and makes
    // it the active one.
    void AddChild(CChildFrame* child);
    // Removes the tab and deletes the child.
    void DestroyChild(CChildFrame* child);
    void ActivateChild(CChildFrame* child);

    CChildFrame* ActiveChild() const;
    QList<CChildFrame*> Children() const;  // in tab order
    CChildFrame* ChildAt(int index) const;
    int TabCount() const { return m_tabs->count(); }
    int ActiveTabIndex() const { return m_tabs->currentIndex(); }
    QString TabLabel(int index) const { return m_tabs->tabText(index); }
    void SetTabLabel(CChildFrame* child, const QString& label);

    QTabWidget* TabControl() const { return m_tabs; }
    void SetTabSide(QTabWidget::TabPosition side);

signals:
    void activeChildChanged(CChildFrame* child);

protected:
    // A right click on the tab at index (never beside the tabs).
    virtual void OnTabContextMenu(int index, const QPoint& globalPos);
    // The close button of the tab at index.
    virtual void OnTabCloseRequested(int index);

private:
    QTabWidget* m_tabs;
};
