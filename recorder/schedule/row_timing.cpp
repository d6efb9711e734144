#include "row_timing.h"

#include "schedule_list.h"
#include "common/text_util.h"

#include <cmath>

namespace kelbo {

RowTimes recordingTimes(DateTime localStart, double startBuffer, double endBuffer,
                        long long duration) {
    using namespace std::chrono;
    const Instant start = toInstant(localStart);
    const milliseconds lead(std::llround(startBuffer * 60000.0));
    const minutes length(static_cast<long long>(roundHalfEven(endBuffer + static_cast<double>(duration))));
    return RowTimes{start, start - lead, start + length};
}

std::optional<RowTimes> rowTimes(const ScheduleList& list, int row) {
    const auto date = DateTime::parseDate(list.cell(row, Column::Date));
    const auto time = DateTime::parseTime(list.cell(row, Column::Time));
    const auto startBuffer = parseNumber(list.cell(row, Column::SBuf));
    const auto endBuffer = parseNumber(list.cell(row, Column::EBuf));
    const auto duration = parseWholeNumber(list.cell(row, Column::Duration));
    if (!date || !time || !startBuffer || !endBuffer || !duration) return std::nullopt;
    return recordingTimes(DateTime(date->days() + time->days()), *startBuffer, *endBuffer, *duration);
}

}  // namespace kelbo
