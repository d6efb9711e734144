#pragma once

// A row's recording times read back from its cells, as the list was read
// before the schedule had a model: the oracle the model's answers are
// compared with.
#include "common/text_util.h"
#include "recorder/schedule/row_timing.h"
#include "recorder/forms/schedule_list.h"

#include <optional>

namespace kelbo::testing {

inline std::optional<RowTimes> cellTimes(const ScheduleList& list, int row) {
    const auto date = DateTime::parseDate(list.cell(row, Column::Date));
    const auto time = DateTime::parseTime(list.cell(row, Column::Time));
    const auto startBuffer = parseNumber(list.cell(row, Column::SBuf));
    const auto endBuffer = parseNumber(list.cell(row, Column::EBuf));
    const auto duration = parseWholeNumber(list.cell(row, Column::Duration));
    if (!date || !time || !startBuffer || !endBuffer || !duration) return std::nullopt;
    return recordingTimes(DateTime(date->days() + time->days()), *startBuffer, *endBuffer, *duration);
}

}  // namespace kelbo::testing
