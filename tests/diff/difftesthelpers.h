#pragma once

#include "diff/cfilepartition.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace difftest {

inline CFilePartition Partition(const std::vector<std::string>& lines,
                                const COptionList& options = COptionList(),
                                const std::string& name = std::string())
{
    CFilePartition p;
    p.AddOptions(options);
    p.SetName(name);
    for (const std::string& line : lines)
        p.AddLine(line);
    return p;
}

// One output row as "left|SL|right|SR", so an alignment reads at a glance.
inline std::vector<std::string> Rows(const CFilePartition& left, const CFilePartition& right)
{
    std::vector<std::string> rows;
    for (int i = 0; i < left.GetLineCount(); ++i)
        rows.push_back(left.GetLineText(i) + "|" + std::to_string(left.GetLineStatus(i)) + "|" +
                       right.GetLineText(i) + "|" + std::to_string(right.GetLineStatus(i)));
    return rows;
}

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder under the system temporary folder, removed at the end.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/kdiff-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        m_path = mkdtemp(buffer.data());
    }
    ~TempDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace difftest
