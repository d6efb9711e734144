#include "stream_gap_tally.h"

namespace kelbo {

void StreamGapTally::begin() {
    std::lock_guard lock(mutex_);
    if (open_) return;
    open_ = true;
    openSince_ = Steady::now();
}

void StreamGapTally::end(std::int64_t lengthMs) {
    std::lock_guard lock(mutex_);
    open_ = false;
    ++closed_;
    closedMs_ += lengthMs;
}

void StreamGapTally::add(std::int64_t lengthMs) {
    std::lock_guard lock(mutex_);
    ++closed_;
    closedMs_ += lengthMs;
}

int StreamGapTally::count() const {
    std::lock_guard lock(mutex_);
    return closed_ + (open_ ? 1 : 0);
}

std::int64_t StreamGapTally::totalMs() const {
    std::lock_guard lock(mutex_);
    if (!open_) return closedMs_;
    return closedMs_ +
           std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - openSince_).count();
}

}  // namespace kelbo
