#pragma once

#include <string>
#include <string_view>

namespace kelbo {

class ScheduleList;

// The file-name pattern expanded from list row `row` (from 1), or with
// sample values when the list is empty: what the Options dialog shows.
std::string Example_FileName(const ScheduleList& list, int row, std::string_view pattern);

}  // namespace kelbo
