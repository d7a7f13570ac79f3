// Look-ups that may block run on worker threads: one file call on a share
// that has gone away can wait for a network time-out, and the window must go
// on answering meanwhile. Each look-up's work runs on a worker and returns
// what to do with its result; that runs on the window's thread, which alone
// touches the records. Portable: no windows.h.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vc {

// Where a path's look-ups wait: "\\SERVER\SHARE" for a UNC path, "X:" for a
// drive path (upper case: one share however it is spelt), else empty.
std::u16string ShareOf(std::u16string_view path);

class LookupQueue {
public:
    using Apply = std::function<void()>;  // on the window's thread; may be empty
    using Work = std::function<Apply()>;  // on a worker

    struct Limits {
        int workers = 8;   // threads for look-ups; see Submit for the rest
        int perShare = 2;  // look-ups of one share at a time
        // A share is slow once one of its look-ups took this long, finished
        // or still running: loading no longer waits for it, and its look-ups
        // hold fewer than half of `workers` (at least one).
        std::chrono::milliseconds slow{700};
        // A share is given up once one of its look-ups took this long and
        // came back unanswered (Unanswered): look-ups of a load on it are
        // dropped unasked. One that answers late is only slow: a disk
        // spinning up, or a share behind a poor link, is still asked.
        std::chrono::milliseconds timedOut{4000};
        // How long a share stays slow or given up after it was last found
        // so, for every load: a page switched to does not wait on a share
        // that has just timed out. A quick answer on it ends that at once.
        std::chrono::milliseconds remember = std::chrono::minutes(1);
        // What every judgement of time reads; empty: steady_clock::now.
        std::function<std::chrono::steady_clock::time_point()> clock;
    };

    // `threadStart` runs first on each worker (COM there); `notify` is called
    // from a worker when results wait and the window was not told yet, so
    // that the window's thread comes to run them (Drain). It returns whether
    // the notice went out: one that did not is tried again with the next
    // result or Renotify.
    LookupQueue(Limits limits, std::function<void()> threadStart, std::function<bool()> notify);
    // Workers busy in a look-up are not waited for: they end when it returns,
    // dropping its result.
    ~LookupQueue();
    LookupQueue(const LookupQueue&) = delete;
    LookupQueue& operator=(const LookupQueue&) = delete;

    // A new load (never 0: load 0 is for look-ups of no load, never
    // abandoned). Look-ups of an abandoned load are dropped unasked; results
    // of its look-ups that still return are dropped.
    uint32_t NewLoad();
    void Abandon(uint32_t load);

    // `awaited`: loading waits for it (Waiting counts it); pictures that
    // only make a listed item look right are not awaited. Workers busy on
    // slow shares do not count against `workers`: with none idle, a thread
    // is started unless `workers` are busy on other work, so that shares
    // gone away never hold up the rest; about twice `workers` at most.
    void Submit(uint32_t load, std::u16string_view share, Work work, bool awaited = true);
    // Work of no load the user waits for (a launch): taken before every
    // queued look-up, whatever its share has running, and never judged (a
    // launch may wait for the user on a share that answers well).
    void SubmitUrgent(std::u16string_view share, Work work);
    // Called by a look-up's work on its worker: what it asked for was not
    // there (a share gone away answers so, after its time-out).
    static void Unanswered();

    // Runs the results that came back, in the order they came; those of
    // abandoned loads are dropped. Window's thread only. Stops once `budget`
    // is spent, so that one message stays short: true when results are left
    // (the caller comes back for them; no notice is sent for those).
    bool Drain(std::chrono::steady_clock::duration budget = std::chrono::steady_clock::duration::max());
    // Window's thread: forgets that the window was told (a new window, or
    // one that went before it handled the notice) and tells it again if
    // results wait.
    void Renotify();

    // Awaited look-ups of `load` not yet returned, apart from those on shares
    // slow or given up: what loading still waits for. Asking also starts a
    // thread for queued work when the workers have turned out stuck.
    int Waiting(uint32_t load) const;
    // Look-ups of `load` queued or running, every share counted.
    int Outstanding(uint32_t load) const;
    // Blocks until `load` has nothing queued or running (Outstanding), or
    // `most` has passed: whether it came to nothing.
    bool WaitIdle(uint32_t load, std::chrono::milliseconds most);
    // What is known of the share now.
    enum class ShareState { Answering, Slow, GivenUp };
    ShareState StateOf(uint32_t load, std::u16string_view share) const;

    // While a share (as ShareOf spells it) is held, none of its queued work
    // starts, urgent work included; released, it runs. For tests that keep
    // look-ups out without a slow share.
    void Hold(std::u16string share);
    void Release(std::u16string share);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace vc
