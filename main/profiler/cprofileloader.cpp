#include "main/profiler/cprofileloader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace {

bool ReadJoinedLines(const std::string& path, std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::string all;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        const char* end = buffer + got;
        for (const char* from = buffer; from < end;) {
            const char* line = std::find_if(from, end, [](char c) { return c == '\n' || c == '\r'; });
            all.append(from, line);
            from = line == end ? end : line + 1;
        }
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (ok)
        text.swap(all);
    return ok;
}

std::string WithCommas(std::string_view stored)
{
    std::string time(stored);
    std::replace(time.begin(), time.end(), '.', ',');
    return time;
}

// The number between the first "(" and the last ")"; position + 1 when the
// path has none (a table of one entry adds no "(k)").
std::string TableIndex(std::string_view path, std::size_t position)
{
    const std::size_t open = path.find('(');
    const std::size_t close = path.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close <= open)
        return std::to_string(position + 1);
    return std::string(path.substr(open + 1, close - open - 1));
}

}  // namespace

std::size_t CProfileLoader::SplitRecord(std::string_view record, std::string_view* fields, std::size_t max)
{
    std::size_t n = 0;
    std::size_t start = 0;
    while (n + 1 < max) {
        const std::size_t hit = record.find("<|>", start);
        if (hit == std::string_view::npos)
            break;
        fields[n++] = record.substr(start, hit - start);
        start = hit + 3;
    }
    fields[n++] = record.substr(start);
    return n;
}

CHierarchicalNode CProfileLoader::RootValue()
{
    return CHierarchicalNode{"0", "Root", "0", "0", "", "0"};
}

CProfileLoader::Tree CProfileLoader::Parse(const std::string& data, CProfileNodes& functionTable)
{
    functionTable.clear();
    Tree root(RootValue());
    Tree last = root;
    Tree parent = root;
    int currentDepth = 1;
    // Nodes below a skipped node are skipped too: attached elsewhere they
    // would show under the wrong caller.
    int skipBelow = INT_MAX;
    const std::string_view all(data);
    std::string_view fields[6];
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = all.find("<#>", start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view record = all.substr(start, end - start);
        start = end + 3;
        const std::size_t count = SplitRecord(record, fields, 6);
        const std::string_view path = fields[0];
        if (path.find("FunctionTable") != std::string_view::npos) {
            if (count < 2)
                continue;
            CProfileNode entry;
            entry.index = TableIndex(path, functionTable.size());
            entry.functionName = fields[1];
            functionTable.push_back(std::move(entry));
        } else if (path.find("Hierarchical") != std::string_view::npos) {
            const int depth = static_cast<int>(std::count(path.begin(), path.end(), '.'));
            if (depth > skipBelow)
                continue;
            skipBelow = INT_MAX;
            long n = 0;
            if (count >= 6)
                std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), n);
            if (n < 1 || static_cast<std::size_t>(n) > functionTable.size()) {
                skipBelow = depth;
                continue;
            }
            CHierarchicalNode value{std::string(fields[1]), functionTable[static_cast<std::size_t>(n - 1)].functionName,
                                    WithCommas(fields[2]), WithCommas(fields[3]), std::string(fields[4]),
                                    std::string(fields[5])};
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
    // The ancestors' indexes from the top down, each followed by ",".
    std::string prefix;
    if (!node.IsRoot()) {
        for (Tree up = node.Parent(); up.Value().index != "0"; up = up.Parent()) {
            prefix.insert(0, up.Value().index + ",");
            if (up.IsRoot())
                break;
        }
    }
    WriteNode(depth, out, node, prefix);
}

void CProfileLoader::WriteNode(int depth, std::ostream& out, const Tree& node, const std::string& prefix)
{
    const CHierarchicalNode& v = node.Value();
    out << prefix << v.index << "<|>" << v.functionName << "<|>" << v.selfTime << "<|>" << v.totalTime << "<|>"
        << v.numCalls << "<|>" << v.childCount << "<#>";
    if (node.ChildCount() == 0)
        return;
    const std::string childPrefix = v.index == "0" ? prefix : prefix + v.index + ",";
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        WriteNode(depth + 1, out, node.Child(i), childPrefix);
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
