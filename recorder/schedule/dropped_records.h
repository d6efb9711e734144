#pragma once

#include "common/date_time.h"
#include "common/schedule_format.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

namespace kelbo {

// A record of the schedule file that the recorder will not list, and so
// leaves out when it next rewrites the file.
struct DroppedRecord {
    long line = 0;  // the record's separator line
    const ScheduleItem& item;
    std::string reason;
    // False for a copy of a listed record, field for field: nothing is lost.
    bool lost = true;
};

// Finds, record by record in file order, the records a load drops: those the
// reader refuses, those with an empty required line, and those that repeat
// the programme of an earlier record (same date, time, channel number and
// name), which the list leaves out. Each is handed to `sink` as it is
// found; only a few numbers per programme are kept, so a file of many
// dropped records costs no more memory than one of few.
class DroppedRecords {
public:
    using Sink = std::function<void(const DroppedRecord&)>;
    explicit DroppedRecords(Sink sink) : sink_(std::move(sink)) {}
    void offer(const ReadRecord& record);

private:
    struct Kept {
        long line;
        std::uint64_t record;
    };
    std::unordered_map<std::uint64_t, Kept> keptBySlot_;
    Sink sink_;
};

// The programme of a dropped record may still be on: its start reads and its
// end is ahead, or its times do not read at all (nobody can tell).
bool mayStillCome(const ScheduleItem& item, const std::string& defaultEndBuffer, DateTime now);

// "News" on BBC One at 01-03-2024 18:30, for notices and reports.
std::string describeProgramme(const ScheduleItem& item);

// Records compare by the fields the file stores, whichever program wrote them.
std::uint64_t recordHash(const ScheduleItem& item);

}  // namespace kelbo
