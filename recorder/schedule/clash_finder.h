#pragma once

#include "programme.h"
#include "common/date_time.h"

#include <vector>

namespace kelbo {

class Schedule;

// Which listed programmes clash, by their place in the start order.
struct Clashes {
    // The start order the partners refer to.
    std::vector<ProgrammeId> order;
    // For each place from 1, the places of its partners in the order their
    // pairs were found, each once.
    std::vector<std::vector<int>> partners;
    std::vector<ProgrammeId> with(ProgrammeId id) const;
};

// One capture device records one programme at a time. Drops from the start
// order the programmes that repeat an earlier one (same date, time, channel
// number and channel name, the name without regard to case), then pairs the
// programmes whose buffered recording times overlap while at least one of
// them has not finished.
Clashes findClashes(Schedule& schedule, Instant now);

}  // namespace kelbo
