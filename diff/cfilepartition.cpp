#include "diff/cfilepartition.h"

#include "diff/memoryhint.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include <sys/stat.h>

namespace {

// Straight into the buffer: a regular file is read at its size in one go,
// anything else (or a file that grows meanwhile) in chunks.
bool ReadWholeFile(std::FILE* file, std::string& content)
{
    struct stat info;
    if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        const size_t size = static_cast<size_t>(info.st_size);
        content.reserve(size + 1);
        AdviseHugePages(content.data(), content.capacity());
        content.resize(size);
        content.resize(std::fread(content.data(), 1, size, file));
        if (content.size() < size)
            return std::ferror(file) == 0;
    }
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
    auto content = std::make_shared<std::string>();
    const bool ok = ReadWholeFile(file, *content);
    std::fclose(file);
    if (!ok) {
        std::cerr << "error : cannot open " << path << "\n";
        return false;
    }
    m_storage.push_back(content);

    const std::string_view text(*content);
    const size_t lineCount = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    m_lines.reserve(m_lines.size() + lineCount);
    m_hashes.reserve(m_hashes.size() + lineCount);
    m_keys.reserve(m_keys.size() + lineCount);
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t feed = text.find('\n', begin);
        if (feed == std::string_view::npos) {
            AddHashedView(text.substr(begin));
            break;
        }
        size_t end = feed;
        if (end > begin && text[end - 1] == '\r')
            --end;
        AddHashedView(text.substr(begin, end - begin));
        begin = feed + 1;
    }
    return true;
}

std::string_view CFilePartition::Owned(std::string text)
{
    if (!m_owned) {
        m_owned = std::make_shared<std::deque<std::string>>();
        m_storage.push_back(m_owned);
    }
    m_owned->push_back(std::move(text));
    return m_owned->back();
}

void CFilePartition::ShareStorage(const CFilePartition& from)
{
    m_storage.insert(m_storage.end(), from.m_storage.begin(), from.m_storage.end());
}

void CFilePartition::AddLine(std::string text)
{
    AddHashedView(Owned(std::move(text)));
}

void CFilePartition::AddHashedView(std::string_view text)
{
    m_index.reset();
    std::string_view normalized = text;
    if (!m_options.IsEmpty()) {
        m_normalized.resize(m_lines.size());
        m_normalized.push_back(NormalizeLine(text, m_options));
        normalized = m_normalized.back();
    }
    m_hashes.push_back(LineHash(normalized));
    m_keys.push_back(std::hash<std::string_view>()(normalized));
    m_lines.push_back(CLineRecord{text, Unchanged});
}

void CFilePartition::AddLine(std::string text, LineStatus status)
{
    AddView(Owned(std::move(text)), status);
}

void CFilePartition::AddView(std::string_view text, LineStatus status)
{
    m_lines.push_back(CLineRecord{text, status});
}

std::string_view CFilePartition::LineView(int i) const
{
    if (i < 0 || i >= GetLineCount())
        return std::string_view();
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

const CFilePartition::Index& CFilePartition::GetIndex() const
{
    if (m_index)
        return *m_index;
    auto index = std::make_unique<Index>();
    const size_t n = m_keys.size();
    // Positions sorted by key, ascending within a key: each group is a run.
    std::vector<std::pair<uint64_t, int>> sorted(n);
    for (size_t y = 0; y < n; ++y)
        sorted[y] = {m_keys[y], static_cast<int>(y)};
    std::sort(sorted.begin(), sorted.end());
    index->positions.resize(n);
    for (size_t y = 0; y < n; ++y)
        index->positions[y] = sorted[y].second;

    size_t capacity = 16;
    while (capacity < 2 * n)
        capacity *= 2;
    // Zeroed pages from calloc are only touched where a group lands.
    index->table.reset(static_cast<Index::Slot*>(std::calloc(capacity, sizeof(Index::Slot))));
    if (!index->table)
        throw std::bad_alloc();
    index->mask = capacity - 1;
    for (size_t begin = 0; begin < n;) {
        size_t end = begin + 1;
        while (end < n && sorted[end].first == sorted[begin].first)
            ++end;
        for (uint64_t at = sorted[begin].first & index->mask;; at = (at + 1) & index->mask) {
            Index::Slot& slot = index->table[at];
            if (slot.end == 0) {
                slot = {sorted[begin].first, static_cast<uint32_t>(begin), static_cast<uint32_t>(end)};
                break;
            }
        }
        begin = end;
    }
    m_index = std::move(index);
    return *m_index;
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
    // Equal normalised texts have equal keys, so the group of x's key holds
    // every position the scan could stop at; the first one from start whose
    // text really matches is the scan's answer.
    const Index& index = other.GetIndex();
    const uint64_t key = m_keys[static_cast<size_t>(x)];
    for (uint64_t at = key & index.mask;; at = (at + 1) & index.mask) {
        const Index::Slot& slot = index.table[at];
        if (slot.end == 0)
            return false;
        if (slot.key != key)
            continue;
        const int* first = index.positions.data() + slot.begin;
        const int* last = index.positions.data() + slot.end;
        const std::string_view text = NormalizedView(x);
        for (const int* y = std::lower_bound(first, last, std::max(start, 0)); y != last; ++y) {
            if (other.NormalizedView(*y) == text) {
                start = *y;
                return true;
            }
        }
        return false;
    }
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
    left.ShareStorage(a);
    right.ShareStorage(b);
    const auto onlyLeft = [&](int i, LineStatus s) {
        left.AddView(a.LineView(i), s);
        right.AddBlank();
    };
    const auto onlyRight = [&](int k, LineStatus s) {
        left.AddBlank();
        right.AddView(b.LineView(k), s);
    };
    const auto both = [&](int i, int k, LineStatus s) {
        left.AddView(a.LineView(i), s);
        right.AddView(b.LineView(k), s);
    };
    left.m_lines.reserve(static_cast<size_t>(nA) + static_cast<size_t>(nB));
    right.m_lines.reserve(static_cast<size_t>(nA) + static_cast<size_t>(nB));

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
