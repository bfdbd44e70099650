#pragma once

#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

#include "controls/cgridmodel.h"

// The variable editor's statements and the reader of the page file. Rows,
// columns and pages are 1-based as in Octave; cols and rows are the counts of
// the grid including its header (K + 1, R + 1).
class CMatrixEditStatements {
public:
    // Writes page (1-based) of name into path, blank-separated, one row a
    // line, with a leading blank. A 2-D variable is written without the page
    // index (page 2 of it does not exist).
    static std::string CsvWrite(const std::string& path, const std::string& name, int page, bool threeD);
    // An empty text assigns 0.
    static std::string SetCell(const std::string& name, int row, int column, int page, const std::string& text);

    static std::string AddLeft(const std::string& name, int column);
    static std::string AddRight(const std::string& name, int column, int cols);
    static std::string DeleteColumns(const std::string& name, int first, int last, int cols);
    static std::string AddAbove(const std::string& name, int row);
    static std::string AddBelow(const std::string& name, int row, int rows);
    static std::string DeleteRows(const std::string& name, int first, int last, int rows);

    // The page file's text, mapped rather than copied (a page of a million
    // cells is 19 MB); keeper holds the mapping, which outlives the file's
    // removal. False (bytes empty) when the file cannot be read.
    static bool ReadPage(const std::string& path, QByteArray& bytes, std::shared_ptr<const void>& keeper);
    // One line of the page file is one row: blank-separated tokens, cut at
    // 80 bytes; missing cells stay empty, extra tokens are ignored.
    static void SplitLine(const char* line, quint32 length, int columns, CGridSpan* spans);
};
