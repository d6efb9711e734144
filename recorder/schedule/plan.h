#pragma once

#include "programme.h"
#include "common/date_time.h"

#include <vector>

namespace kelbo {

class Schedule;

// A tuner as the plan sees it. Tuners are numbered from 1 by their place.
struct TunerNow {
    // It takes new programmes; a closed one only finishes what it records.
    bool open = true;
    // The programme it records now; 0 when none.
    ProgrammeId recording = 0;
    // The programme it recorded to its real end while the clock, set back
    // meanwhile, says it is still on; 0 when none. Every programme at the
    // same date, time and channel number counts as done.
    ProgrammeId recordedToItsEnd = 0;
};

enum class PlanState {
    ToRecord,   // on `tuner`, `next` for the first of each tuner in start order
    Recording,  // on `tuner`
    Clash,      // several tuners: none is left for it
    Duplicate,  // of `duplicateOf`
    Done,       // its buffered end has passed, or it was recorded to its end
    Stopped,    // by hand, and kept so
    NoTimes,    // its date, time, duration or buffers do not read
};

struct ProgrammePlan {
    ProgrammeId id = 0;
    PlanState state = PlanState::NoTimes;
    int tuner = 0;  // ToRecord and Recording
    bool next = false;
    ProgrammeId duplicateOf = 0;
    // The clash mark. With one tuner, which records one programme after
    // another, both programmes of every overlapping pair are marked, in the
    // order the pairs are found: a mark only, since the first to come still
    // records and the other from when it ends. With several, only a Clash
    // names, in start order, the programmes that hold the tuners it lacks.
    std::vector<ProgrammeId> clashesWith;
};

// What every tuner records, worked out anew from the schedule, the instant
// and the tuners, changing none of them. Duplicates of an earlier programme
// (same date, time, channel number and name) are dropped first. With one
// open tuner it takes, in start order, every programme not stopped whose
// buffered end is ahead, the first being its next. With several, a
// recording keeps its tuner; then, in start order, a programme gets an open
// tuner unless at some instant of its buffered window as many programmes
// that got one before it are recording as there are open tuners, and then
// it clashes with those of them that overlap it. Programmes finished by now
// or stopped hold no tuner. A programme that gets one is given, in order
// of its buffered start, the first open tuner free for the whole of its
// window from now on.
class Plan {
public:
    Plan(const Schedule& schedule, Instant now, const std::vector<TunerNow>& tuners);

    // Every listed programme, in start order.
    const std::vector<ProgrammePlan>& programmes() const { return programmes_; }
    // Null for a programme not listed.
    const ProgrammePlan* of(ProgrammeId id) const;
    // The programme tuner `number` records next, not counting the one it
    // records now; 0 when none.
    ProgrammeId nextFor(int number) const;

private:
    std::vector<ProgrammePlan> programmes_;
};

}  // namespace kelbo
