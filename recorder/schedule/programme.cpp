#include "programme.h"

#include "common/text_util.h"

#include <array>

namespace kelbo {

namespace {

constexpr std::array<std::string_view, 5> kNames{"Pending", "Recording", "Recorded", "Failed", "Stopped"};

std::string_view orDefault(const std::string& own, std::string_view fallback) {
    return own.empty() ? fallback : std::string_view(own);
}

std::optional<DateTime> startOf(const ScheduleItem& item) {
    const auto date = DateTime::parseDate(item.StartDate);
    const auto time = DateTime::parseTime(item.StartTime);
    if (!date || !time) return std::nullopt;
    return DateTime(date->days() + time->days());
}

}  // namespace

std::string_view statusName(ProgrammeStatus status) { return kNames[static_cast<size_t>(status)]; }

ProgrammeStatus storedStatus(std::string_view complete) {
    if (complete == "Recorded") return ProgrammeStatus::Recorded;
    if (complete == "Failed") return ProgrammeStatus::Failed;
    if (complete == "Stopped") return ProgrammeStatus::Stopped;
    return ProgrammeStatus::Pending;
}

std::string storedMark(ProgrammeStatus status) {
    switch (status) {
    case ProgrammeStatus::Pending: return {};
    case ProgrammeStatus::Recording: return "Failed";
    default: return std::string(statusName(status));
    }
}

Programme readProgramme(ProgrammeId id, const ScheduleItem& item, ProgrammeStatus status,
                        std::string_view defaultStartBuffer, std::string_view defaultEndBuffer) {
    Programme p;
    p.id = id;
    p.stored = item;
    p.status = status;
    p.localStart = startOf(item);
    p.durationMinutes = parseWholeNumber(item.Duration);
    p.startBufferMinutes = parseNumber(orDefault(item.StartBuffer, defaultStartBuffer));
    p.endBufferMinutes = parseNumber(orDefault(item.EndBuffer, defaultEndBuffer));
    if (p.localStart && p.durationMinutes && p.startBufferMinutes && p.endBufferMinutes)
        p.times = recordingTimes(*p.localStart, *p.startBufferMinutes, *p.endBufferMinutes, *p.durationMinutes);
    return p;
}

std::optional<RowTimes> programmeTimes(const ScheduleItem& item, std::string_view defaultStartBuffer,
                                       std::string_view defaultEndBuffer) {
    const auto start = startOf(item);
    const auto startBuffer = parseNumber(orDefault(item.StartBuffer, defaultStartBuffer));
    const auto endBuffer = parseNumber(orDefault(item.EndBuffer, defaultEndBuffer));
    const auto duration = parseWholeNumber(item.Duration);
    if (!start || !startBuffer || !endBuffer || !duration) return std::nullopt;
    return recordingTimes(*start, *startBuffer, *endBuffer, *duration);
}

}  // namespace kelbo
