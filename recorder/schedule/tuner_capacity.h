#pragma once

#include "common/date_time.h"

#include <cstddef>
#include <vector>

namespace kelbo {

// The time a programme holds a tuner: its buffered start to its buffered end.
struct TunerWindow {
    Instant bufferedStart;
    Instant bufferedEnd;
};

// A programme no tuner is left for, and the programmes that hold them.
struct TunerShortage {
    std::size_t programme = 0;      // index into the windows given
    std::vector<std::size_t> with;  // the programmes that take the tuners, in the order given
};

// With several tuners, programmes may overlap as long as there is a tuner
// for each. `windows` come in the order the next programme is chosen
// (earliest first, the list's order between equal starts); each takes a
// tuner when, at every instant of its window, fewer than `tuners` of the
// programmes before it that took one are recording; otherwise it is short
// of a tuner and names those that overlap it. Programmes finished by `now`
// hold no tuner and are never short of one.
std::vector<TunerShortage> findTunerShortages(const std::vector<TunerWindow>& windows, int tuners,
                                              Instant now);

}  // namespace kelbo
