#include "pageview/LookupQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace vc {
namespace {

TEST(LookupQueueTest, SharesAreTheServerShareOrTheDriveWhateverTheSpelling) {
    EXPECT_EQ(ShareOf(u"\\\\nas\\Team\\a\\b.txt"), u"\\\\NAS\\TEAM");
    EXPECT_EQ(ShareOf(u"\\\\?\\UNC\\nas\\team\\b.txt"), u"\\\\NAS\\TEAM");
    EXPECT_EQ(ShareOf(u"z:\\x"), u"Z:");
    EXPECT_EQ(ShareOf(u"\\\\?\\Z:\\x"), u"Z:");
    EXPECT_EQ(ShareOf(u"relative\\x"), u"");
}

// A gate a look-up waits at until the test opens it.
struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    std::atomic<int> waiting{0};
    void Pass() {
        std::unique_lock<std::mutex> lock(m);
        ++waiting;
        cv.wait(lock, [&] { return open; });
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(m);
            open = true;
        }
        cv.notify_all();
    }
};

// Drains on this thread until `done` holds or about ten seconds passed.
template <typename F>
bool DrainUntil(LookupQueue& q, F done) {
    for (int i = 0; i < 10000 && !done(); ++i) {
        q.Drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    q.Drain();
    return done();
}

TEST(LookupQueueTest, AStuckShareHoldsUpNeitherOtherSharesNorTheEnd) {
    LookupQueue::Limits limits;
    limits.perShare = 2;
    limits.slow = std::chrono::milliseconds(30);
    limits.timedOut = std::chrono::milliseconds(60);
    auto gate = std::make_shared<Gate>();
    {
        LookupQueue q(limits, nullptr, nullptr);
        const uint32_t load = q.NewLoad();
        const std::thread::id window = std::this_thread::get_id();
        std::vector<int> applied;  // touched on this thread only
        std::atomic<int> askedStuck{0};
        for (int i = 0; i < 5; ++i)
            q.Submit(load, u"\\\\NAS\\GONE", [&, gate, i]() -> LookupQueue::Apply {
                ++askedStuck;
                gate->Pass();
                LookupQueue::Unanswered();
                return [&, i] { applied.push_back(100 + i); };
            });
        // A disk spinning up answers late: slow, but asked on.
        for (int i = 0; i < 3; ++i)
            q.Submit(load, u"D:", [&, gate, i]() -> LookupQueue::Apply {
                gate->Pass();
                return [&, i] { applied.push_back(200 + i); };
            });
        for (int i = 0; i < 20; ++i)
            q.Submit(load, u"C:", [&, i]() -> LookupQueue::Apply {
                return [&, i, window] {
                    EXPECT_EQ(std::this_thread::get_id(), window);
                    applied.push_back(i);
                };
            });
        ASSERT_TRUE(DrainUntil(q, [&] { return applied.size() == 20; }));
        // Two at a time on the stuck share; once it counts as slow, loading
        // waits for nothing more.
        ASSERT_TRUE(DrainUntil(q, [&] { return q.Waiting(load) == 0; }));
        EXPECT_EQ(askedStuck.load(), 2);
        EXPECT_EQ(q.StateOf(load, u"C:"), LookupQueue::ShareState::Answering);
        // The two stuck ones come back unanswered after the time-out: the
        // share is given up and its three queued look-ups dropped unasked.
        using State = LookupQueue::ShareState;
        std::this_thread::sleep_for(limits.timedOut);
        gate->Open();
        ASSERT_TRUE(DrainUntil(q, [&] { return q.Outstanding(load) == 0; }));
        EXPECT_EQ(askedStuck.load(), 2);
        EXPECT_EQ(q.StateOf(load, u"\\\\NAS\\GONE"), State::GivenUp);
        EXPECT_EQ(q.StateOf(load, u"D:"), State::Slow);
        EXPECT_EQ(applied.size(), 25u);
    }
}

TEST(LookupQueueTest, AbandonedLoadsAreDroppedAndTheQueueEndsWithoutWaiting) {
    auto gate = std::make_shared<Gate>();
    std::atomic<int> notified{0};
    int applied = 0;
    {
        LookupQueue::Limits limits;
        limits.perShare = 1;
        limits.slow = std::chrono::milliseconds(30);
        LookupQueue q(limits, nullptr, [&] { ++notified; });
        const uint32_t first = q.NewLoad();
        q.Submit(first, u"C:", [gate, &applied]() -> LookupQueue::Apply {
            gate->Pass();
            return [&applied] { ++applied; };
        });
        ASSERT_TRUE(DrainUntil(q, [&] { return gate->waiting == 1; }));
        q.Abandon(first);
        const uint32_t second = q.NewLoad();
        EXPECT_NE(second, first);
        q.Submit(second, u"D:", [&applied]() -> LookupQueue::Apply { return [&applied] { applied += 10; }; });
        ASSERT_TRUE(DrainUntil(q, [&] { return applied == 10; }));
        // The abandoned load's look-up still holds C:; the new load's on C:
        // wait behind it, and loading stops waiting for them once it is slow.
        q.Submit(second, u"C:", [&applied]() -> LookupQueue::Apply { return [&applied] { applied += 100; }; });
        EXPECT_TRUE(DrainUntil(q, [&] { return q.Waiting(second) == 0; }));
        EXPECT_GE(notified.load(), 1);
        gate->Open();
        EXPECT_TRUE(DrainUntil(q, [&] { return q.Outstanding(first) == 0; }));
        EXPECT_TRUE(DrainUntil(q, [&] { return applied == 110; }));  // the abandoned load's result never ran

        // The queue goes while a look-up is stuck: its end does not wait.
        auto stuck = std::make_shared<Gate>();
        q.Submit(0, u"\\\\NAS\\GONE", [stuck]() -> LookupQueue::Apply {
            stuck->Pass();
            return nullptr;
        });
        ASSERT_TRUE(DrainUntil(q, [&] { return stuck->waiting == 1; }));
        // ~LookupQueue here; the worker ends once the gate opens below.
        gate = stuck;
    }
    gate->Open();
}

}  // namespace
}  // namespace vc
