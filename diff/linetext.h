#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class COptionList;

enum LineStatus : int {
    Unchanged = 0,
    Changed = 1,
    Added = 2,
    Deleted = 3,
};

// The text a line is compared by: leading blanks dropped when "indent" is in
// force (a line of only blanks stays whole), lower case when "case" is.
std::string NormalizeLine(std::string_view text, const COptionList& options);

// h = h * 3 + c over the bytes taken as signed, wrapping in 32 bits. Only a
// filter: equal lines also need equal normalised texts.
int32_t LineHash(std::string_view text);
