#include "queued_dispatcher.h"

namespace kelbo {

void QueuedDispatcher::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

bool QueuedDispatcher::runUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        runPending();
        if (done && done()) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        // A condition may turn without a task, so it is looked at every
        // 10 ms; with none, only a task or the deadline wakes the thread.
        const auto until =
            done ? std::min(deadline, now + std::chrono::milliseconds(10)) : deadline;
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, until, [this] { return !tasks_.empty(); });
    }
}

void QueuedDispatcher::runFor(std::chrono::milliseconds time) { runUntil(nullptr, time); }

void QueuedDispatcher::runPending() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(mutex_);
        tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
}

}  // namespace kelbo
