#pragma once

#include "common/date_time.h"

#include <optional>

namespace kelbo {

// A programme's recording times as real instants. The start is the local
// "Date" and "Time"; the buffered start is "SBuf" real minutes before it
// (fractions kept to the millisecond); the buffered end is "Duration" plus
// "EBuf" real minutes after it, the sum taken to the nearest whole minute,
// halves to even. Across a change of the clocks a 120-minute programme thus
// still ends 120 minutes after it starts.
struct RowTimes {
    Instant start;
    Instant bufferedStart;
    Instant bufferedEnd;
};

RowTimes recordingTimes(DateTime localStart, double startBuffer, double endBuffer,
                        long long duration);

}  // namespace kelbo
