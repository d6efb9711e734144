#pragma once

#include "row_timing.h"
#include "common/date_time.h"
#include "common/schedule_item.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

// A programme's identity for the run: given when it enters the schedule,
// kept through edits, moves in the start order and reloads of an unchanged
// record, never given to another. 0 is none.
using ProgrammeId = std::uint32_t;

enum class ProgrammeStatus { Pending, Recording, Recorded, Failed, Stopped };

// "Pending", "Recording", ...
std::string_view statusName(ProgrammeStatus status);
// What a stored completion mark means; anything else is still to record.
ProgrammeStatus storedStatus(std::string_view complete);
// The completion mark the file keeps for a status: a recording in progress
// is kept as "Failed", so that a recorder that dies records it again.
std::string storedMark(ProgrammeStatus status);

// One programme of the schedule: the record as stored (kept whole, so that
// a rewrite gives back what was read) and its values as the recorder uses
// them. A value whose text does not read is none; the times need all of
// start date and time, duration and both buffers.
struct Programme {
    ProgrammeId id = 0;
    ScheduleItem stored;
    ProgrammeStatus status = ProgrammeStatus::Pending;
    std::optional<DateTime> localStart;
    std::optional<long long> durationMinutes;
    // The item's own buffer, else the default; minutes, fractions kept.
    std::optional<double> startBufferMinutes;
    std::optional<double> endBufferMinutes;
    std::optional<RowTimes> times;
};

// The values of `item` with the default buffers for those it leaves empty.
Programme readProgramme(ProgrammeId id, const ScheduleItem& item, ProgrammeStatus status,
                        std::string_view defaultStartBuffer, std::string_view defaultEndBuffer);

// Only the recording times, for the loops over the whole schedule.
std::optional<RowTimes> programmeTimes(const ScheduleItem& item, std::string_view defaultStartBuffer,
                                       std::string_view defaultEndBuffer);

}  // namespace kelbo
