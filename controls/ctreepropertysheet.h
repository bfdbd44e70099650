#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>

class CPropertyPage;
class QDialogButtonBox;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

// A property sheet whose pages are chosen in a tree: a caption "A::B" puts
// page B under the node A (a node without a page of its own shows
// "Select an item of 'A'."). OK and Apply apply every page shown so far, in
// the order they were added; a page that refuses stops there.
class CTreePropertySheet : public QDialog {
public:
    explicit CTreePropertySheet(const QString& title, QWidget* parent = nullptr);

    // The sheet takes the page.
    void AddPage(CPropertyPage* page, const QString& caption, const QIcon& icon = QIcon());
    int PageCount() const { return m_pages.size(); }
    CPropertyPage* Page(int index) const { return m_pages.value(index); }

    // Out of range opens the first page.
    void SetActiveIndex(int index);
    int ActiveIndex() const;

    // Applies the shown pages; false when one refused (it is then shown).
    bool ApplyAll();

    void accept() override;

protected:
    // Called after every shown page applied.
    virtual void AfterApply() {}

private:
    QTreeWidgetItem* NodeFor(const QString& path);
    void ShowItem(QTreeWidgetItem* item);
    void PutButtonsLastInTabOrder();

    QTreeWidget* m_tree;
    QStackedWidget* m_stack;
    QDialogButtonBox* m_buttons;
    QList<CPropertyPage*> m_pages;
    QList<QTreeWidgetItem*> m_items;
};
