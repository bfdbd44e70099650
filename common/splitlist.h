#pragma once

#include <string>
#include <vector>

// Appends the pieces of text between separators to out. An empty separator
// counts as ",". Empty pieces are kept only with keepEmpty; an empty
// remainder after the last separator is never appended.
void SplitList(const std::string& text, const std::string& separator,
               std::vector<std::string>& out, bool keepEmpty);
