#pragma once

#include <string>
#include <vector>

// The fields of the new-function dialog, with the values it opens with.
struct NewFunctionFields {
    std::string function = "foo";
    std::string author = "Author Name";
    std::string inputs = "x, y";
    std::string outputs = "z";
    std::string description =
        "The function foo subtracts @var{x} from @var{y}, then adds the remaining arguments to "
        "the result. If @var{y} is not supplied, then the number 19 is used by default.";
    std::string example = "foo (1, [3, 5], 3, 9)";
    std::string result = "[ 14, 16 ]";
    std::string seeAlso = "foo1, foo2";
};

// The text of a new function file: a texinfo help header and an empty body.
std::string GenerateFunctionText(const NewFunctionFields& fields);

// The title of a new blank file: "Untitled" followed by one more than the
// highest number of the open titles that begin with "Untitled" ("Untitled1"
// when there is none).
std::string NextUntitledTitle(const std::vector<std::string>& openTitles);
