#pragma once

#include "common/clock.h"

#include <chrono>
#include <optional>
#include <string>

namespace kelbo {

// The starts of a recording whose network stream cannot be opened: tried
// again after 1, 2, 4 and 8 s, then every 10 s, like a lost stream is
// reopened; the cap keeps a stream that comes back from being missed for
// long. Each cause is told once, not at every retry.
class StreamRetry {
public:
    static constexpr std::chrono::milliseconds kFirstWait{1000};
    static constexpr std::chrono::milliseconds kLongestWait{10000};

    // No wait is running at `now`.
    bool mayStart(Clock::Steady now) const { return !notBefore_ || now >= *notBefore_; }
    // A start failed because of `cause`: the next waits its turn. True
    // when the cause was not told yet.
    bool failed(Clock::Steady now, const std::string& cause);
    // How long the start that failed last waits.
    std::chrono::milliseconds wait() const { return wait_; }
    // The stream opened: the next failure is told and waited for afresh.
    void succeeded();

private:
    std::optional<Clock::Steady> notBefore_;
    std::chrono::milliseconds wait_{0};
    std::string told_;
};

}  // namespace kelbo
