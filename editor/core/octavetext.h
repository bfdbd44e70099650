#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Text rules of the Octave editing commands, kept apart from the widgets so
// they can be checked on plain strings.
namespace OctaveText {

// The first word of a line (leading blanks and tabs skipped): it ends at the
// first bracket, blank, operator, separator, quote or tab.
std::string FirstWord(const std::string& line);

// Words that move their own line one level out (end, else, ...).
bool IsClosingWord(const std::string& word);
// Words that indent the following line one level (if, for, else, ...).
bool IsOpeningWord(const std::string& word);

// The text the comment command inserts for the "Comment" setting: "# ",
// "% ", "## " or "%% " (the first one for an unknown setting).
std::string CommentPrefix(int commentSetting);

// How many bytes, starting at *start (the first non-blank character), the
// uncomment command removes from line: the first "%" or "#", every directly
// following copy of it, and one blank after them. 0 for a line that is not a
// comment.
std::size_t UncommentLength(const std::string& line, std::size_t* start);

// A number as the value-stepping commands write it: six decimals without
// trailing zeros and without a trailing ".", always with a decimal point
// whatever the locale. 3.5 gives "3.5", 2.0 gives "2".
std::string FormatNumber(double value);

// One cell-break line: its 1-based line number and the name shown in the
// cell list.
struct CellEntry {
    int line = 0;
    std::string name;
};

// The cell-break lines of a text: lines that begin, after blanks and tabs,
// with "%% ". The name is the rest of the line, or "cell N" (N counting the
// unnamed breaks from 1) when the rest is empty.
std::vector<CellEntry> FindCells(const char* text, std::size_t length);

}  // namespace OctaveText
