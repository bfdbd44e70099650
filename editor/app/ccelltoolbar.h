#pragma once

#include <QToolBar>

class QComboBox;

// The cell tool bar: the step and factor of the number commands and the
// list of the active document's cells, between the cell commands.
class CCellToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CCellToolBar(QWidget* parent = nullptr);

    QComboBox* StepBox() const { return m_step; }
    QComboBox* FactorBox() const { return m_factor; }
    QComboBox* CellList() const { return m_cells; }

    // The number typed in a box; 0 when it holds none.
    double Step() const;
    double Factor() const;

    // Refills the cell list; index selects an entry (-1: none). The list is
    // enabled only when it holds entries.
    void SetCells(const QStringList& names, int index);
    void SelectCell(int index);

    // Adds the box's text to its drop-down list unless the list already holds
    // it (without regard to case), keeping the list sorted.
    static void RememberText(QComboBox* box);

signals:
    void cellChosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* MakeNumberBox(const char* name, const QString& text);

    QComboBox* m_step;
    QComboBox* m_factor;
    QComboBox* m_cells;
};
