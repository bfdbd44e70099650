#pragma once

#include <QTableView>

#include <functional>

#include "controls/cgridmodel.h"

// A spreadsheet-like grid: a table view over CGridModel with numbered fixed
// headers, in-place editing, a rectangular selection, copy, cut and paste of
// cell texts (tab-separated rows, as spreadsheets exchange them) and a hook
// for dropped text. Only the visible cells are ever materialised.
class CGridCtrl : public QTableView {
    Q_OBJECT
public:
    // Decides on a text dropped onto the grid; true reports a copy.
    using DropHandler = std::function<bool(const QString& text)>;

    explicit CGridCtrl(QWidget* parent = nullptr);

    CGridModel* Model() const { return m_model; }

    // The selected cell range (0-based, inclusive). When nothing is selected
    // the focus cell is selected first and used. False on an empty grid.
    bool SelectedRange(int& row1, int& column1, int& row2, int& column2);

    // Puts the focus on a cell and selects it.
    void FocusCell(int row, int column);

    // Cut and Paste change cells as typing does: through the model's edit
    // handler, which may refuse a cell.
    void Copy();
    void Cut();
    void Paste();

    void SetDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }

    // A cell editor is open.
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CGridModel* m_model;
    DropHandler m_dropHandler;
};
