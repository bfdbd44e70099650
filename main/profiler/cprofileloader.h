#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "main/profiler/cprofilenode.h"
#include "main/profiler/ctree.h"

// Reads the profile data file the dump script writes, rebuilds the call tree
// and turns it into the clean text: one record per call-tree node, keyed by
// its node path ("7", "7,12", "7,12,3"), which the report selects its rows by.
//
// Data file: records ending in "<#>", each the structure's access path,
// "<|>", and a payload: the function name for a function-table entry,
// Index<|>SelfTime<|>TotalTime<|>NumCalls<|>number of children for a
// call-tree node.
class CProfileLoader {
public:
    using Tree = CTree<CHierarchicalNode>;

    // Loads dataPath: parses it, writes the clean file at cleanPath and reads
    // it back into cleanText. Both files are deleted after reading. On any
    // failure (no data file, a clean file that cannot be created) the
    // function table and the clean text keep their previous content, and a
    // clean file left at cleanPath is still read. False when nothing was
    // loaded.
    static bool Load(const std::string& dataPath, const std::string& cleanPath, CProfileNodes& functionTable,
                     std::string& cleanText);

    // Builds the call tree of a data text and fills functionTable. Records
    // with too few fields, and call-tree nodes whose Index is outside the
    // function table, are skipped together with their subtrees.
    static Tree Parse(const std::string& data, CProfileNodes& functionTable);

    // Writes node and, recursively, its children as clean records.
    static void WriteHierarchy(int depth, std::ostream& out, const Tree& node);

    // Splits a record at "<|>" into at most max fields (the last keeps the
    // rest); returns how many there are.
    static std::size_t SplitRecord(std::string_view record, std::string_view* fields, std::size_t max);

    // The root's value: {"0", "Root", "0", "0", "", "0"}.
    static CHierarchicalNode RootValue();

private:
    // WriteHierarchy with the node path prefix of node already known.
    static void WriteNode(int depth, std::ostream& out, const Tree& node, const std::string& prefix);
};
