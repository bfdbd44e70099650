#include "main/profiler/cprofileloader.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "common/splitlist.h"

namespace {

bool ReadJoinedLines(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    all.erase(std::remove_if(all.begin(), all.end(), [](char c) { return c == '\n' || c == '\r'; }), all.end());
    text.swap(all);
    return true;
}

std::string WithCommas(std::string time)
{
    std::replace(time.begin(), time.end(), '.', ',');
    return time;
}

// The number between the first "(" and the last ")"; position + 1 when the
// path has none (a table of one entry adds no "(k)").
std::string TableIndex(const std::string& path, std::size_t position)
{
    const std::size_t open = path.find('(');
    const std::size_t close = path.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close <= open)
        return std::to_string(position + 1);
    return path.substr(open + 1, close - open - 1);
}

}  // namespace

CHierarchicalNode CProfileLoader::RootValue()
{
    return CHierarchicalNode{"0", "Root", "0", "0", "", "0"};
}

CProfileLoader::Tree CProfileLoader::Parse(const std::string& data, CProfileNodes& functionTable)
{
    functionTable.clear();
    std::vector<std::string> records;
    SplitList(data, "<#>", records, true);

    Tree root(RootValue());
    Tree last = root;
    Tree parent = root;
    int currentDepth = 1;
    // Nodes below a skipped node are skipped too: attached elsewhere they
    // would show under the wrong caller.
    int skipBelow = INT_MAX;
    std::vector<std::string> fields;
    for (const std::string& record : records) {
        fields.clear();
        SplitList(record, "<|>", fields, true);
        if (fields.empty())
            continue;
        const std::string& path = fields[0];
        if (path.find("FunctionTable") != std::string::npos) {
            if (fields.size() < 2)
                continue;
            CProfileNode entry;
            entry.index = TableIndex(path, functionTable.size());
            entry.functionName = fields[1];
            functionTable.push_back(std::move(entry));
        } else if (path.find("Hierarchical") != std::string::npos) {
            const int depth = static_cast<int>(std::count(path.begin(), path.end(), '.'));
            if (depth > skipBelow)
                continue;
            skipBelow = INT_MAX;
            const long n = fields.size() >= 6 ? std::strtol(fields[1].c_str(), nullptr, 10) : 0;
            if (n < 1 || static_cast<std::size_t>(n) > functionTable.size()) {
                skipBelow = depth;
                continue;
            }
            CHierarchicalNode value{fields[1], functionTable[static_cast<std::size_t>(n - 1)].functionName,
                                    WithCommas(fields[2]), WithCommas(fields[3]), fields[4], fields[5]};
            if (depth > currentDepth) {
                last = last.AddChild(std::move(value));
                parent = last.Parent();
            } else {
                for (int up = depth; up < currentDepth; ++up)
                    parent = parent.Parent();
                last = parent.AddChild(std::move(value));
            }
            currentDepth = depth;
        }
    }
    return root;
}

void CProfileLoader::WriteHierarchy(int depth, std::ostream& out, const Tree& node)
{
    std::string prefix;
    for (Tree up = node.Parent(); !node.IsRoot() && up.Value().index != "0"; up = up.Parent()) {
        prefix.insert(0, up.Value().index + ",");
        if (up.IsRoot())
            break;
    }
    const CHierarchicalNode& v = node.Value();
    out << prefix << v.index << "<|>" << v.functionName << "<|>" << v.selfTime << "<|>" << v.totalTime << "<|>"
        << v.numCalls << "<|>" << v.childCount << "<#>";
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        WriteHierarchy(depth + 1, out, node.Child(i));
}

bool CProfileLoader::Load(const std::string& dataPath, const std::string& cleanPath, CProfileNodes& functionTable,
                          std::string& cleanText)
{
    CProfileNodes table;
    std::string data;
    const bool dataRead = ReadJoinedLines(dataPath, data);
    if (dataRead) {
        std::remove(dataPath.c_str());
        const Tree root = Parse(data, table);
        std::ofstream clean(cleanPath, std::ios::binary | std::ios::trunc);
        if (clean) {
            WriteHierarchy(0, clean, root);
            clean.close();
            // A part-written file (a full disk) would show half a profile.
            if (!clean)
                std::remove(cleanPath.c_str());
        }
    }
    std::string text;
    if (!ReadJoinedLines(cleanPath, text))
        return false;
    std::remove(cleanPath.c_str());
    cleanText.swap(text);
    if (dataRead)
        functionTable.swap(table);
    return true;
}
