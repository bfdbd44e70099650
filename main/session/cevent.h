#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A manual-reset event: stays set until Reset, wakes every waiter when Set.
class CEvent {
public:
    explicit CEvent(bool initiallySet = false) : m_set(initiallySet) {}

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits until set; false when the time-out passed first.
    bool Wait(std::chrono::milliseconds timeout);
    void Wait();

private:
    mutable std::mutex m_lock;
    std::condition_variable m_cond;
    bool m_set;
};
