#include "diff/cfilepartition.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

const std::string& EmptyText()
{
    static const std::string empty;
    return empty;
}

bool ReadWholeFile(std::FILE* file, std::string& content)
{
    char chunk[1 << 16];
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof chunk, file);
        content.append(chunk, n);
        if (n < sizeof chunk)
            return std::ferror(file) == 0;
    }
}

} // namespace

bool CFilePartition::LoadFile(const std::string& path, const COptionList& options)
{
    m_name = path;
    m_options.Append(options);
    if (path.empty()) {
        std::cerr << "error : empty input filename\n";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::cerr << "error : cannot open " << path << "\n";
        return false;
    }
    std::string content;
    const bool ok = ReadWholeFile(file, content);
    std::fclose(file);
    if (!ok) {
        std::cerr << "error : cannot open " << path << "\n";
        return false;
    }

    m_lines.reserve(m_lines.size() + static_cast<size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
    size_t begin = 0;
    while (begin < content.size()) {
        const size_t feed = content.find('\n', begin);
        if (feed == std::string::npos) {
            AddLine(content.substr(begin));
            break;
        }
        size_t end = feed;
        if (end > begin && content[end - 1] == '\r')
            --end;
        AddLine(content.substr(begin, end - begin));
        begin = feed + 1;
    }
    return true;
}

void CFilePartition::AddLine(std::string text)
{
    if (m_indexBuilt) {
        m_indexBuilt = false;
        m_index.clear();
    }
    if (!m_options.IsEmpty()) {
        m_normalized.resize(m_lines.size());
        m_normalized.push_back(NormalizeLine(text, m_options));
        m_hashes.push_back(LineHash(m_normalized.back()));
    } else {
        m_hashes.push_back(LineHash(text));
    }
    m_lines.push_back(CLineRecord{std::move(text), Unchanged});
}

void CFilePartition::AddLine(std::string text, LineStatus status)
{
    m_lines.push_back(CLineRecord{std::move(text), status});
}

const std::string& CFilePartition::GetLineText(int i) const
{
    if (i < 0 || i >= GetLineCount())
        return EmptyText();
    return m_lines[static_cast<size_t>(i)].text;
}

LineStatus CFilePartition::GetLineStatus(int i) const
{
    if (i < 0 || i >= GetLineCount())
        return Unchanged;
    return m_lines[static_cast<size_t>(i)].status;
}

std::string CFilePartition::GetNormalizedLine(int i) const
{
    if (i < 0 || i >= GetLineCount())
        return std::string();
    return NormalizeLine(m_lines[static_cast<size_t>(i)].text, m_options);
}

std::string_view CFilePartition::NormalizedView(int i) const
{
    const size_t index = static_cast<size_t>(i);
    if (index < m_normalized.size())
        return m_normalized[index];
    return m_lines[index].text;
}

const CFilePartition::PositionIndex& CFilePartition::Index() const
{
    if (!m_indexBuilt) {
        m_index.clear();
        m_index.reserve(m_lines.size());
        // Positions go in ascending, so every list is ordered.
        for (int y = 0; y < GetLineCount(); ++y)
            m_index[NormalizedView(y)].push_back(y);
        m_indexBuilt = true;
    }
    return m_index;
}

bool CFilePartition::FindLineLinear(int x, const CFilePartition& other, int& start) const
{
    if (m_hashes.empty() || x < 0 || x >= GetLineCount() || other.m_hashes.empty())
        return false;
    const int32_t h = m_hashes[static_cast<size_t>(x)];
    const std::string_view text = NormalizedView(x);
    for (int y = std::max(start, 0); y < other.GetLineCount(); ++y) {
        if (other.m_hashes[static_cast<size_t>(y)] == h && other.NormalizedView(y) == text) {
            start = y;
            return true;
        }
    }
    return false;
}

bool CFilePartition::FindLine(int x, const CFilePartition& other, int& start) const
{
    if (m_hashes.empty() || x < 0 || x >= GetLineCount() || other.m_hashes.empty())
        return false;
    // Equal normalised texts always have equal hashes, so grouping the other
    // side's positions by text gives the same first match as the scan.
    const PositionIndex& index = other.Index();
    const auto found = index.find(NormalizedView(x));
    if (found == index.end())
        return false;
    const std::vector<int>& positions = found->second;
    const auto at = std::lower_bound(positions.begin(), positions.end(), std::max(start, 0));
    if (at == positions.end())
        return false;
    start = *at;
    return true;
}

void CFilePartition::CountRuns(int& added, int& changed, int& deleted) const
{
    added = changed = deleted = 0;
    int current = Unchanged;
    for (const CLineRecord& line : m_lines) {
        if (line.status == Unchanged) {
            current = Unchanged;
            continue;
        }
        if (line.status == current)
            continue;
        current = line.status;
        if (current == Changed)
            ++changed;
        else if (current == Added)
            ++added;
        else if (current == Deleted)
            ++deleted;
    }
}

void CFilePartition::Compare(const CFilePartition& a, const CFilePartition& b,
                             CFilePartition& left, CFilePartition& right, Search search)
{
    left.m_name = a.m_name;
    right.m_name = b.m_name;
    const int nA = a.GetLineCount();
    const int nB = b.GetLineCount();
    const auto find = [search](const CFilePartition& self, int x, const CFilePartition& other, int& start) {
        return search == Search::Indexed ? self.FindLine(x, other, start)
                                         : self.FindLineLinear(x, other, start);
    };
    const auto onlyLeft = [&](int i, LineStatus s) {
        left.AddLine(a.GetLineText(i), s);
        right.AddBlank();
    };
    const auto onlyRight = [&](int k, LineStatus s) {
        left.AddBlank();
        right.AddLine(b.GetLineText(k), s);
    };
    const auto both = [&](int i, int k, LineStatus s) {
        left.AddLine(a.GetLineText(i), s);
        right.AddLine(b.GetLineText(k), s);
    };
    left.m_lines.reserve(static_cast<size_t>(nA + nB) / 2 + 16);
    right.m_lines.reserve(static_cast<size_t>(nA + nB) / 2 + 16);

    int i = 0;
    int k = 0;
    if (nA > 0) {
        while (i < nA) {
            if (k >= nB) {
                for (; i < nA; ++i)
                    onlyLeft(i, Deleted);
                break;
            }
            int m = k;
            if (find(a, i, b, m)) {
                if (m == k) {
                    both(i, m, Unchanged);
                    k = m + 1;
                    ++i;
                    continue;
                }
                int t = i;
                // t is a position in A and m one in B; compared as they are.
                if (find(b, k, a, t) && t < m) {
                    for (; i < t; ++i)
                        onlyLeft(i, Deleted);
                } else {
                    for (; k < m; ++k)
                        onlyRight(k, Added);
                    both(i, m, Unchanged);
                    k = m + 1;
                    ++i;
                }
            } else {
                int u = i;
                if (find(b, k, a, u)) {
                    for (; i < u; ++i)
                        onlyLeft(i, Deleted);
                } else {
                    both(i, k, Changed);
                    ++i;
                    ++k;
                }
            }
        }
    }
    for (; k < nB; ++k)
        onlyRight(k, Added);
}
