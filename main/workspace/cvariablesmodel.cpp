#include "main/workspace/cvariablesmodel.h"

#include <QMimeData>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <set>
#include <unordered_map>

#include "controls/clistctrlex.h"
#include "main/workspace/cvariablestatements.h"

namespace {

// 16x16 row images by kind: structure, array, matrix, anything else.
QIcon KindIcon(int kind)
{
    static const QColor colours[] = {QColor(0xB0, 0x6A, 0x10), QColor(0x2A, 0x6E, 0xB8),
                                     QColor(0x2E, 0x8B, 0x3E), QColor(0x80, 0x80, 0x80)};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(colours[kind]);
    switch (kind) {
    case CInfoVariable::Structure:
        p.setBrush(colours[kind].lighter(170));
        p.drawRect(4, 1, 8, 4);
        p.drawRect(1, 10, 5, 4);
        p.drawRect(10, 10, 5, 4);
        p.drawLine(8, 5, 8, 8);
        p.drawLine(3, 8, 13, 8);
        p.drawLine(3, 8, 3, 10);
        p.drawLine(13, 8, 13, 10);
        break;
    case CInfoVariable::NumericArray:
        p.setBrush(colours[kind].lighter(170));
        p.drawRect(5, 1, 9, 9);
        p.drawRect(3, 3, 9, 9);
        p.drawRect(1, 5, 9, 9);
        break;
    case CInfoVariable::NumericMatrix:
        p.setBrush(colours[kind].lighter(170));
        p.drawRect(1, 1, 13, 13);
        for (int at : {5, 10}) {
            p.drawLine(at, 1, at, 14);
            p.drawLine(1, at, 14, at);
        }
        break;
    default:
        p.setBrush(colours[kind].lighter(150));
        p.drawEllipse(3, 3, 10, 10);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

CListCtrlEx::ColumnSort SortOf(int column)
{
    return column == CVariablesModel::Name || column == CVariablesModel::Value ? CListCtrlEx::SortText
                                                                               : CListCtrlEx::SortNumber;
}

}  // namespace

CVariablesModel::CVariablesModel(QObject* parent) : QAbstractTableModel(parent)
{
    for (int kind = 0; kind < 4; ++kind)
        m_icons[kind] = KindIcon(kind);
}

void CVariablesModel::Refill(const std::vector<CInfoVariable>& variables)
{
    beginResetModel();
    m_rows = variables;
    SortRows();
    endResetModel();
}

const CInfoVariable* CVariablesModel::Find(const std::string& name) const
{
    for (const CInfoVariable& v : m_rows)
        if (v.name == name)
            return &v;
    return nullptr;
}

std::string CVariablesModel::CellText(const CInfoVariable& v, int column)
{
    switch (column) {
    case Name: return v.name;
    case Value: return CVariableStatements::ValueText(v);
    case Min: return v.min;
    case Max: return v.max;
    case Mean: return v.mean;
    case Median: return v.median;
    case Mode: return v.mode;
    case Var: return v.var;
    case Std: return v.std;
    case Bytes: return v.bytes;
    default: return std::string();
    }
}

int CVariablesModel::InitialWidth(int column)
{
    return column == Name ? 100 : column == Value ? 120 : 80;
}

int CVariablesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CVariablesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CVariablesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const CInfoVariable& v = m_rows[std::size_t(index.row())];
    if (role == Qt::DisplayRole)
        return QString::fromStdString(CellText(v, index.column()));
    if (role == Qt::DecorationRole && index.column() == Name && v.kind >= 0 && v.kind < 4)
        return m_icons[v.kind];
    return QVariant();
}

QVariant CVariablesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* titles[] = {"Name", "Value", "Min", "Max", "Mean", "Median", "Mode", "Var", "Std", "Bytes"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromLatin1(titles[section]);
    return QVariant();
}

Qt::ItemFlags CVariablesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

void CVariablesModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::string> names;
    for (const QModelIndex& at : before)
        names.push_back(m_rows[std::size_t(at.row())].name);
    SortRows();
    std::unordered_map<std::string, int> rowOf;
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        rowOf.emplace(m_rows[row].name, int(row));
    for (int i = 0; i < before.size(); ++i) {
        const auto found = rowOf.find(names[std::size_t(i)]);
        changePersistentIndex(before[i], found != rowOf.end() ? index(found->second, before[i].column())
                                                              : QModelIndex());
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CVariablesModel::SortRows()
{
    if (m_sortColumn < 0 || m_sortColumn >= ColumnCount)
        return;
    const int column = m_sortColumn;
    const CListCtrlEx::ColumnSort kind = SortOf(column);
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const CInfoVariable& a, const CInfoVariable& b) {
        const std::string ta = CellText(a, column);
        const std::string tb = CellText(b, column);
        return descending ? CListCtrlEx::Less(kind, tb, ta) : CListCtrlEx::Less(kind, ta, tb);
    });
}

QStringList CVariablesModel::mimeTypes() const
{
    return {QStringLiteral("text/plain")};
}

QMimeData* CVariablesModel::mimeData(const QModelIndexList& indexes) const
{
    std::set<int> rows;
    for (const QModelIndex& at : indexes)
        if (at.isValid())
            rows.insert(at.row());
    QString text;
    for (int row : rows) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QString::fromStdString(m_rows[std::size_t(row)].name);
    }
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}
