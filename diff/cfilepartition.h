#pragma once

#include "diff/coptionlist.h"
#include "diff/linetext.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct CLineRecord {
    std::string text; // exactly as read, never normalised
    LineStatus status = Unchanged;
};

// One side of a comparison: the lines of a file or of a folder listing (with
// a hash per line), or one aligned output column of Compare (without hashes).
class CFilePartition {
public:
    enum class Search { Indexed, Linear };

    bool LoadFile(const std::string& path, const COptionList& options);
    bool LoadFolder(const std::string& path, const COptionList& options);

    void AddLine(std::string text);
    void AddLine(std::string text, LineStatus status);
    void AddBlank() { AddLine(std::string(), Unchanged); }

    int GetLineCount() const { return static_cast<int>(m_lines.size()); }
    const std::string& GetLineText(int i) const;
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
    using PositionIndex = std::unordered_map<std::string_view, std::vector<int>>;

    std::string_view NormalizedView(int i) const;
    const PositionIndex& Index() const;
    void ListFolder(const std::string& path, int depth);

    std::string m_name;
    COptionList m_options;
    std::vector<CLineRecord> m_lines;
    std::vector<int32_t> m_hashes;
    // Kept only when the options change the text; otherwise the raw text is it.
    std::vector<std::string> m_normalized;
    // Built on first indexed search; its keys point into the lines above.
    mutable PositionIndex m_index;
    mutable bool m_indexBuilt = false;
};
