#include "pageview/LookupQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace vc {

namespace {

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

std::u16string UpperCopy(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out) c = Upper(c);
    return out;
}

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// "server\share" of "server\share\rest": the first two parts.
std::u16string_view ServerAndShare(std::u16string_view rest) {
    size_t first = rest.find(u'\\');
    if (first == std::u16string_view::npos || first == 0) return rest;
    size_t second = rest.find(u'\\', first + 1);
    return rest.substr(0, second);
}

}  // namespace

std::u16string ShareOf(std::u16string_view path) {
    constexpr std::u16string_view kLongUnc = u"\\\\?\\UNC\\";
    constexpr std::u16string_view kLong = u"\\\\?\\";
    if (path.substr(0, kLongUnc.size()) == kLongUnc || path.substr(0, kLongUnc.size()) == u"\\\\?\\unc\\")
        return u"\\\\" + UpperCopy(ServerAndShare(path.substr(kLongUnc.size())));
    if (path.substr(0, kLong.size()) == kLong) path.remove_prefix(kLong.size());
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == u':') return UpperCopy(path.substr(0, 2));
    if (path.size() > 2 && path[0] == u'\\' && path[1] == u'\\')
        return u"\\\\" + UpperCopy(ServerAndShare(path.substr(2)));
    return {};
}

using Clock = std::chrono::steady_clock;

namespace {

thread_local bool t_unanswered = false;  // set by the work running on this worker

// Runs a look-up's work: what to do with its result, and whether the work
// said it was not answered.
LookupQueue::Apply Call(const LookupQueue::Work& work, bool& unanswered) {
    t_unanswered = false;
    LookupQueue::Apply apply;
    try {
        apply = work();
    } catch (...) {
        // A look-up that failed leaves what it was to fill as it was.
    }
    unanswered = t_unanswered;
    return apply;
}

}  // namespace

void LookupQueue::Unanswered() { t_unanswered = true; }

struct LookupQueue::State : std::enable_shared_from_this<LookupQueue::State> {
    struct Job {
        uint32_t load;
        std::u16string share;
        Work work;
        bool awaited, urgent;
    };
    struct Running {
        Job job;  // its work taken out while it runs
        Clock::time_point start;
    };
    struct Result {
        uint32_t load;
        Apply apply;
    };
    struct Load {
        std::map<std::u16string, int> pending;  // awaited ones queued or running, by share
        int unawaited = 0;
    };
    // When a share was last found slow and given up.
    struct Known {
        Clock::time_point slowAt, givenUpAt;
        bool givenUp = false;
    };

    Limits limits;
    std::function<void()> threadStart;
    std::function<bool()> notify;

    std::mutex m;
    std::condition_variable wake;  // workers wait for work here, WaitIdle for its end
    std::deque<Job> urgent, queue;
    std::list<Running> running;
    std::deque<Result> results;
    std::map<uint32_t, Load> loads;  // the live ones; load 0 always
    std::map<std::u16string, Known> known;
    std::set<std::u16string> held;
    uint32_t lastLoad = 0;
    int threads = 0, idle = 0;
    bool stopped = false, notified = false;

    Clock::time_point Now() const { return limits.clock ? limits.clock() : Clock::now(); }

    bool Recent(Clock::time_point at, Clock::time_point now) const { return now - at < limits.remember; }

    bool IsSlow(const std::u16string& share, Clock::time_point now) const {
        auto k = known.find(share);
        return k != known.end() && Recent(k->second.slowAt, now);
    }

    bool IsGivenUp(const std::u16string& share, Clock::time_point now) const {
        auto k = known.find(share);
        return k != known.end() && k->second.givenUp && Recent(k->second.givenUpAt, now);
    }

    // Running look-ups count for what they have taken so far: slow, never
    // given up, as they may yet answer. A look-up of a load abandoned since
    // still holds its share's turns, so it tells the next load too.
    void JudgeRunning(Clock::time_point now) {
        for (const Running& r : running)
            if (!r.job.urgent && now - r.start >= limits.slow) known[r.job.share].slowAt = now;
    }

    void JudgeFinished(const Job& job, Clock::duration took, bool unanswered, Clock::time_point now) {
        if (job.urgent) return;
        if (took < limits.slow) {
            // Answering quickly again: what the share did before is over.
            if (!unanswered) known.erase(job.share);
            return;
        }
        Known& k = known[job.share];
        k.slowAt = now;
        if (unanswered && took >= limits.timedOut) {
            k.givenUp = true;
            k.givenUpAt = now;
        }
    }

    int SlowRunning(Clock::time_point now) const {
        int n = 0;
        for (const Running& r : running) n += IsSlow(r.job.share, now);
        return n;
    }

    // Urgent work takes none of a share's turns: a launch waiting for its
    // elevation prompt would otherwise halve the share's look-ups.
    int TurnsTaken(const std::u16string& share) const {
        int n = 0;
        for (const Running& r : running) n += !r.job.urgent && r.job.share == share;
        return n;
    }

    bool MayStart(const Job& job, Clock::time_point now, int slowRunning) const {
        if (held.count(job.share)) return false;
        if (job.urgent) return true;
        if (TurnsTaken(job.share) >= limits.perShare) return false;
        return slowRunning < std::max(1, limits.workers / 2) || !IsSlow(job.share, now);
    }

    // Look-ups never to be asked: of an abandoned load, or of a load on a
    // share given up. Those of no load are the user's own and are asked.
    bool Unwanted(const Job& job, Clock::time_point now) const {
        return !loads.count(job.load) || (job.load != 0 && IsGivenUp(job.share, now));
    }

    void Forget(const Job& job) {
        auto l = loads.find(job.load);
        if (l == loads.end()) return;
        if (!job.awaited) {
            --l->second.unawaited;
            return;
        }
        auto p = l->second.pending.find(job.share);
        if (p != l->second.pending.end() && --p->second <= 0) l->second.pending.erase(p);
    }

    int Count(uint32_t load) const {
        auto l = loads.find(load);
        if (l == loads.end()) return 0;
        int n = l->second.unawaited;
        for (const auto& entry : l->second.pending) n += entry.second;
        return n;
    }

    std::list<Running>::iterator Start(std::deque<Job>& from, std::deque<Job>::iterator it, Clock::time_point now) {
        running.push_back(Running{std::move(*it), now});
        from.erase(it);
        return std::prev(running.end());
    }

    // The next job that may start, urgent ones first, now counted as running
    // (running.end(): none). Unwanted look-ups passed on the way go to
    // `dropped`, for the caller to destroy once the lock is let go of.
    std::list<Running>::iterator Pick(std::vector<Job>& dropped) {
        const Clock::time_point now = Now();
        JudgeRunning(now);
        for (auto it = urgent.begin(); it != urgent.end(); ++it)
            if (MayStart(*it, now, 0)) return Start(urgent, it, now);
        const int slowRunning = SlowRunning(now);
        for (auto it = queue.begin(); it != queue.end();) {
            if (Unwanted(*it, now)) {
                Forget(*it);
                dropped.push_back(std::move(*it));
                it = queue.erase(it);
            } else if (MayStart(*it, now, slowRunning)) {
                return Start(queue, it, now);
            } else {
                ++it;
            }
        }
        return running.end();
    }

    // Tells the window that results wait, unless it was told and has not
    // come for them yet. The lock is let go of meanwhile.
    void Tell(std::unique_lock<std::mutex>& lock) {
        if (notified || results.empty() || !notify) return;
        notified = true;
        lock.unlock();
        const bool sent = notify();
        lock.lock();
        if (!sent) notified = false;
    }

    // Runs a started job with the lock let go of and hands its result over.
    void Execute(std::unique_lock<std::mutex>& lock, std::list<Running>::iterator self) {
        Work work = std::move(self->job.work);
        lock.unlock();
        bool unanswered = false;
        Apply apply = Call(work, unanswered);
        work = nullptr;
        lock.lock();
        const Clock::time_point now = Now();
        const Clock::duration took = now - self->start;
        const Job job = std::move(self->job);
        running.erase(self);
        JudgeFinished(job, took, unanswered, now);
        Forget(job);
        if (apply && !stopped && loads.count(job.load))
            results.push_back(Result{job.load, std::exchange(apply, nullptr)});
        wake.notify_all();  // a share may take its next look-up; WaitIdle may be done
        Tell(lock);
        if (apply) {
            // Its load is gone. It may own a handle whose closing blocks.
            lock.unlock();
            apply = nullptr;
            lock.lock();
        }
    }

    // More idle threads than the work not stuck on slow shares needs.
    bool Surplus() { return threads - SlowRunning(Now()) > limits.workers; }

    void Run() {
        if (threadStart) threadStart();
        std::unique_lock<std::mutex> lock(m);
        while (!stopped) {
            std::vector<Job> dropped;
            auto job = Pick(dropped);
            const bool dropping = !dropped.empty();
            if (dropping) {
                wake.notify_all();  // for WaitIdle
                lock.unlock();
                dropped.clear();  // a search handle's closing may block on a dead share
                lock.lock();
            }
            if (job != running.end()) {
                Execute(lock, job);
            } else if (!dropping) {
                if (Surplus()) break;
                ++idle;
                wake.wait(lock);
                --idle;
            }
        }
        --threads;
    }

    // Work came or was let go: idle workers take it, or a new thread when
    // the queue holds more than they are (one idle worker woken by a burst
    // may take a stuck look-up) and fewer than `workers` threads are free of
    // slow shares, or when urgent work waits. Never more than twice
    // `workers`: look-ups on shares not yet found slow may turn out stuck.
    void Spur() {
        wake.notify_all();
        const size_t queued = queue.size() + urgent.size();
        if (size_t(idle) >= queued || stopped || threads >= 2 * limits.workers) return;
        const Clock::time_point now = Now();
        JudgeRunning(now);
        if (threads - SlowRunning(now) >= limits.workers && urgent.empty()) return;
        try {
            std::thread([keep = shared_from_this()] { keep->Run(); }).detach();
            ++threads;
        } catch (const std::system_error&) {
            // Without a thread the work waits for a worker that exists; with
            // none at all it waits for the next Submit.
        }
    }

    // `work` outlives the lock when it is not taken: a parameter is
    // destroyed after the function's own locals.
    void Add(uint32_t load, std::u16string_view share, Work work, bool awaited, bool isUrgent) {
        std::lock_guard<std::mutex> lock(m);
        auto l = loads.find(load);
        if (stopped || l == loads.end() || !work) return;
        std::u16string key(share);
        if (awaited) ++l->second.pending[key];
        else ++l->second.unawaited;
        (isUrgent ? urgent : queue).push_back(Job{load, std::move(key), std::move(work), awaited, isUrgent});
        Spur();
    }
};

LookupQueue::LookupQueue(Limits limits, std::function<void()> threadStart, std::function<bool()> notify)
    : state_(std::make_shared<State>()) {
    state_->limits = std::move(limits);
    state_->threadStart = std::move(threadStart);
    state_->notify = std::move(notify);
    state_->loads[0];
}

LookupQueue::~LookupQueue() {
    std::deque<State::Job> urgent, queue;
    std::deque<State::Result> dropped;
    {
        std::lock_guard<std::mutex> lock(state_->m);
        state_->stopped = true;
        urgent.swap(state_->urgent);
        queue.swap(state_->queue);
        dropped.swap(state_->results);
        state_->loads.clear();
    }
    state_->wake.notify_all();
}

uint32_t LookupQueue::NewLoad() {
    std::lock_guard<std::mutex> lock(state_->m);
    if (++state_->lastLoad == 0) ++state_->lastLoad;
    state_->loads[state_->lastLoad];
    return state_->lastLoad;
}

void LookupQueue::Abandon(uint32_t load) {
    if (load == 0) return;
    std::lock_guard<std::mutex> lock(state_->m);
    state_->loads.erase(load);
    // Idle workers drop its queued look-ups; WaitIdle may be done.
    state_->wake.notify_all();
}

void LookupQueue::Submit(uint32_t load, std::u16string_view share, Work work, bool awaited) {
    state_->Add(load, share, std::move(work), awaited, false);
}

void LookupQueue::SubmitUrgent(std::u16string_view share, Work work) {
    state_->Add(0, share, std::move(work), false, true);
}

bool LookupQueue::Drain(Clock::duration budget) {
    const Clock::time_point start = Clock::now();
    std::deque<State::Result> taken;
    {
        std::lock_guard<std::mutex> lock(state_->m);
        taken.swap(state_->results);
        state_->notified = false;
    }
    while (!taken.empty()) {
        if (Clock::now() - start >= budget) {
            std::lock_guard<std::mutex> lock(state_->m);
            // What is left goes back before whatever came meanwhile.
            for (auto it = taken.rbegin(); it != taken.rend(); ++it) state_->results.push_front(std::move(*it));
            state_->notified = true;  // the caller comes back: no notice needed
            return true;
        }
        State::Result r = std::move(taken.front());
        taken.pop_front();
        bool live;
        {
            std::lock_guard<std::mutex> lock(state_->m);
            live = state_->loads.count(r.load) != 0;
        }
        // A result may abandon its own load (a refresh): those after it are
        // dropped.
        if (live && r.apply) r.apply();
    }
    return false;
}

void LookupQueue::Renotify() {
    std::unique_lock<std::mutex> lock(state_->m);
    state_->notified = false;
    state_->Tell(lock);
}

int LookupQueue::Waiting(uint32_t load) const {
    State& s = *state_;
    std::lock_guard<std::mutex> lock(s.m);
    const Clock::time_point now = s.Now();
    s.JudgeRunning(now);
    // Workers that were all busy when the work came may have turned out to
    // be stuck on slow shares since: the work queued behind them gets a
    // thread now. Loading asks this while it waits, so a first burst on
    // shares not yet known to be dead never holds the local look-ups.
    s.Spur();
    auto l = s.loads.find(load);
    if (l == s.loads.end()) return 0;
    int n = 0;
    for (const auto& [share, count] : l->second.pending)
        if (!s.IsSlow(share, now)) n += count;
    return n;
}

int LookupQueue::Outstanding(uint32_t load) const {
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->Count(load);
}

bool LookupQueue::WaitIdle(uint32_t load, std::chrono::milliseconds most) {
    State& s = *state_;
    std::unique_lock<std::mutex> lock(s.m);
    return s.wake.wait_for(lock, most, [&] { return s.Count(load) == 0; });
}

LookupQueue::ShareState LookupQueue::StateOf(uint32_t load, std::u16string_view share) const {
    State& s = *state_;
    std::lock_guard<std::mutex> lock(s.m);
    const Clock::time_point now = s.Now();
    s.JudgeRunning(now);
    if (!s.loads.count(load)) return ShareState::Answering;
    const std::u16string key(share);
    if (s.IsGivenUp(key, now)) return ShareState::GivenUp;
    return s.IsSlow(key, now) ? ShareState::Slow : ShareState::Answering;
}

void LookupQueue::Hold(std::u16string share) {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->held.insert(std::move(share));
}

void LookupQueue::Release(std::u16string share) {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->held.erase(share);
    state_->Spur();
}

}  // namespace vc
