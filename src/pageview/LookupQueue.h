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
        int workers = 8;   // threads at most
        int perShare = 2;  // look-ups of one share at a time
        // A share is slow once one of its look-ups took this long: loading
        // no longer waits for it.
        std::chrono::milliseconds slow{700};
        // A share is given up for the rest of a load once one of its look-ups
        // took this long and came back unanswered (Unanswered): its queued
        // look-ups are dropped unasked. One that answers late is only slow:
        // a disk spinning up, or a share behind a poor link, is still asked.
        std::chrono::milliseconds timedOut{4000};
    };

    // `threadStart` runs first on each worker (COM there); `notify` is called
    // from a worker when results wait and none were waiting before, so that
    // the window's thread comes to run them (Drain).
    LookupQueue(Limits limits, std::function<void()> threadStart, std::function<void()> notify);
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
    // only make a listed item look right are not awaited.
    void Submit(uint32_t load, std::u16string_view share, Work work, bool awaited = true);
    // Called by a look-up's work on its worker: what it asked for was not
    // there (a share gone away answers so, after its time-out).
    static void Unanswered();

    // Runs the results that came back, in the order they came; those of
    // abandoned loads are dropped. Window's thread only. Stops once `budget`
    // is spent, so that one message stays short: true when results are left
    // (the caller comes back for them; no notice is sent for those).
    bool Drain(std::chrono::steady_clock::duration budget = std::chrono::steady_clock::duration::max());

    // Awaited look-ups of `load` not yet returned, apart from those on shares
    // found slow or given up: what loading still waits for.
    int Waiting(uint32_t load) const;
    // Look-ups of `load` queued or running, every share counted.
    int Outstanding(uint32_t load) const;
    // What `load` found of the share so far.
    enum class ShareState { Answering, Slow, GivenUp };
    ShareState StateOf(uint32_t load, std::u16string_view share) const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace vc
