#pragma once

#include <QByteArray>

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

    // Reads rows lines of the page file into spans of rows x columns cells:
    // line r holds row r; missing cells stay empty, extra tokens are ignored,
    // a token is cut at 80 bytes. False (bytes and spans empty) when the
    // file cannot be read.
    static bool ReadPage(const std::string& path, int rows, int columns, QByteArray& bytes,
                         std::vector<CGridSpan>& spans);
    // The same on text already read.
    static void SplitPage(const QByteArray& bytes, int rows, int columns, std::vector<CGridSpan>& spans);
};
