#include "dropped_records.h"

#include "common/channel_names.h"
#include "common/text_util.h"

namespace kelbo {

namespace {

void fnv1a(std::uint64_t& h, std::string_view text) {
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
}

std::uint64_t textHash(std::string_view text) {
    std::uint64_t h = 1469598103934665603ull;
    fnv1a(h, text);
    return h;
}

}  // namespace

std::uint64_t recordHash(const ScheduleItem& item) {
    std::uint64_t h = 1469598103934665603ull;
    // A field never holds a line break, so one makes an unambiguous separator.
    for (const std::string* field :
         {&item.ProgrammeName, &item.StartDate, &item.StartTime, &item.ChannelNumber,
          &item.ChannelName, &item.Duration, &item.ReminderID, &item.SmartSearchID,
          &item.FavouriteID, &item.FileName, &item.Category, &item.Description, &item.Director,
          &item.Starring, &item.ExtraInfo, &item.Template, &item.Complete, &item.StartBuffer,
          &item.EndBuffer}) {
        fnv1a(h, *field);
        fnv1a(h, "\n");
    }
    return h;
}

void DroppedRecords::offer(const ReadRecord& record) {
    if (record.blank || !record.terminated) return;  // nothing, or text after the last record
    if (!record.accepted) {
        sink_({record.lastLine, record.item, record.problem, true});
        return;
    }
    const ScheduleItem& item = record.item;
    if (!item.hasRequiredFields()) {
        sink_({record.lastLine, item, "a required line has an empty value", true});
        return;
    }
    const std::uint64_t slot =
        textHash(programmeSlotKey(item.StartDate, item.StartTime, item.ChannelNumber, item.ChannelName));
    const std::uint64_t whole = recordHash(item);
    const auto [kept, first] = keptBySlot_.try_emplace(slot, Kept{record.lastLine, whole});
    if (first) return;
    sink_({record.lastLine, item,
           "the same programme as line " + std::to_string(kept->second.line) +
               " (same date, time, channel number and channel name)",
           kept->second.record != whole});
}

bool mayStillCome(const ScheduleItem& item, const std::string& defaultEndBuffer, DateTime now) {
    const auto date = DateTime::parseDate(item.StartDate);
    const auto time = DateTime::parseTime(item.StartTime);
    if (!date || !time) return true;
    const double minutes = parseNumber(item.Duration).value_or(0) +
                           parseNumber(item.EndBuffer.empty() ? defaultEndBuffer : item.EndBuffer).value_or(0);
    return DateTime(date->days() + time->days()).plusMinutes(roundHalfEven(minutes)) > now;
}

std::string describeProgramme(const ScheduleItem& item) {
    std::string text = "\"" + item.ProgrammeName + "\"";
    if (!item.ChannelName.empty()) text += " on " + item.ChannelName;
    if (!item.StartDate.empty() || !item.StartTime.empty())
        text += " at " + item.StartDate + (item.StartTime.empty() ? "" : " " + item.StartTime);
    return text;
}

}  // namespace kelbo
