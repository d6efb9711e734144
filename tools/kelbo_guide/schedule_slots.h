#pragma once

#include "common/date_time.h"
#include "common/schedule_item.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>

namespace kelbo::guide {

// The schedule file is read while the window waits, and anyone may have put
// something else at its path: only a regular file is read, never more than
// this, and a read that cannot start at once is given up.
inline constexpr size_t kScheduleReadLimit = 16 << 20;

// Calls `each` with every record of the schedule file the recorder would
// accept; nothing for a missing, unreadable or special file. A file beyond
// the limit is read up to it.
void forEachScheduled(const std::string& scheduleFile, const std::function<void(const ScheduleItem&)>& each,
                      size_t limit = kScheduleReadLimit);

// Where the schedule's programmes are, for marking those of a listing: a
// programme is held when a record starts on its local date and time with
// its channel number and a name for the same station (sameChannelName, or
// equal but for letter case). Hand-written dates and times ("5-3-2003",
// "7:05") read as the add-in's.
class ScheduleSlots {
public:
    static ScheduleSlots read(const std::string& scheduleFile);

    void add(const ScheduleItem& item);
    bool holds(const DateTime& start, const std::string& channelNumber, const std::string& channelName) const;
    bool empty() const { return names_.empty(); }

private:
    std::multimap<std::string, std::string> names_;  // date, time and number: channel name
};

}  // namespace kelbo::guide
