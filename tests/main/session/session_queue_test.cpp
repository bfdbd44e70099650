#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "main/session/cmultithreadsinglequeue.h"

TEST(SessionQueue, EmptyQueueStaysUsable)
{
    CMultiThreadSingleQueue<int> q;
    int v = -1;
    EXPECT_FALSE(q.Dequeue(v));
    EXPECT_TRUE(q.IsEmpty());
    q.Enqueue(7);
    ASSERT_TRUE(q.Dequeue(v));
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(q.Dequeue(v));
    q.Enqueue(8);
    ASSERT_TRUE(q.Dequeue(v));
    EXPECT_EQ(v, 8);
}

TEST(SessionQueue, ManyProducersOneConsumerKeepEachProducersOrder)
{
    CMultiThreadSingleQueue<std::pair<int, int>> q;
    const int producers = 4, each = 5000;
    std::vector<std::thread> threads;
    for (int p = 0; p < producers; ++p)
        threads.emplace_back([&q, p] {
            for (int i = 0; i < each; ++i)
                q.Enqueue({p, i});
        });
    std::vector<int> next(producers, 0);
    int received = 0;
    while (received < producers * each) {
        std::pair<int, int> v;
        if (!q.DequeueWait(v, std::chrono::milliseconds(100)))
            continue;
        ASSERT_EQ(v.second, next[v.first]) << "producer " << v.first;
        ++next[v.first];
        ++received;
    }
    for (auto& t : threads)
        t.join();
    std::pair<int, int> v;
    EXPECT_FALSE(q.Dequeue(v));
}

TEST(SessionQueue, SingleElementHandOverNeverLosesOrDuplicates)
{
    CMultiThreadSingleQueue<int> q;
    std::atomic<bool> done{false};
    std::vector<int> seen;
    std::thread consumer([&] {
        int v;
        while (!done.load() || !q.IsEmpty())
            if (q.DequeueWait(v, std::chrono::milliseconds(10)))
                seen.push_back(v);
    });
    for (int i = 0; i < 20000; ++i)
        q.Enqueue(i);
    done.store(true);
    consumer.join();
    ASSERT_EQ(seen.size(), 20000u);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(seen[i], i);
}

TEST(SessionQueue, WaitingConsumerWokenAtOnceByEnqueue)
{
    CMultiThreadSingleQueue<int> q;
    std::chrono::steady_clock::time_point got;
    std::thread consumer([&] {
        int v;
        ASSERT_TRUE(q.DequeueWait(v, std::chrono::milliseconds(5000)));
        got = std::chrono::steady_clock::now();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto sent = std::chrono::steady_clock::now();
    q.Enqueue(1);
    consumer.join();
    EXPECT_LT(got - sent, std::chrono::milliseconds(1000));
}

TEST(SessionQueue, WakeConsumersEndsAWaitEmptyHanded)
{
    CMultiThreadSingleQueue<int> q;
    bool result = true;
    std::thread consumer([&] {
        int v;
        result = q.DequeueWait(v, std::chrono::milliseconds(10000));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto start = std::chrono::steady_clock::now();
    q.WakeConsumers();
    consumer.join();
    EXPECT_FALSE(result);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
}

TEST(SessionQueue, DestroyingAFullQueueFreesItsValues)
{
    auto counter = std::make_shared<int>(0);
    {
        CMultiThreadSingleQueue<std::shared_ptr<int>> q;
        for (int i = 0; i < 10; ++i)
            q.Enqueue(counter);
        EXPECT_EQ(counter.use_count(), 11);
        std::shared_ptr<int> one;
        ASSERT_TRUE(q.Dequeue(one));
        EXPECT_EQ(counter.use_count(), 11);  // the consumer owns it now
    }
    EXPECT_EQ(counter.use_count(), 1);
}
