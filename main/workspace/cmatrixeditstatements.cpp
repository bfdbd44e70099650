#include "main/workspace/cmatrixeditstatements.h"

#include <QFile>

#include "platform/octavequote.h"

namespace {

const quint32 kTokenWidth = 80;

std::string Num(int value)
{
    return std::to_string(value);
}

}  // namespace

std::string CMatrixEditStatements::CsvWrite(const std::string& path, const std::string& name, int page,
                                            bool threeD)
{
    const std::string pageIndex = threeD ? Num(page) : "1";
    return "csvwrite(" + OctaveQuoted(path) + ", " + name + "(:,:," + pageIndex
           + "), 'delimiter', ' ', 'coffset', 1); ";
}

std::string CMatrixEditStatements::SetCell(const std::string& name, int row, int column, int page,
                                           const std::string& text)
{
    return name + "(" + Num(row) + "," + Num(column) + "," + Num(page) + ")=" + (text.empty() ? "0" : text) + ";";
}

std::string CMatrixEditStatements::AddLeft(const std::string& name, int column)
{
    const std::string prefix = column > 1 ? name + "(:,1:" + Num(column - 1) + ",:)," : std::string();
    return name + "=[" + prefix + "zeros(size(" + name + ",1),1,size(" + name + ",3))," + name + "(:,"
           + Num(column) + ":end,:)];";
}

std::string CMatrixEditStatements::AddRight(const std::string& name, int column, int cols)
{
    const std::string suffix = column < cols ? "," + name + "(:," + Num(column + 1) + ":end,:)" : std::string();
    return name + "=[" + name + "(:,1:" + Num(column) + ",:),zeros(size(" + name + ",1),1,size(" + name
           + ",3))" + suffix + "];";
}

std::string CMatrixEditStatements::DeleteColumns(const std::string& name, int first, int last, int cols)
{
    const std::string left = first > 1 ? name + "(:,1:" + Num(first - 1) + ",:)" : std::string();
    const std::string right = last < cols ? name + "(:," + Num(last + 1) + ":end,:)" : std::string();
    return name + "=[" + left + (left.empty() ? "" : ",") + right + "];";
}

std::string CMatrixEditStatements::AddAbove(const std::string& name, int row)
{
    const std::string prefix = row > 1 ? name + "(1:" + Num(row - 1) + ",:,:);" : std::string();
    return name + "=[" + prefix + "zeros(1,size(" + name + ",2),size(" + name + ",3));" + name + "(" + Num(row)
           + ":end,:,:)];";
}

std::string CMatrixEditStatements::AddBelow(const std::string& name, int row, int rows)
{
    const std::string suffix = row < rows ? ";" + name + "(" + Num(row + 1) + ":end,:,:)" : std::string();
    return name + "=[" + name + "(1:" + Num(row) + ",:,:);zeros(1,size(" + name + ",2),size(" + name + ",3))"
           + suffix + "];";
}

std::string CMatrixEditStatements::DeleteRows(const std::string& name, int first, int last, int rows)
{
    const std::string left = first > 1 ? name + "(1:" + Num(first - 1) + ",:,:)" : std::string();
    const std::string right = last < rows ? name + "(" + Num(last + 1) + ":end,:,:)" : std::string();
    return name + "=[" + left + (left.empty() ? "" : ";") + right + "];";
}

bool CMatrixEditStatements::ReadPage(const std::string& path, int rows, int columns, QByteArray& bytes,
                                     std::vector<CGridSpan>& spans)
{
    bytes.clear();
    spans.clear();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    SplitPage(bytes, rows, columns, spans);
    return true;
}

void CMatrixEditStatements::SplitPage(const QByteArray& bytes, int rows, int columns,
                                      std::vector<CGridSpan>& spans)
{
    spans.assign(std::size_t(qMax(0, rows)) * std::size_t(qMax(0, columns)), CGridSpan());
    const char* text = bytes.constData();
    const quint32 size = quint32(bytes.size());
    quint32 at = 0;
    for (int r = 0; r < rows && at < size; ++r) {
        int c = 0;
        while (at < size && text[at] != '\n') {
            if (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == ',') {
                ++at;
                continue;
            }
            const quint32 start = at;
            while (at < size && text[at] != ' ' && text[at] != '\t' && text[at] != '\r' && text[at] != '\n'
                   && text[at] != ',')
                ++at;
            if (c < columns)
                spans[std::size_t(r) * std::size_t(columns) + std::size_t(c)] = {start,
                                                                                   qMin(at - start, kTokenWidth)};
            ++c;
        }
        ++at;  // the line end
    }
}
