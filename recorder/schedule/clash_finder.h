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
    // For each place from 1, the places of its partners, each once: with
    // one tuner in the order their pairs were found; with several, only
    // for the programmes left without a tuner, the places of those that
    // hold them, in start order.
    std::vector<std::vector<int>> partners;
    std::vector<ProgrammeId> with(ProgrammeId id) const;
};

// Drops from the start order the programmes that repeat an earlier one
// (same date, time, channel number and channel name, the name without
// regard to case). Then, with one tuner, which records one programme at a
// time, pairs the programmes whose buffered recording times overlap while
// at least one of them has not finished. With several tuners, a programme
// clashes only when at some instant of its buffered window every tuner is
// held by a programme before it in start order (see findTunerShortages);
// it names the programmes that hold them, which are no clash themselves.
Clashes findClashes(Schedule& schedule, Instant now, int tuners);

}  // namespace kelbo
