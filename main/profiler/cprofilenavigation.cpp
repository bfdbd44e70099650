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

bool CProfileNavigation::Back()
{
    if (m_back.empty())
        return false;
    m_forward.push_front(m_current);
    m_current = m_back.front();
    m_back.pop_front();
    return true;
}

bool CProfileNavigation::Forward()
{
    if (m_forward.empty())
        return false;
    m_back.push_front(m_current);
    m_current = m_forward.front();
    m_forward.pop_front();
    return true;
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
