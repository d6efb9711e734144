#pragma once

#include "guide_programme.h"
#include "series_rules.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kelbo {
class SettingsStore;
}

namespace kelbo::guide {

// The schedule file the add-in appends to, as the add-in finds it.
std::string scheduleFileOf(const SettingsStore& store);

// What identifies a programme in the schedule for the recorder: its local
// start date and time on its channel, number and name (programmeSlotKey).
std::string scheduleKey(const GuideProgramme& programme);
// The keys of every record the recorder would accept in the file; none for
// a missing file.
std::set<std::string> scheduledKeys(const std::string& scheduleFile);

// What of a listing the rules can match: the programmes with a rule's
// title (not shown before, for a rule of new episodes only). A listing read
// with these holds only those besides its channels, so applying rules to a
// listing of any size takes the memory of what they match.
XmltvLimits limitsForRules(const std::vector<SeriesRule>& rules);

struct RulesApplied {
    int recorded = 0;
    int alreadyScheduled = 0;  // matched, but the schedule holds that start on that channel
    int refused = 0;           // matched, but the add-in has no such entry
    std::vector<std::string> recordedTitles;
};

// Hands every programme of the listing that a rule matches and that has
// not ended by `now` to `record` (menu entry, programme), unless the
// schedule file holds the same start on the same channel already; what is handed over is
// counted as scheduled at once, so no programme goes twice.
using RecordCommand = std::function<bool(size_t entry, const GuideProgramme& programme)>;
RulesApplied applyRules(const XmltvListing& listing, const std::vector<SeriesRule>& rules,
                        const std::string& scheduleFile, Instant now, const RecordCommand& record);

}  // namespace kelbo::guide
