#include "main/workspace/cmatrixeditstatements.h"

#include <QFile>

#include <array>

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

bool CMatrixEditStatements::ReadPage(const std::string& path, QByteArray& bytes,
                                     std::shared_ptr<const void>& keeper)
{
    bytes.clear();
    keeper.reset();
    auto file = std::make_shared<QFile>(QString::fromStdString(path));
    if (!file->open(QIODevice::ReadOnly))
        return false;
    if (file->size() == 0)
        return true;
    if (const uchar* mapped = file->map(0, file->size())) {
        bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(file->size()));
        keeper = file;
    } else {
        bytes = file->readAll();
    }
    return true;
}

void CMatrixEditStatements::SplitLine(const char* line, quint32 length, int columns, CGridSpan* spans)
{
    static const auto blank = [] {
        std::array<bool, 256> table{};
        for (unsigned char c : {' ', '\t', '\r', ','})
            table[c] = true;
        return table;
    }();
    const char* at = line;
    const char* const end = line + length;
    for (int c = 0; at < end && c < columns;) {
        if (blank[static_cast<unsigned char>(*at)]) {
            ++at;
            continue;
        }
        const char* start = at;
        while (at < end && !blank[static_cast<unsigned char>(*at)])
            ++at;
        spans[c++] = {quint32(start - line), qMin(quint32(at - start), kTokenWidth)};
    }
}
