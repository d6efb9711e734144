#pragma once

#include "common/date_time.h"
#include "common/schedule_item.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace kelbo {

// True while the programme's buffered end (start, plus its duration and end
// buffer taken to the nearest whole minute) is still to come. The item's own
// end buffer counts, else `defaultEndBuffer`. An item whose times do not read
// can never be recorded, so it counts as finished.
bool stillToCome(const ScheduleItem& item, const std::string& defaultEndBuffer, DateTime now);

// Chooses which of a file's accepted records fill a table of `slots`: first
// those still to come, then finished ones, each in file order. Holds at most
// `slots` records of each kind, whatever the size of the file.
class SlotChoice {
public:
    SlotChoice(std::size_t slots, std::string defaultEndBuffer, DateTime now);

    // The next accepted record; `ordinal` counts accepted records from 0.
    void offer(long ordinal, ScheduleItem item);

    // The records chosen, in file order, with their ordinals.
    std::vector<std::pair<long, ScheduleItem>> takeChosen();
    std::size_t leftOut() const { return offered_ - kept(); }
    std::size_t comingLeftOut() const { return comingLeftOut_; }

private:
    std::size_t kept() const;

    std::size_t slots_;
    std::string defaultEndBuffer_;
    DateTime now_;
    std::vector<std::pair<long, ScheduleItem>> coming_, finished_;
    std::size_t offered_ = 0;
    std::size_t comingLeftOut_ = 0;
};

}  // namespace kelbo
