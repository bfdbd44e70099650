#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>

#include <functional>
#include <memory>
#include <vector>

// Where one cell's text lies in the grid's byte buffer (UTF-8).
struct CGridSpan {
    quint32 offset = 0;
    quint32 length = 0;
};

// The cells of a grid control: a rows x columns table of texts held as one
// byte buffer plus a span per cell, so that a million cells cost two
// allocations; a QString is made only for a cell the view paints. Cells
// changed on screen are kept apart from the buffer. Header numbers are the
// 1-based row and column numbers.
class CGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Called when an in-place edit ends; false refuses the edit and the cell
    // keeps its old text.
    using EditHandler = std::function<bool(int row, int column, const QString& text)>;

    explicit CGridModel(QObject* parent = nullptr);

    // An empty table of that size.
    void Reset(int rows, int columns);
    // Splits one line of text into at most columns cell spans (offsets from
    // the line's start); cells it leaves alone stay empty.
    using LineSplitter = std::function<void(const char* line, quint32 length, int columns, CGridSpan* spans)>;

    // spans holds rows * columns entries, row by row; a span outside bytes
    // shows an empty cell.
    void SetContent(int rows, int columns, QByteArray bytes, std::vector<CGridSpan> spans);
    // Row r is line r of bytes, split by splitter when first shown: opening
    // a large table costs one scan for the line ends. keeper holds whatever
    // bytes points into (a file mapping) for as long as the table shows it.
    void SetLines(int rows, int columns, QByteArray bytes, LineSplitter splitter,
                  std::shared_ptr<const void> keeper = nullptr);

    QString CellText(int row, int column) const;
    // Changes the text on screen only; the edit handler is not called.
    void SetCellText(int row, int column, const QString& text);

    void SetEditHandler(EditHandler handler) { m_editHandler = std::move(handler); }
    void SetEditable(bool editable) { m_editable = editable; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    qint64 Key(int row, int column) const { return qint64(row) * m_columns + column; }
    CGridSpan Span(int row, int column) const;

    int m_rows = 0;
    int m_columns = 0;
    QByteArray m_bytes;
    std::shared_ptr<const void> m_keeper;
    std::vector<CGridSpan> m_spans;
    LineSplitter m_splitter;
    std::vector<quint32> m_lineStarts;
    mutable std::vector<std::vector<CGridSpan>> m_lineSpans;
    QHash<qint64, QString> m_changed;
    EditHandler m_editHandler;
    bool m_editable = true;
};
