#pragma once

#include "common/schedule_item.h"

#include <string>
#include <vector>

namespace kelbo {

// A field that the recorder and another program (a text editor, the guide)
// both changed, each its own way, since the recorder last read or wrote the
// file.
struct FieldConflict {
    std::string field;
    std::string ours;
    std::string theirs;
};

// The record as both sides left it, field by field against `base`, the
// record as the recorder last read or wrote it: a field only one side
// changed takes that side's value; a field both changed keeps the
// recorder's and is named in `conflicts`.
ScheduleItem mergeRecord(const ScheduleItem& base, const ScheduleItem& ours, const ScheduleItem& theirs,
                         std::vector<FieldConflict>& conflicts);

// The fields by which the list tells programmes apart: a record whose key
// changed is another programme.
std::string programmeKey(const ScheduleItem& item);

}  // namespace kelbo
