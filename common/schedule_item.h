#pragma once

#include <string>

namespace kelbo {

// The channel number of an item whose source has no channels.
inline constexpr const char* kNoChannelNumber = "N/A";

// One programme entry: twenty texts, empty when unset.
struct ScheduleItem {
    std::string ProgrammeName;
    std::string StartDate;
    std::string StartTime;
    std::string ChannelNumber;
    std::string ChannelName;
    std::string Duration;
    std::string ReminderID;
    std::string SmartSearchID;
    std::string FavouriteID;
    std::string FileName;
    std::string Category;
    std::string Description;
    std::string Director;
    std::string Starring;
    std::string ExtraInfo;
    std::string IndexString;
    std::string Template;
    std::string Complete;
    std::string StartBuffer;
    std::string EndBuffer;

    bool inUse() const { return !ProgrammeName.empty(); }
    // The six fields every listed programme has.
    bool hasRequiredFields() const {
        return !ProgrammeName.empty() && !StartDate.empty() && !StartTime.empty() &&
               !Duration.empty() && !ChannelName.empty() && !ChannelNumber.empty();
    }
    void clear() { *this = ScheduleItem{}; }
    bool operator==(const ScheduleItem&) const = default;
};

// YYYYMMDDHHMM from "DD-MM-YYYY" and "HH:MM", by character positions.
std::string buildIndexString(const ScheduleItem& item);

}  // namespace kelbo
