#include "main/session/cevent.h"

void CEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_set = true;
    }
    m_cond.notify_all();
}

void CEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_set = false;
}

bool CEvent::IsSet() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_set;
}

bool CEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_cond.wait_for(lock, timeout, [this] { return m_set; });
}

void CEvent::Wait()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_cond.wait(lock, [this] { return m_set; });
}
