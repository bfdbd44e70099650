#pragma once

#include <string>
#include <vector>

// One record of the profile: a function-table entry (index and name only) or
// a call-tree node (all six fields). Times are kept as the interpreter printed
// them, with "," as the decimal separator (the stored form of the clean text);
// CProfileReport reads them back as numbers.
struct CProfileNode {
    std::string index;
    std::string functionName;
    std::string selfTime;
    std::string totalTime;
    std::string numCalls;
    std::string childCount;

    bool operator==(const CProfileNode& other) const
    {
        return index == other.index && functionName == other.functionName && selfTime == other.selfTime
               && totalTime == other.totalTime && numCalls == other.numCalls && childCount == other.childCount;
    }
};

// The value type of the call tree: the same six fields.
using CHierarchicalNode = CProfileNode;

// The function table and the row table of the report.
using CProfileNodes = std::vector<CProfileNode>;
