#include "pageview/LookupQueue.h"

#include <condition_variable>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

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
}  // namespace

void LookupQueue::Unanswered() { t_unanswered = true; }

struct LookupQueue::State {
    struct Job {
        uint32_t load;
        std::u16string share;
        Work work;
        bool awaited;
    };
    struct Running {
        uint32_t load;
        std::u16string share;
        Clock::time_point start;
    };
    struct Result {
        uint32_t load;
        Apply apply;
    };
    struct Load {
        std::map<std::u16string, int> pending;  // awaited ones queued or running, by share
        int unawaited = 0;
        std::set<std::u16string> slow, givenUp;
    };

    Limits limits;
    std::function<void()> threadStart, notify;

    mutable std::mutex m;
    std::condition_variable wake;
    std::deque<Job> queue;
    std::list<Running> running;
    std::deque<Result> results;
    mutable std::map<uint32_t, Load> loads;  // the live ones; load 0 always
    uint32_t lastLoad = 0;
    int threads = 0, idle = 0;
    bool stopped = false, notified = false;

    // What a look-up that has run this long tells about its share.
    void Judge(Load& load, const std::u16string& share, Clock::duration took, bool unanswered) const {
        if (took >= limits.slow) load.slow.insert(share);
        if (took >= limits.timedOut && unanswered) load.givenUp.insert(share);
    }

    // Running look-ups count for what they have taken so far: slow, never
    // given up, as they may yet answer.
    // A look-up still running tells about its share for every load that
    // waits on that share: one of a load abandoned since (a refresh, another
    // page) may hold the share's turns while the next load's wait behind it.
    // Load 0 (look-ups of no load, such as launches) is never judged: it has
    // no end after which a share would be asked again.
    void JudgeRunning(Clock::time_point now) const {
        for (const Running& r : running)
            for (auto& [id, load] : loads)
                if (id != 0 && (id == r.load || load.pending.count(r.share)))
                    Judge(load, r.share, now - r.start, false);
    }

    void Forget(uint32_t load, const std::u16string& share, bool awaited) {
        auto l = loads.find(load);
        if (l == loads.end()) return;
        if (!awaited) {
            --l->second.unawaited;
            return;
        }
        auto p = l->second.pending.find(share);
        if (p != l->second.pending.end() && --p->second <= 0) l->second.pending.erase(p);
    }

    int RunningOn(const std::u16string& share) const {
        int n = 0;
        for (const Running& r : running) n += r.share == share;
        return n;
    }

    // The first queued look-up that may run now; look-ups of abandoned loads
    // and of shares given up are dropped on the way.
    std::deque<Job>::iterator Pick() {
        JudgeRunning(Clock::now());
        for (auto it = queue.begin(); it != queue.end();) {
            auto l = loads.find(it->load);
            if (l == loads.end() || l->second.givenUp.count(it->share)) {
                Forget(it->load, it->share, it->awaited);
                it = queue.erase(it);
                continue;
            }
            if (RunningOn(it->share) < limits.perShare) return it;
            ++it;
        }
        return queue.end();
    }

    void Run() {
        if (threadStart) threadStart();
        std::unique_lock<std::mutex> lock(m);
        while (!stopped) {
            auto it = Pick();
            if (it == queue.end()) {
                ++idle;
                wake.wait(lock);
                --idle;
                continue;
            }
            Job job = std::move(*it);
            queue.erase(it);
            auto self = running.insert(running.end(), Running{job.load, job.share, Clock::now()});
            lock.unlock();
            Apply apply;
            t_unanswered = false;
            try {
                apply = job.work();
            } catch (...) {
                // A look-up that failed leaves what it was to fill as it was.
            }
            job.work = nullptr;
            lock.lock();
            const Clock::duration took = Clock::now() - self->start;
            running.erase(self);
            bool tell = false;
            if (auto l = loads.find(job.load); l != loads.end() && !stopped) {
                if (job.load != 0) Judge(l->second, job.share, took, t_unanswered);
                Forget(job.load, job.share, job.awaited);
                if (apply) {
                    results.push_back(Result{job.load, std::move(apply)});
                    tell = !notified;
                    notified = true;
                }
            }
            wake.notify_all();  // a share may take its next look-up
            if (tell && notify) {
                lock.unlock();
                notify();
                lock.lock();
            }
            // A result dropped here is destroyed before the lock is let go of.
            apply = nullptr;
        }
        --threads;
    }
};

LookupQueue::LookupQueue(Limits limits, std::function<void()> threadStart, std::function<void()> notify)
    : state_(std::make_shared<State>()) {
    state_->limits = limits;
    state_->threadStart = std::move(threadStart);
    state_->notify = std::move(notify);
    state_->loads[0];
}

LookupQueue::~LookupQueue() {
    std::deque<State::Result> dropped;
    {
        std::lock_guard<std::mutex> lock(state_->m);
        state_->stopped = true;
        state_->queue.clear();
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
    // Queued look-ups of the load are dropped when a worker passes them.
}

void LookupQueue::Submit(uint32_t load, std::u16string_view share, Work work, bool awaited) {
    State& s = *state_;
    std::unique_lock<std::mutex> lock(s.m);
    auto l = s.loads.find(load);
    if (s.stopped || l == s.loads.end() || !work) return;
    std::u16string key(share);
    if (awaited) ++l->second.pending[key];
    else ++l->second.unawaited;
    s.queue.push_back(State::Job{load, std::move(key), std::move(work), awaited});
    if (s.idle == 0 && s.threads < s.limits.workers) {
        try {
            std::thread([keep = state_] { keep->Run(); }).detach();
            ++s.threads;
        } catch (const std::system_error&) {
            // Without a thread the look-ups wait for a worker that exists; with
            // none at all they wait for the next Submit.
        }
    }
    s.wake.notify_all();
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

int LookupQueue::Waiting(uint32_t load) const {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->JudgeRunning(Clock::now());
    auto l = state_->loads.find(load);
    if (l == state_->loads.end()) return 0;
    int n = 0;
    for (const auto& [share, count] : l->second.pending)
        if (!l->second.slow.count(share)) n += count;
    return n;
}

int LookupQueue::Outstanding(uint32_t load) const {
    std::lock_guard<std::mutex> lock(state_->m);
    auto l = state_->loads.find(load);
    if (l == state_->loads.end()) return 0;
    int n = l->second.unawaited;
    for (const auto& entry : l->second.pending) n += entry.second;
    return n;
}

LookupQueue::ShareState LookupQueue::StateOf(uint32_t load, std::u16string_view share) const {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->JudgeRunning(Clock::now());
    auto l = state_->loads.find(load);
    if (l == state_->loads.end()) return ShareState::Answering;
    const std::u16string key(share);
    if (l->second.givenUp.count(key)) return ShareState::GivenUp;
    return l->second.slow.count(key) ? ShareState::Slow : ShareState::Answering;
}

}  // namespace vc
