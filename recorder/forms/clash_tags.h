#pragma once

#include "recorder/schedule/clash_finder.h"

#include <string>

namespace kelbo {

class Schedule;
class ScheduleList;

// The list's rows (in step with the start order) coloured blue where they
// clash, black otherwise, each naming its partners in its tag:
// "Clash with: A on X AND B on Y AND ".
void showClashes(const Schedule& schedule, const Clashes& clashes, ScheduleList& list);

// What a row's clash tag says to the user: the tag without a trailing
// " AND ", or nothing when the row clashes with nothing.
std::string clashDescription(const std::string& tag);

// The clashes found, then shown, then the list refreshed.
Clashes FindClash(Schedule& schedule, ScheduleList& list, Instant now, int tuners);

}  // namespace kelbo
