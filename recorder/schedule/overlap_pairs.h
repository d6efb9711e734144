#pragma once

#include "row_timing.h"

#include <optional>
#include <vector>

namespace kelbo {

// Recording times by place in the start order, counted from 1 (place 0 is
// unused); none for a programme whose times do not read, which takes part
// in no clash.
using PlaceTimes = std::vector<std::optional<RowTimes>>;

// One tuner records one programme at a time: both programmes of a pair
// clash when their buffered recording times overlap while at least one of
// them has not finished. For each place from 1 (place 0 empty), the places
// of its partners, each once, in the order their pairs were found.
std::vector<std::vector<int>> overlapPartners(const PlaceTimes& times, Instant now);

}  // namespace kelbo
