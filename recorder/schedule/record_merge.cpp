#include "record_merge.h"

#include "common/channel_names.h"

#include <array>
#include <string_view>

namespace kelbo {

namespace {

struct StoredField {
    std::string_view name;
    std::string ScheduleItem::*member;
};

// Every field the file stores (IndexString is rebuilt from the start).
constexpr std::array<StoredField, 19> kStoredFields = {{
    {"ProgrammeName", &ScheduleItem::ProgrammeName}, {"StartDate", &ScheduleItem::StartDate},
    {"StartTime", &ScheduleItem::StartTime},         {"ChannelNumber", &ScheduleItem::ChannelNumber},
    {"ChannelName", &ScheduleItem::ChannelName},     {"Duration", &ScheduleItem::Duration},
    {"ReminderID", &ScheduleItem::ReminderID},       {"SmartSearchID", &ScheduleItem::SmartSearchID},
    {"FavouriteID", &ScheduleItem::FavouriteID},     {"FileName", &ScheduleItem::FileName},
    {"Category", &ScheduleItem::Category},           {"Description", &ScheduleItem::Description},
    {"Director", &ScheduleItem::Director},           {"Starring", &ScheduleItem::Starring},
    {"ExtraInfo", &ScheduleItem::ExtraInfo},         {"Template", &ScheduleItem::Template},
    {"Complete", &ScheduleItem::Complete},           {"StartBuffer", &ScheduleItem::StartBuffer},
    {"EndBuffer", &ScheduleItem::EndBuffer},
}};

}  // namespace

ScheduleItem mergeRecord(const ScheduleItem& base, const ScheduleItem& ours, const ScheduleItem& theirs,
                         std::vector<FieldConflict>& conflicts) {
    ScheduleItem merged = ours;
    for (const StoredField& field : kStoredFields) {
        const std::string& was = base.*field.member;
        const std::string& mine = ours.*field.member;
        const std::string& other = theirs.*field.member;
        if (other == was || other == mine) continue;
        if (mine == was) merged.*field.member = other;
        else conflicts.push_back({std::string(field.name), mine, other});
    }
    merged.IndexString = buildIndexString(merged);
    return merged;
}

std::string programmeKey(const ScheduleItem& item) {
    return programmeSlotKey(item.StartDate, item.StartTime, item.ChannelNumber, item.ChannelName);
}

}  // namespace kelbo
