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

// Appends `record` to `file` (created when missing) in one write, holding
// the lock the recorder takes for its rewrites. False when the file cannot
// be opened or written.
bool appendToSchedule(const std::string& file, std::string_view record);

}  // namespace kelbo::addin
