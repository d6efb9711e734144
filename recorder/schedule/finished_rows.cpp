#include "finished_rows.h"

#include "schedule.h"

namespace kelbo {

bool isFinishedAndPast(const Schedule& schedule, ProgrammeId id, Instant now) {
    const ProgrammeStatus status = schedule.statusOf(id);
    if (schedule.stored(id) == nullptr ||
        (status != ProgrammeStatus::Recorded && status != ProgrammeStatus::Stopped && status != ProgrammeStatus::Failed))
        return false;
    const std::optional<RowTimes> times = schedule.timesOf(id);
    return times && times->bufferedEnd < now;
}

}  // namespace kelbo
