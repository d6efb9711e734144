#include "stream_retry.h"

#include <algorithm>

namespace kelbo {

bool StreamRetry::failed(Clock::Steady now, const std::string& cause) {
    wait_ = wait_.count() == 0 ? kFirstWait : std::min(wait_ * 2, kLongestWait);
    notBefore_ = now + wait_;
    if (cause == told_) return false;
    told_ = cause;
    return true;
}

void StreamRetry::succeeded() {
    notBefore_.reset();
    wait_ = std::chrono::milliseconds{0};
    told_.clear();
}

}  // namespace kelbo
