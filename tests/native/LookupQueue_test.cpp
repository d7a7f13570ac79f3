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

// A clock that reads the milliseconds the test moves on by hand; workers may
// read it after the test.
auto ClockOf(std::shared_ptr<std::atomic<int64_t>> ms) {
    return [ms] { return std::chrono::steady_clock::time_point(std::chrono::milliseconds(*ms)); };
}

// Work that waits at the gate, then comes back unanswered if told to.
LookupQueue::Work AtGate(std::shared_ptr<Gate> gate, bool unanswered = false) {
    return [gate, unanswered]() -> LookupQueue::Apply {
        gate->Pass();
        if (unanswered) LookupQueue::Unanswered();
        return nullptr;
    };
}

TEST(LookupQueueTest, AStuckShareHoldsUpNeitherOtherSharesNorTheEnd) {
    auto ms = std::make_shared<std::atomic<int64_t>>(0);
    LookupQueue::Limits limits;
    limits.perShare = 2;
    limits.clock = ClockOf(ms);
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
        ASSERT_TRUE(DrainUntil(q, [&] { return applied.size() == 20 && gate->waiting == 4; }));
        *ms += limits.slow.count();
        // Two at a time on the stuck share; once it counts as slow, loading
        // waits for nothing more.
        ASSERT_TRUE(DrainUntil(q, [&] { return q.Waiting(load) == 0; }));
        EXPECT_EQ(askedStuck.load(), 2);
        EXPECT_EQ(q.StateOf(load, u"C:"), LookupQueue::ShareState::Answering);
        // The two stuck ones come back unanswered after the time-out: the
        // share is given up and its three queued look-ups dropped unasked.
        using State = LookupQueue::ShareState;
        *ms += limits.timedOut.count();
        gate->Open();
        ASSERT_TRUE(DrainUntil(q, [&] { return q.Outstanding(load) == 0; }));
        EXPECT_EQ(askedStuck.load(), 2);
        EXPECT_EQ(q.StateOf(load, u"\\\\NAS\\GONE"), State::GivenUp);
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
        LookupQueue q(limits, nullptr, [&] { return ++notified > 0; });
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

TEST(LookupQueueTest, DeadSharesHoldAtMostHalfTheWorkersWhileLocalWorkAndLaunchesGoOn) {
    auto ms = std::make_shared<std::atomic<int64_t>>(0);
    LookupQueue::Limits limits;  // eight workers: four for slow shares
    limits.perShare = 3;
    limits.clock = ClockOf(ms);
    const std::u16string dead[] = {u"\\\\A\\S", u"\\\\B\\S", u"\\\\C\\S", u"\\\\D\\S"};
    const std::shared_ptr<Gate> gates[] = {std::make_shared<Gate>(), std::make_shared<Gate>(), std::make_shared<Gate>(),
                                           std::make_shared<Gate>()};
    auto started = [&] { return gates[0]->waiting + gates[1]->waiting + gates[2]->waiting + gates[3]->waiting; };
    {
        LookupQueue q(limits, nullptr, nullptr);
        const uint32_t load = q.NewLoad();
        for (int i = 0; i < 12; ++i) q.Submit(load, dead[i % 4], AtGate(gates[i % 4]));
        ASSERT_TRUE(DrainUntil(q, [&] { return started() == 8; }));
        // Local work queued while every worker is held: it starts once the
        // held ones are found slow, when loading asks what it waits for.
        int applied = 0;
        for (int i = 0; i < 20; ++i) q.Submit(load, u"C:", [&]() -> LookupQueue::Apply { return [&] { ++applied; }; });
        *ms += limits.slow.count();
        ASSERT_TRUE(DrainUntil(q, [&] { return q.Waiting(load) >= 0 && applied == 20; }));
        q.SubmitUrgent(dead[0], [&]() -> LookupQueue::Apply { return [&] { applied += 100; }; });
        ASSERT_TRUE(DrainUntil(q, [&] { return applied == 120; }));
        EXPECT_EQ(started(), 8);
        // Two shares answer, late: the four left on slow shares are enough.
        gates[0]->Open();
        gates[1]->Open();
        ASSERT_TRUE(DrainUntil(q, [&] { return q.Outstanding(load) == 8; }));
        EXPECT_EQ(started(), 8);
    }
    for (auto& gate : gates) gate->Open();
}

TEST(LookupQueueTest, SharesFoundSlowOrGivenUpAreRememberedByTheNextLoadsForAWhile) {
    using State = LookupQueue::ShareState;
    auto ms = std::make_shared<std::atomic<int64_t>>(0);
    LookupQueue::Limits limits;
    limits.clock = ClockOf(ms);
    LookupQueue q(limits, nullptr, nullptr);
    const std::u16string gone = u"\\\\NAS\\GONE", late = u"D:";
    auto gate = std::make_shared<Gate>();
    const uint32_t first = q.NewLoad();
    q.Submit(first, gone, AtGate(gate, true));
    q.Submit(first, late, AtGate(gate));
    ASSERT_TRUE(DrainUntil(q, [&] { return gate->waiting == 2; }));
    *ms += limits.timedOut.count();
    gate->Open();
    ASSERT_TRUE(DrainUntil(q, [&] { return q.Outstanding(first) == 0; }));
    q.Abandon(first);
    // Held, the next load's look-ups stay queued unless dropped.
    const uint32_t second = q.NewLoad();
    q.Hold(gone);
    q.Hold(late);
    q.Submit(second, gone, [] { return LookupQueue::Apply(); });
    q.Submit(second, late, [] { return LookupQueue::Apply(); });
    ASSERT_TRUE(DrainUntil(q, [&] { return q.Outstanding(second) == 1; }));
    EXPECT_EQ(q.Waiting(second), 0);
    EXPECT_EQ(q.StateOf(second, gone), State::GivenUp);
    q.Release(late);
    ASSERT_TRUE(DrainUntil(q, [&] { return q.Outstanding(second) == 0; }));
    EXPECT_EQ(q.StateOf(second, late), State::Answering);  // it answered quickly
    *ms += limits.remember.count();
    EXPECT_EQ(q.StateOf(q.NewLoad(), gone), State::Answering);
}

TEST(LookupQueueTest, AHeldShareWaitsForItsReleaseAndNoticesNotDeliveredAreSentAgain) {
    std::atomic<int> notices{0};
    std::atomic<bool> delivered{false};
    auto told = [&](int n) {
        for (int i = 0; i < 10000 && notices < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return notices == n;
    };
    LookupQueue q(LookupQueue::Limits{.workers = 1}, nullptr, [&] { return ++notices > 0 && delivered; });
    const uint32_t load = q.NewLoad();
    q.Hold(u"C:");
    q.Submit(load, u"C:", [] { return LookupQueue::Apply([] {}); });
    q.Submit(load, u"D:", [] { return LookupQueue::Apply([] {}); });
    ASSERT_TRUE(told(1));
    EXPECT_FALSE(q.WaitIdle(load, std::chrono::milliseconds(10)));  // C: held, though queued first
    q.Release(u"C:");
    EXPECT_TRUE(q.WaitIdle(load, std::chrono::seconds(10)));
    EXPECT_TRUE(told(2));  // the first notice failed
    // Told, the window goes before it comes for the results; the next one is.
    delivered = true;
    q.Renotify();
    q.Renotify();
    EXPECT_EQ(notices, 4);
}

}  // namespace
}  // namespace vc
