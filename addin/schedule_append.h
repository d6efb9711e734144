#pragma once

#include "guide_records.h"

#include "common/schedule_item.h"

#include <string>
#include <string_view>

namespace kelbo {
class SettingsStore;
}

namespace kelbo::addin {

// The schedule file the recorder reads: the "ScheduleFile" setting, or
// the Linux form of "c:\KelboSchedule.txt" when none is stored.
std::string scheduleFileFor(const SettingsStore& store);

// The schedule entry for a programme from the guide. "DEFAULT Template"
// (and no name at all) leaves the item's template empty, so that the record
// gets no template line. A null text reads as empty.
ScheduleItem itemFromProgramme(const KelboProgramme& programme, const std::string& templateName);

struct AppendResult {
    bool opened = false;  // false: the file could not be opened or created
    std::string error;    // why the write failed, in words; empty when it landed
};

// Appends `record` to `file` (created when missing) in one write, holding
// the lock the recorder takes for its rewrites. A file whose last line has
// no line end gets CR LF first. A write that fails part-way is taken back,
// so the file ends as it ended before.
AppendResult appendToSchedule(const std::string& file, std::string_view record);

}  // namespace kelbo::addin
