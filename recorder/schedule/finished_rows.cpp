#include "finished_rows.h"

#include "row_timing.h"
#include "schedule_list.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kelbo {

bool isFinishedAndPast(const ScheduleList& list, int row, Instant now) {
    static constexpr std::array<std::string_view, 3> kFinished{"Recorded", "Stopped", "Failed"};
    const std::string_view status = list.cell(row, Column::Status);
    if (std::ranges::find(kFinished, status) == kFinished.end()) return false;
    const std::optional<RowTimes> times = rowTimes(list, row);
    return times && times->bufferedEnd < now;
}

}  // namespace kelbo
