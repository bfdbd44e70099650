#include "editor/core/newfunctiontext.h"

#include "common/splitlist.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::string WithoutBlanks(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

std::string InputsList(const std::string& inputs)
{
    std::vector<std::string> pieces;
    SplitList(WithoutBlanks(inputs), ",", pieces, false);
    std::string list;
    for (const std::string& piece : pieces)
        list += "@var{" + piece + "}, ";
    const std::size_t lastComma = list.rfind(',');
    if (lastComma != std::string::npos)
        list.erase(lastComma);
    return list;
}

// Continues the user's own lines as comment lines, then breaks long text
// about every 60 characters at the next blank. The counter runs over the whole
// text, not per line, so the breaks land where the header always put them.
std::string DescriptionBlock(std::string text)
{
    ReplaceAll(text, "\n", "\n## ");
    std::size_t p = 1;
    for (std::size_t n = 1; p < text.size(); ++p, ++n) {
        if (n % 60 != 0)
            continue;
        const std::size_t blank = text.find(' ', p);
        if (blank != std::string::npos)
            p = blank;
        text.insert(p, "\n##");
    }
    return text;
}

// Every later line of a field gets the comment prefix too, or it would be
// read as code.
std::string CommentedLines(std::string text, const std::string& prefix)
{
    ReplaceAll(text, "\r\n", "\n");
    ReplaceAll(text, "\r", "\n");
    ReplaceAll(text, "\n", "\n" + prefix);
    return text;
}

std::string SeeAlsoList(const std::string& seeAlso)
{
    std::string text = WithoutBlanks(seeAlso);
    ReplaceAll(text, ",", ", ");
    return text;
}

std::string OutputsPart(const std::string& outputs)
{
    if (outputs.empty())
        return outputs;
    const std::size_t comma = outputs.find(',');
    if (comma != std::string::npos && comma > 0)
        return "[" + outputs + "] = ";
    return outputs + " = ";
}

}  // namespace

std::string GenerateFunctionText(const NewFunctionFields& f)
{
    std::string text;
    text += "## -*- texinfo -*-\n";
    text += "## @deftypefn {Function File} {} " + f.function + " (" + InputsList(f.inputs) + ")\n";
    text += "## " + DescriptionBlock(f.description) + "\n";
    text += "##\n";
    text += "## @example\n";
    text += "## @group\n";
    text += "## " + CommentedLines(f.example, "## ") + "\n";
    text += "##      @result{} " + CommentedLines(f.result, "##      ") + "\n";
    text += "## @end group\n";
    text += "## @end example\n";
    text += "##\n";
    text += "## @seealso{" + SeeAlsoList(f.seeAlso) + "}\n";
    text += "## @end deftypefn\n";
    text += "\n";
    text += "## Author: " + f.author + "\n";
    text += "\n";
    text += "function " + OutputsPart(f.outputs) + f.function + " (" + f.inputs + ")\n";
    text += "\n\nendfunction\n";
    return text;
}

std::string NextUntitledTitle(const std::vector<std::string>& openTitles)
{
    static const std::string kUntitled = "Untitled";
    int highest = 0;
    for (const std::string& title : openTitles) {
        if (title.compare(0, kUntitled.size(), kUntitled) != 0)
            continue;
        const int number = std::atoi(title.c_str() + kUntitled.size());
        highest = std::max(highest, number);
    }
    return kUntitled + std::to_string(highest + 1);
}
