#include "guide_programme.h"

#include <chrono>

namespace kelbo::guide {

KelboProgramme GuideProgramme::record() const {
    using namespace std::chrono;
    const DateTime::Civil c = start.civil();
    const year_month_day ymd{year{c.year}, month{static_cast<unsigned>(c.month)},
                             day{static_cast<unsigned>(c.day)}};
    KelboProgramme p{};
    p.start.year = static_cast<uint16_t>(c.year);
    p.start.month = static_cast<uint16_t>(c.month);
    p.start.dayOfWeek = static_cast<uint16_t>(weekday{sys_days{ymd}}.c_encoding());
    p.start.day = static_cast<uint16_t>(c.day);
    p.start.hour = static_cast<uint16_t>(c.hour);
    p.start.minute = static_cast<uint16_t>(c.minute);
    p.start.second = static_cast<uint16_t>(c.second);
    p.start.millisecond = static_cast<uint16_t>(c.millisecond);
    p.duration = duration;
    p.name = name.c_str();
    p.category = category.c_str();
    p.description = description.c_str();
    p.channelName = channelName.c_str();
    p.channelNumber = channelNumber.c_str();
    p.reminderId = reminderId;
    p.smartSearchId = smartSearchId;
    p.favouriteId = favouriteId;
    return p;
}

}  // namespace kelbo::guide
