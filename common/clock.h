#pragma once

#include "date_time.h"

namespace kelbo {

// Where "now" comes from. Tests replace it.
class Clock {
public:
    using Steady = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual Instant now() const = 0;
    // Time as it passes, whatever the wall clock is set to: for telling how
    // long something really took when the wall clock may have been set
    // forwards or back meanwhile.
    virtual Steady steadyNow() const { return std::chrono::steady_clock::now(); }
    DateTime localNow() const { return toLocalDateTime(now()); }
};

class SystemClock : public Clock {
public:
    Instant now() const override { return std::chrono::system_clock::now(); }
};

// A clock that stands still until told otherwise. set() and advance() let
// time pass; step() sets the wall clock forwards or back with no time
// passing, as a user or a time server would.
class FixedClock : public Clock {
public:
    explicit FixedClock(Instant at) : at_(at) {}
    Instant now() const override { return at_; }
    Steady steadyNow() const override { return steady_; }
    // An earlier instant than now is a step back: no time passes.
    void set(Instant at) {
        if (at > at_) steady_ += std::chrono::duration_cast<Steady::duration>(at - at_);
        at_ = at;
    }
    void advance(std::chrono::milliseconds by) {
        at_ += by;
        steady_ += by;
    }
    void step(std::chrono::milliseconds by) { at_ += by; }

private:
    Instant at_;
    Steady steady_{};
};

}  // namespace kelbo
