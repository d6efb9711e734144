#pragma once

#include "common/date_time.h"

namespace kelbo {

class ScheduleList;

// One capture device records one programme at a time. FindClash drops rows
// that repeat an earlier row (same date, time, channel number and channel
// name, the name without regard to case), then
// colours blue every pair of rows whose buffered recording times overlap
// while at least one of them has not finished, and names each row's
// partners in its tag: "Clash with: A on X AND B on Y AND ".
void FindClash(ScheduleList& list, Instant now);

}  // namespace kelbo
