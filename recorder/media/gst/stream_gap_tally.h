#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace kelbo {

// The interruptions of a stream source so far, counted for the life of
// the device; an interruption still going on counts with its length so far.
class StreamGapTally {
public:
    void begin();
    void end(std::int64_t lengthMs);
    // A gap that is over as soon as it is known (media that never came).
    void add(std::int64_t lengthMs);
    int count() const;
    std::int64_t totalMs() const;

private:
    using Steady = std::chrono::steady_clock;
    mutable std::mutex mutex_;
    int closed_ = 0;
    std::int64_t closedMs_ = 0;
    bool open_ = false;
    Steady::time_point openSince_;
};

}  // namespace kelbo
