#pragma once

#include "programme.h"
#include "common/date_time.h"

namespace kelbo {

class Schedule;

// A programme the user may hide from a long-running recorder's list: it
// was recorded, stopped or failed, and its recording window has passed. One
// whose times do not read is never hidden.
bool isFinishedAndPast(const Schedule& schedule, ProgrammeId id, Instant now);

}  // namespace kelbo
