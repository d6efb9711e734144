#pragma once

#include "recorder/ports/ui_dispatcher.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kelbo {

// A user-interface thread for programs without a toolkit: tasks posted from
// any thread run on whichever thread calls the run functions.
class QueuedDispatcher : public UiDispatcher {
public:
    void post(std::function<void()> task) override;

    // Runs tasks until `done` holds (checked after each batch of tasks and
    // at least every 10 ms) or the time is up; true when `done` held.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs tasks for the given time, waking only for tasks.
    void runFor(std::chrono::milliseconds time);
    // Runs what is queued now, without waiting.
    void runPending();

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace kelbo
