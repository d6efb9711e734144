#pragma once

#include "date_time.h"

#include <string>

namespace kelbo {

// An instant on the local wall clock in ISO 8601 with the offset in force
// then: "2026-12-07T20:00:00+01:00". Whole seconds, cut, not rounded.
std::string isoLocalTime(Instant instant);

}  // namespace kelbo
