#pragma once

#include <string>
#include <vector>

// The command line "[-c] [-i] <file1> <file2> <outfile>", taken apart.
class CDiffCommandLine {
public:
    // args: the arguments after the program name, quotes already removed.
    explicit CDiffCommandLine(const std::vector<std::string>& args);

    std::string first;
    std::string second;
    std::string output;
    bool batch = false;
    bool caseFlag = true;   // false: letter case is ignored ("-c")
    bool indentFlag = true; // false: leading white space is ignored ("-i")
    bool secondCleared = false;

    // Compare at once; otherwise the selection dialog is shown.
    bool RunsAtOnce() const { return batch && !secondCleared; }

    static bool IsUnknown(const std::string& path);
    static const char* Usage();
};
