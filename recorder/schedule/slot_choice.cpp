#include "slot_choice.h"

#include "common/text_util.h"

#include <algorithm>

namespace kelbo {

bool stillToCome(const ScheduleItem& item, const std::string& defaultEndBuffer, DateTime now) {
    const auto date = DateTime::parseDate(item.StartDate);
    const auto time = DateTime::parseTime(item.StartTime);
    const auto duration = parseNumber(item.Duration);
    const auto endBuffer = parseNumber(item.EndBuffer.empty() ? defaultEndBuffer : item.EndBuffer);
    if (!date || !time || !duration || !endBuffer) return false;
    const DateTime start(date->days() + time->days());
    return start.plusMinutes(roundHalfEven(*duration + *endBuffer)) > now;
}

SlotChoice::SlotChoice(std::size_t slots, std::string defaultEndBuffer, DateTime now)
    : slots_(slots), defaultEndBuffer_(std::move(defaultEndBuffer)), now_(now) {}

void SlotChoice::offer(long ordinal, ScheduleItem item) {
    ++offered_;
    if (stillToCome(item, defaultEndBuffer_, now_)) {
        if (coming_.size() < slots_) coming_.emplace_back(ordinal, std::move(item));
        else ++comingLeftOut_;
    } else if (finished_.size() < slots_) {
        finished_.emplace_back(ordinal, std::move(item));
    }
}

std::size_t SlotChoice::kept() const {
    return coming_.size() + std::min(finished_.size(), slots_ - coming_.size());
}

std::vector<std::pair<long, ScheduleItem>> SlotChoice::takeChosen() {
    finished_.resize(std::min(finished_.size(), slots_ - coming_.size()));
    std::vector<std::pair<long, ScheduleItem>> chosen;
    chosen.reserve(coming_.size() + finished_.size());
    std::merge(std::make_move_iterator(coming_.begin()), std::make_move_iterator(coming_.end()),
               std::make_move_iterator(finished_.begin()), std::make_move_iterator(finished_.end()),
               std::back_inserter(chosen),
               [](const auto& a, const auto& b) { return a.first < b.first; });
    // The moved-from entries stay, so that the counts still hold.
    return chosen;
}

}  // namespace kelbo
