#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

// Unbounded FIFO filled by any number of producers and emptied by one
// consumer: the two-lock queue with a dummy node, so an Enqueue never waits
// for a Dequeue. Values move in and out: whoever dequeues a value owns it.
//
// A consumer that would otherwise "sleep and try again" calls DequeueWait,
// which sleeps at most the given time and is woken at once by Enqueue (or by
// WakeConsumers, used when shutting down).
template <typename T>
class CMultiThreadSingleQueue {
public:
    CMultiThreadSingleQueue() : m_head(new Node), m_tail(m_head) {}
    ~CMultiThreadSingleQueue()
    {
        T discard;
        while (Dequeue(discard)) {
        }
        delete m_head;
    }
    CMultiThreadSingleQueue(const CMultiThreadSingleQueue&) = delete;
    CMultiThreadSingleQueue& operator=(const CMultiThreadSingleQueue&) = delete;

    bool Enqueue(T value)
    {
        Node* node = new Node;
        node->value = std::move(value);
        {
            std::lock_guard<std::mutex> tail(m_tailLock);
            // Release: the consumer that sees the link sees the value too.
            m_tail->next.store(node, std::memory_order_release);
            m_tail = node;
        }
        // Passing through the wait lock orders this wake-up after any
        // consumer's emptiness check, so no wake-up is lost.
        { std::lock_guard<std::mutex> wait(m_waitLock); }
        m_wake.notify_all();
        return true;
    }

    // False when the queue is empty.
    bool Dequeue(T& value)
    {
        Node* old;
        {
            std::lock_guard<std::mutex> head(m_headLock);
            old = m_head;
            Node* next = old->next.load(std::memory_order_acquire);
            if (!next)
                return false;
            value = std::move(next->value);
            next->value = T();
            m_head = next;
        }
        delete old;
        return true;
    }

    // Dequeue, waiting up to timeout for a value to arrive.
    bool DequeueWait(T& value, std::chrono::milliseconds timeout)
    {
        if (Dequeue(value))
            return true;
        {
            std::unique_lock<std::mutex> wait(m_waitLock);
            m_wake.wait_for(wait, timeout, [this] { return m_wakeCount != m_seenWakes || !IsEmpty(); });
            m_seenWakes = m_wakeCount;
        }
        return Dequeue(value);
    }

    // Wakes a consumer sleeping in DequeueWait (it returns false if still empty).
    void WakeConsumers()
    {
        {
            std::lock_guard<std::mutex> wait(m_waitLock);
            ++m_wakeCount;
        }
        m_wake.notify_all();
    }

    bool IsEmpty() const
    {
        std::lock_guard<std::mutex> head(m_headLock);
        return m_head->next.load(std::memory_order_acquire) == nullptr;
    }

    // Drops every value still queued; returns how many.
    int Clear()
    {
        int count = 0;
        T discard;
        while (Dequeue(discard))
            ++count;
        return count;
    }

private:
    struct Node {
        std::atomic<Node*> next{nullptr};
        T value{};
    };

    mutable std::mutex m_headLock;
    std::mutex m_tailLock;
    Node* m_head;
    Node* m_tail;

    std::mutex m_waitLock;
    std::condition_variable m_wake;
    unsigned m_wakeCount = 0;
    unsigned m_seenWakes = 0;
};
