#pragma once

#include "addin/guide_records.h"

#include "common/date_time.h"

#include <cstdint>
#include <string>

namespace kelbo::guide {

// A programme as the guide knows it; record() lends it out in the guide's
// record layout, pointing into this object's texts.
struct GuideProgramme {
    std::string name;
    DateTime start;  // local wall clock
    uint32_t duration = 0;
    std::string channelName;
    std::string channelNumber;
    std::string category;
    std::string description;
    uint32_t reminderId = 0;
    uint32_t smartSearchId = 0;
    uint32_t favouriteId = 0;

    KelboProgramme record() const;
};

}  // namespace kelbo::guide
