#pragma once

#include <deque>
#include <string>
#include <vector>

// Where the report stands in the call tree: the current key (the Index of the
// node whose children are shown; empty at the summary level), the back and
// forward lists of earlier and later keys (newest first) and the trail, one
// description per level descended.
class CProfileNavigation {
public:
    const std::string& CurrentKey() const { return m_current; }
    // Newest first.
    const std::deque<std::string>& BackList() const { return m_back; }
    const std::deque<std::string>& ForwardList() const { return m_forward; }
    const std::vector<std::string>& Trail() const { return m_trail; }

    bool CanBack() const { return !m_back.empty(); }
    bool CanForward() const { return !m_forward.empty(); }
    bool CanHome() const { return !m_current.empty(); }

    // Back to the summary level with no history (after a load).
    void Reset();
    // Goes into the node with this key; description becomes the trail text
    // of the new level.
    void Descend(const std::string& key, const std::string& description);
    // False when there was nowhere to go.
    bool Back();
    bool Forward();

    // The node path prefix of the rows of the current level: each non-empty
    // back-list key from the oldest to the newest, then the current key, each
    // followed by ",". Empty at the summary level.
    std::string LevelPrefix() const;

private:
    // Moves the current key to the head of to and takes the head of from.
    bool Step(std::deque<std::string>& from, std::deque<std::string>& to);

    std::string m_current;
    std::deque<std::string> m_back;
    std::deque<std::string> m_forward;
    std::vector<std::string> m_trail;
};
