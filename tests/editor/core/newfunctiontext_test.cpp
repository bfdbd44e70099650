#include "editor/core/newfunctiontext.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string FunctionLine(const std::string& text)
{
    for (const std::string& line : Lines(text)) {
        if (line.rfind("function ", 0) == 0)
            return line;
    }
    return "";
}

}  // namespace

TEST(NewFunctionText, DefaultFieldsGiveTheExactHeader)
{
    const std::vector<std::string> expected = {
        "## -*- texinfo -*-",
        "## @deftypefn {Function File} {} foo (@var{x}, @var{y})",
        "## The function foo subtracts @var{x} from @var{y}, then adds the",
        "## remaining arguments to the result. If @var{y} is not supplied,",
        "## then the number 19 is used by default.",
        "##",
        "## @example",
        "## @group",
        "## foo (1, [3, 5], 3, 9)",
        "##      @result{} [ 14, 16 ]",
        "## @end group",
        "## @end example",
        "##",
        "## @seealso{foo1, foo2}",
        "## @end deftypefn",
        "",
        "## Author: Author Name",
        "",
        "function z = foo (x, y)",
        "",
        "",
        "endfunction",
        "",  // the text ends with a line feed
    };
    EXPECT_EQ(Lines(GenerateFunctionText(NewFunctionFields())), expected);
}

TEST(NewFunctionText, OutputsInputsAndSeeAlsoForms)
{
    NewFunctionFields f;
    f.outputs = "a, b";
    EXPECT_EQ(FunctionLine(GenerateFunctionText(f)), "function [a, b] = foo (x, y)");
    f.outputs = ",a";  // a comma at the very start does not make a list
    EXPECT_EQ(FunctionLine(GenerateFunctionText(f)), "function ,a = foo (x, y)");
    f.outputs = "";
    EXPECT_EQ(FunctionLine(GenerateFunctionText(f)), "function foo (x, y)");

    f = NewFunctionFields();
    f.inputs = "x,,y,";
    std::string text = GenerateFunctionText(f);
    EXPECT_EQ(Lines(text)[1], "## @deftypefn {Function File} {} foo (@var{x}, @var{y})");
    EXPECT_EQ(FunctionLine(text), "function z = foo (x,,y,)");

    f.inputs = "";
    text = GenerateFunctionText(f);
    EXPECT_EQ(Lines(text)[1], "## @deftypefn {Function File} {} foo ()");
    EXPECT_EQ(FunctionLine(text), "function z = foo ()");

    f = NewFunctionFields();
    f.seeAlso = "a ,b,c";
    EXPECT_NE(GenerateFunctionText(f).find("## @seealso{a, b, c}\n"), std::string::npos);
}

TEST(NewFunctionText, DescriptionLinesAndLongWords)
{
    NewFunctionFields f;
    f.description = "first\nsecond";
    std::vector<std::string> lines = Lines(GenerateFunctionText(f));
    EXPECT_EQ(lines[2], "## first");
    EXPECT_EQ(lines[3], "## second");

    // No blank after position 60: the break falls inside the word.
    f.description = std::string(70, 'a');
    lines = Lines(GenerateFunctionText(f));
    EXPECT_EQ(lines[2], "## " + std::string(60, 'a'));
    EXPECT_EQ(lines[3], "##" + std::string(10, 'a'));
}

TEST(NewFunctionText, EveryLineOfAMultiLineExampleAndResultIsAComment)
{
    NewFunctionFields f;
    f.example = "a = foo (1)\r\nb = foo (2)";
    f.result = "1\n2";
    std::string code;
    for (const std::string& line : Lines(GenerateFunctionText(f))) {
        if (!line.empty() && line.rfind("##", 0) != 0)
            code += line + "|";
    }
    EXPECT_EQ(code, "function z = foo (x, y)|endfunction|");
    EXPECT_NE(GenerateFunctionText(f).find("## b = foo (2)\n##      @result{} 1\n##      2\n"),
              std::string::npos);
}

TEST(NewFunctionText, UntitledNumbering)
{
    EXPECT_EQ(NextUntitledTitle({}), "Untitled1");
    EXPECT_EQ(NextUntitledTitle({"Untitled1", "Untitled3"}), "Untitled4");
    EXPECT_EQ(NextUntitledTitle({"a.m", "Untitled2*", "Untitled"}), "Untitled3");
    EXPECT_EQ(NextUntitledTitle({"untitled7", "notes.m"}), "Untitled1");
}
