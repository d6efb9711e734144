#include "request_budget.h"

#include <algorithm>

namespace kelbo {

RequestBudget::RequestBudget(int burst, int perSecond)
    : burst_(burst), perSecond_(perSecond), left_(burst) {}

RequestBudget::Clock::duration RequestBudget::take(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (started_ && now > filled_) {
        const std::chrono::duration<double> since = now - filled_;
        left_ = std::min(burst_, left_ + since.count() * perSecond_);
    }
    if (!started_ || now > filled_) filled_ = now;
    started_ = true;
    left_ -= 1;
    if (left_ >= 0) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(-left_ / perSecond_));
}

}  // namespace kelbo
