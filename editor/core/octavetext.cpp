#include "editor/core/octavetext.h"

#include <charconv>

#include <cstdio>
#include <cstring>

namespace OctaveText {

namespace {

const char* const kClosingWords[] = {
    "end_try_catch", "end_unwind_protect", "endfunction", "endif", "endfor",
    "endswitch", "endwhile", "until", "end", "catch", "unwind_protect_cleanup",
    "else", "elseif", "case", "otherwise"};

const char* const kOpeningWords[] = {
    "try", "unwind_protect", "function", "if", "for", "switch", "while", "do",
    "catch", "unwind_protect_cleanup", "else", "elseif", "case", "otherwise"};

const char kWordEnds[] = "([{)]} <>=+-*/\\&|;,.:@\"'\t";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

template <std::size_t N>
bool InList(const char* const (&list)[N], const std::string& word)
{
    for (const char* w : list) {
        if (word == w)
            return true;
    }
    return false;
}

}  // namespace

std::string FirstWord(const std::string& line)
{
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    std::size_t end = start;
    // Line ends also end the word: the line is taken with its line end.
    while (end < line.size() && line[end] != '\r' && line[end] != '\n' &&
           std::strchr(kWordEnds, line[end]) == nullptr)
        ++end;
    return line.substr(start, end - start);
}

bool IsClosingWord(const std::string& word)
{
    return InList(kClosingWords, word);
}

bool IsOpeningWord(const std::string& word)
{
    return InList(kOpeningWords, word);
}

std::string CommentPrefix(int commentSetting)
{
    switch (commentSetting) {
    case 1:
        return "% ";
    case 2:
        return "## ";
    case 3:
        return "%% ";
    default:
        return "# ";
    }
}

std::size_t UncommentLength(const std::string& line, std::size_t* start)
{
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (start)
        *start = i;
    if (i >= line.size() || (line[i] != '%' && line[i] != '#'))
        return 0;
    const char mark = line[i];
    std::size_t end = i;
    while (end < line.size() && line[end] == mark)
        ++end;
    if (end < line.size() && line[end] == ' ')
        ++end;
    return end - i;
}

std::string FormatNumber(double value)
{
    // Not through the C library: under a locale such as de_DE it writes a
    // decimal comma, which the interpreter reads as a separator.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

std::vector<CellEntry> FindCells(const char* text, std::size_t length)
{
    std::vector<CellEntry> cells;
    int lineNumber = 1;
    int unnamed = 0;
    std::size_t pos = 0;
    for (;;) {
        // A line ends at LF, CR LF or a lone CR, as the component counts lines.
        std::size_t lineEnd = pos;
        while (lineEnd < length && text[lineEnd] != '\n' && text[lineEnd] != '\r')
            ++lineEnd;
        std::size_t i = pos;
        while (i < lineEnd && IsBlank(text[i]))
            ++i;
        if (lineEnd - i >= 3 && text[i] == '%' && text[i + 1] == '%' && text[i + 2] == ' ') {
            std::string rest(text + i + 3, lineEnd - i - 3);
            if (rest.empty())
                rest = "cell " + std::to_string(++unnamed);
            cells.push_back({lineNumber, rest});
        }
        if (lineEnd >= length)
            break;
        pos = lineEnd + 1;
        if (text[lineEnd] == '\r' && pos < length && text[pos] == '\n')
            ++pos;
        ++lineNumber;
    }
    return cells;
}

}  // namespace OctaveText
