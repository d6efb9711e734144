#pragma once

#include "date_time.h"

namespace kelbo {

// Where "now" comes from. Tests replace it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Instant now() const = 0;
    DateTime localNow() const { return toLocalDateTime(now()); }
};

class SystemClock : public Clock {
public:
    Instant now() const override { return std::chrono::system_clock::now(); }
};

// A clock that stands still until told otherwise.
class FixedClock : public Clock {
public:
    explicit FixedClock(Instant at) : at_(at) {}
    Instant now() const override { return at_; }
    void set(Instant at) { at_ = at; }
    void advance(std::chrono::milliseconds by) { at_ += by; }

private:
    Instant at_;
};

}  // namespace kelbo
