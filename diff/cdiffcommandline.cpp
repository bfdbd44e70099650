#include "diff/cdiffcommandline.h"

namespace {

bool IsOption(const std::string& arg, char letter)
{
    return arg.size() == 2 && arg[0] == '-' && (arg[1] == letter || arg[1] == letter - 'a' + 'A');
}

} // namespace

CDiffCommandLine::CDiffCommandLine(const std::vector<std::string>& args)
{
    int positional = 0;
    for (const std::string& arg : args) {
        if (IsOption(arg, 'c')) {
            caseFlag = false;
        } else if (IsOption(arg, 'i')) {
            indentFlag = false;
        } else {
            if (positional == 0)
                first = arg;
            else if (positional == 1)
                second = arg;
            else if (positional == 2)
                output = arg;
            ++positional;
        }
    }
    batch = args.size() >= 3;
    if (IsUnknown(first)) {
        first.clear();
        batch = false;
    }
    if (IsUnknown(second)) {
        second.clear();
        secondCleared = true;
    }
}

bool CDiffCommandLine::IsUnknown(const std::string& path)
{
    return path == "unknown" || path == "\"unknown\"";
}

const char* CDiffCommandLine::Usage()
{
    return "usage: kestrune-diff [-c] [-i] <file1> <file2> <outfile>\n"
           "example kestrune-diff bookshop.4.xml bookshop.5.xml diff.html\n";
}
