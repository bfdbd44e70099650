#include "main/profiler/cprofilenavigation.h"

void CProfileNavigation::Reset()
{
    m_current.clear();
    m_back.clear();
    m_forward.clear();
    m_trail.clear();
}

void CProfileNavigation::Descend(const std::string& key, const std::string& description)
{
    m_back.push_front(m_current);
    m_forward.clear();
    m_current = key;
    const std::size_t levels = m_back.size();
    if (m_trail.size() > levels - 1)
        m_trail.resize(levels - 1);
    m_trail.push_back(description);
}

bool CProfileNavigation::Step(std::deque<std::string>& from, std::deque<std::string>& to)
{
    if (from.empty())
        return false;
    to.push_front(m_current);
    m_current = from.front();
    from.pop_front();
    return true;
}

bool CProfileNavigation::Back()
{
    return Step(m_back, m_forward);
}

bool CProfileNavigation::Forward()
{
    return Step(m_forward, m_back);
}

std::string CProfileNavigation::LevelPrefix() const
{
    if (m_current.empty())
        return std::string();
    std::string prefix;
    for (auto it = m_back.rbegin(); it != m_back.rend(); ++it)
        if (!it->empty())
            prefix += *it + ",";
    return prefix + m_current + ",";
}
