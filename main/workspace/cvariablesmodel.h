#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include <string>
#include <vector>

#include "main/session/cinfovariable.h"

// The rows of the workspace list: one variable each, ten columns, sorted by
// the list's sort column (names byte-wise, numbers by leading integer) and
// sorted again after every refill. Dragging rows offers their names joined
// by blanks as text.
class CVariablesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Value, Min, Max, Mean, Median, Mode, Var, Std, Bytes, ColumnCount };

    explicit CVariablesModel(QObject* parent = nullptr);

    void Refill(const std::vector<CInfoVariable>& variables);
    const std::vector<CInfoVariable>& Variables() const { return m_rows; }
    // Exact, case-sensitive; null when there is no such variable.
    const CInfoVariable* Find(const std::string& name) const;

    static std::string CellText(const CInfoVariable& variable, int column);
    static int InitialWidth(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    void SortRows();

    std::vector<CInfoVariable> m_rows;
    QIcon m_icons[4];
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
