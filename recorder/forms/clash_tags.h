#pragma once

#include "recorder/schedule/clash_finder.h"

namespace kelbo {

class Schedule;
class ScheduleList;

// The list's rows (in step with the start order) coloured blue where they
// clash, black otherwise, each naming its partners in its tag:
// "Clash with: A on X AND B on Y AND ".
void showClashes(const Schedule& schedule, const Clashes& clashes, ScheduleList& list);

// The clashes found, then shown, then the list refreshed.
Clashes FindClash(Schedule& schedule, ScheduleList& list, Instant now, int tuners);

}  // namespace kelbo
