#include "series_apply.h"

#include "listing_programme.h"
#include "schedule_slots.h"

#include "common/channel_names.h"
#include "common/host_paths.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"

#include <algorithm>
#include <chrono>

namespace kelbo::guide {

std::string scheduleFileOf(const SettingsStore& store) {
    const std::string stored = store.GetSetting(settings::kDefaults, settings::kScheduleFile);
    return toHostPath(stored.empty() ? "c:\\KelboSchedule.txt" : stored);
}

std::string scheduleKey(const GuideProgramme& programme) {
    // As the add-in writes them: each line break a space.
    const auto oneLine = [](std::string text) {
        std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        return text;
    };
    return programmeSlotKey(programme.start.formatDate(), programme.start.formatTime(),
                            oneLine(programme.channelNumber), oneLine(programme.channelName));
}

namespace {

// Hand-edited records may write "5-3-2003" or "7:05"; the recorder reads
// them as the add-in's "05-03-2003" and "07:05", and so does this.
std::string keyOf(const ScheduleItem& item) {
    const auto date = DateTime::parseDate(item.StartDate);
    const auto time = DateTime::parseTime(item.StartTime);
    return programmeSlotKey(date ? date->formatDate() : item.StartDate, time ? time->formatTime() : item.StartTime,
                            item.ChannelNumber, item.ChannelName);
}

}  // namespace

std::set<std::string> scheduledKeys(const std::string& scheduleFile) {
    std::set<std::string> keys;
    forEachScheduled(scheduleFile, [&keys](const ScheduleItem& item) { keys.insert(keyOf(item)); });
    return keys;
}

XmltvLimits limitsForRules(const std::vector<SeriesRule>& rules) {
    XmltvLimits limits;
    limits.keep = [rules](std::string_view title, bool previouslyShown) {
        return std::any_of(rules.begin(), rules.end(), [&](const SeriesRule& rule) {
            return (!rule.newOnly || !previouslyShown) && equalsIgnoreCase(title, rule.title);
        });
    };
    return limits;
}

RulesApplied applyRules(const XmltvListing& listing, const std::vector<SeriesRule>& rules,
                        const std::string& scheduleFile, Instant now, const RecordCommand& record) {
    RulesApplied result;
    if (rules.empty()) return result;
    std::set<std::string> scheduled = scheduledKeys(scheduleFile);
    for (const XmltvProgramme& p : listing.programmes) {
        if (p.start + std::chrono::minutes(p.durationMinutes) <= now) continue;
        const auto rule = std::find_if(rules.begin(), rules.end(),
                                       [&](const SeriesRule& r) { return r.matches(listing, p); });
        if (rule == rules.end()) continue;
        const GuideProgramme programme = guideProgramme(listing, p);
        if (!scheduled.insert(scheduleKey(programme)).second) {
            ++result.alreadyScheduled;
            continue;
        }
        if (!record(rule->entry, programme)) {
            scheduled.erase(scheduleKey(programme));
            ++result.refused;
            continue;
        }
        ++result.recorded;
        result.recordedTitles.push_back(programme.name);
    }
    return result;
}

}  // namespace kelbo::guide
