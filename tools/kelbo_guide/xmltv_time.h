#pragma once

#include "common/date_time.h"

#include <optional>
#include <string_view>

namespace kelbo::guide {

// "YYYYMMDDhhmmss +hhmm" or an initial part of it of at least the date,
// then an optional zone: an offset ("+hhmm", "-hhmm"), a common
// abbreviation with a fixed offset ("UTC", "GMT", "BST", "CET", "EST",
// "PDT", ...), or a zone name of the tz database ("Europe/London"), whose
// rules give the offset at that wall-clock time. No zone means UTC. Years
// before 1900 or after 2199 do not read.
std::optional<Instant> parseXmltvTime(std::string_view text);

// The offset east of UTC, in minutes, that `zone` stands for at the
// wall-clock time `localSeconds` (seconds since 1970 as if the wall clock
// were UTC); nothing for a zone that is not known.
std::optional<int> zoneOffsetMinutes(std::string_view zone, long long localSeconds);

}  // namespace kelbo::guide
