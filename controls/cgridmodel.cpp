#include "controls/cgridmodel.h"

#include <cstring>

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CGridModel::Reset(int rows, int columns)
{
    SetContent(rows, columns, QByteArray(), {});
}

void CGridModel::SetContent(int rows, int columns, QByteArray bytes, std::vector<CGridSpan> spans)
{
    beginResetModel();
    m_rows = qMax(0, rows);
    m_columns = qMax(0, columns);
    m_bytes = std::move(bytes);
    m_keeper.reset();
    m_spans = std::move(spans);
    m_splitter = nullptr;
    m_lineStarts.clear();
    m_lineSpans.clear();
    m_changed.clear();
    endResetModel();
}

void CGridModel::SetLines(int rows, int columns, QByteArray bytes, LineSplitter splitter,
                          std::shared_ptr<const void> keeper)
{
    SetContent(rows, columns, std::move(bytes), {});
    m_keeper = std::move(keeper);
    m_splitter = std::move(splitter);
    const char* begin = m_bytes.constData();
    const char* const end = begin + m_bytes.size();
    const char* at = begin;
    for (int r = 0; r < m_rows && at < end; ++r) {
        m_lineStarts.push_back(quint32(at - begin));
        const void* lineEnd = std::memchr(at, '\n', std::size_t(end - at));
        at = lineEnd ? static_cast<const char*>(lineEnd) + 1 : end;
    }
    m_lineStarts.push_back(quint32(at - begin));
    m_lineSpans.assign(std::size_t(m_rows), {});
}

CGridSpan CGridModel::Span(int row, int column) const
{
    if (!m_splitter) {
        const std::size_t at = std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
        return at < m_spans.size() ? m_spans[at] : CGridSpan();
    }
    if (std::size_t(row) + 1 >= m_lineStarts.size())
        return CGridSpan();  // the text has fewer lines than the table rows
    std::vector<CGridSpan>& line = m_lineSpans[std::size_t(row)];
    if (line.empty()) {
        line.assign(std::size_t(m_columns), CGridSpan());
        const quint32 start = m_lineStarts[std::size_t(row)];
        quint32 length = m_lineStarts[std::size_t(row) + 1] - start;
        if (length > 0 && m_bytes[qsizetype(start + length - 1)] == '\n')
            --length;
        m_splitter(m_bytes.constData() + start, length, m_columns, line.data());
        for (CGridSpan& span : line)
            span.offset += start;
    }
    return line[std::size_t(column)];
}

QString CGridModel::CellText(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return QString();
    const auto changed = m_changed.constFind(Key(row, column));
    if (changed != m_changed.constEnd())
        return *changed;
    const CGridSpan span = Span(row, column);
    if (span.length == 0 || qint64(span.offset) + span.length > m_bytes.size())
        return QString();
    return QString::fromUtf8(m_bytes.constData() + span.offset, span.length);
}

void CGridModel::SetCellText(int row, int column, const QString& text)
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return;
    m_changed.insert(Key(row, column), text);
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
}

int CGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant CGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return CellText(index.row(), index.column());
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    if (m_editHandler && !m_editHandler(index.row(), index.column(), text))
        return false;
    SetCellText(index.row(), index.column(), text);
    return true;
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (m_editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant CGridModel::headerData(int section, Qt::Orientation, int role) const
{
    if (role == Qt::DisplayRole)
        return QString::number(section + 1);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}
