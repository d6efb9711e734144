#include "row_timing.h"

#include "schedule_list.h"
#include "common/text_util.h"

namespace kelbo {

std::optional<RowTimes> rowTimes(const ScheduleList& list, int row) {
    const auto date = DateTime::parseDate(list.cell(row, Column::Date));
    const auto time = DateTime::parseTime(list.cell(row, Column::Time));
    const auto startBuffer = parseNumber(list.cell(row, Column::SBuf));
    const auto endBuffer = parseNumber(list.cell(row, Column::EBuf));
    const auto duration = parseWholeNumber(list.cell(row, Column::Duration));
    if (!date || !time || !startBuffer || !endBuffer || !duration) return std::nullopt;
    const DateTime start(date->days() + time->days());
    const double minutes = roundHalfEven(*endBuffer + static_cast<double>(*duration));
    return RowTimes{start, start.plusMinutes(-*startBuffer), start.plusMinutes(minutes)};
}

}  // namespace kelbo
