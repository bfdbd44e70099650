#pragma once

#include <QTreeWidget>

// The history tree: headers as roots, statements as their children, with
// multiple selection (click, Ctrl+click, Shift+click, Shift+Up/Down). The
// pane's keys are reported before the tree handles them; dragging selected
// items reports the drop instead of carrying data anywhere.
class CViewTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CViewTree(QWidget* parent = nullptr);

signals:
    void evaluateKey();
    void copyKey();
    void deleteKey();
    // The user dragged the selected items and let go of the button.
    void dragReleased();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
};
