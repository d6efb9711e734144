#pragma once

#include "common/date_time.h"

#include <optional>

namespace kelbo {

class ScheduleList;

// A programme's times as its list row gives them: the start from "Date" and
// "Time"; the buffered start less "SBuf" minutes; the buffered end after
// "Duration" (whole minutes) plus "EBuf" minutes, the sum taken to the
// nearest whole minute, halves to even.
struct RowTimes {
    DateTime start;
    DateTime bufferedStart;
    DateTime bufferedEnd;
};

// None when a cell does not read as a date, time or number.
std::optional<RowTimes> rowTimes(const ScheduleList& list, int row);

}  // namespace kelbo
