#pragma once

#include "common/date_time.h"

namespace kelbo {

class ScheduleList;

// A row the user may hide from a long-running recorder's list: its
// programme was recorded, stopped or failed, and its recording window has
// passed. A row whose times do not read is never hidden.
bool isFinishedAndPast(const ScheduleList& list, int row, Instant now);

}  // namespace kelbo
