#pragma once

#include "diff/coptionlist.h"
#include "diff/linetext.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct CLineRecord {
    std::string_view text; // exactly as read, never normalised
    LineStatus status = Unchanged;
};

// One side of a comparison: the lines of a file or of a folder listing (with
// a hash per line), or one aligned output column of Compare (without hashes).
//
// Line texts point into shared buffers (a whole file is read into one), and
// an output column shares the buffers of the partitions it came from, so a
// comparison of large files copies no line.
class CFilePartition {
public:
    enum class Search { Indexed, Linear };

    bool LoadFile(const std::string& path, const COptionList& options);
    bool LoadFolder(const std::string& path, const COptionList& options);

    void AddLine(std::string text);
    void AddLine(std::string text, LineStatus status);
    void AddBlank() { AddView(std::string_view(), Unchanged); }

    int GetLineCount() const { return static_cast<int>(m_lines.size()); }
    std::string GetLineText(int i) const { return std::string(LineView(i)); }
    // The same text without a copy; valid as long as this partition lives.
    std::string_view LineView(int i) const;
    LineStatus GetLineStatus(int i) const;
    std::string GetNormalizedLine(int i) const;
    bool HasHashes() const { return !m_hashes.empty(); }

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const COptionList& GetOptions() const { return m_options; }
    // What loading does first; lines added afterwards are normalised with them.
    void AddOptions(const COptionList& options) { m_options.Append(options); }

    // Looks for line x of this partition in other, from position start on;
    // on success start is moved to the match. The indexed search returns
    // exactly what the linear scan returns, in logarithmic time.
    bool FindLine(int x, const CFilePartition& other, int& start) const;
    bool FindLineLinear(int x, const CFilePartition& other, int& start) const;

    void CountRuns(int& added, int& changed, int& deleted) const;

    // Greedy forward matching with a single look-ahead; left and right come
    // out with the same number of lines.
    static void Compare(const CFilePartition& first, const CFilePartition& second,
                        CFilePartition& left, CFilePartition& right,
                        Search search = Search::Indexed);

private:
    // Positions grouped by a 64-bit hash of the normalised text, each group
    // in ascending order, found through an open-addressing table.
    struct Index {
        struct Slot {
            uint64_t key = 0;
            uint32_t begin = 0;
            uint32_t end = 0; // 0: empty slot (a group is never empty)
        };
        struct Free {
            void operator()(Slot* p) const { std::free(p); }
        };
        std::unique_ptr<Slot[], Free> table;
        std::vector<int> positions;
        uint64_t mask = 0;
    };

    void AddHashedView(std::string_view text);
    void AddView(std::string_view text, LineStatus status);
    std::string_view Owned(std::string text);
    void ShareStorage(const CFilePartition& from);
    std::string_view NormalizedView(int i) const;
    const Index& GetIndex() const;
    void ListFolder(const std::string& path, int depth);

    std::string m_name;
    COptionList m_options;
    std::vector<CLineRecord> m_lines;
    std::vector<int32_t> m_hashes;
    std::vector<uint64_t> m_keys; // the index's hash of each normalised text
    // Kept only when the options change the text; otherwise the raw text is it.
    std::vector<std::string> m_normalized;
    // Buffers the line texts point into: file contents and single lines (a
    // deque never moves its strings).
    std::vector<std::shared_ptr<const void>> m_storage;
    std::shared_ptr<std::deque<std::string>> m_owned;
    mutable std::unique_ptr<Index> m_index;
};
