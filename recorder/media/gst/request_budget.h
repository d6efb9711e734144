#pragma once

#include <chrono>
#include <mutex>

namespace kelbo {

// How often one tuner's stream may ask its servers for something (HLS
// playlists, segments and keys, redirects followed, reconnections): a burst
// of `burst` requests at once, as opening a master playlist with its
// variants takes, then `perSecond` a second. A stream that asks more (a
// playlist that lists itself, a live playlist that is never new) waits
// rather than hammering its server and the recorder.
class RequestBudget {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int kBurst = 100;
    static constexpr int kPerSecond = 10;

    explicit RequestBudget(int burst = kBurst, int perSecond = kPerSecond);

    // Takes the next request's turn at `now`: how long it must wait first,
    // zero when it may go at once.
    Clock::duration take(Clock::time_point now);

private:
    std::mutex mutex_;
    const double burst_;
    const double perSecond_;
    double left_;  // below zero: turns already promised to waiting requests
    Clock::time_point filled_{};
    bool started_ = false;
};

}  // namespace kelbo
