// The choice of the next programme by id against the choice as it was first
// made, row by row from the list's cell texts, over many random schedules.
#include "recorder/schedule/next_programme.h"
#include "common/text_util.h"
#include "support/cell_times.h"
#include "support/recorder_rig.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <random>
#include <set>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

std::string finishKey(const ScheduleList& list, int row) {
    return list.cell(row, Column::Date) + '\0' + list.cell(row, Column::Time) + '\0' +
           list.cell(row, Column::ChannelNumber);
}

struct RowChoice {
    int row = 0;
    std::optional<RowTimes> times;
};

// Duplicates dropped, then the first row not stopped, not recorded to its
// end, whose buffered end is ahead.
RowChoice choiceByCells(ScheduleList list, Instant now, const std::string& finishedKey) {
    std::set<std::string> seen;
    for (int row = 1; row <= list.rowCount();) {
        std::string name = list.cell(row, Column::Channel);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string key = list.cell(row, Column::Date) + '\0' + list.cell(row, Column::Time) + '\0' +
                                list.cell(row, Column::ChannelNumber) + '\0' + name;
        if (seen.insert(key).second) ++row;
        else list.removeRow(row);
    }
    for (int row = 1; row <= list.rowCount(); ++row) {
        if (list.cell(row, Column::Status) == "Stopped") continue;
        if (!finishedKey.empty() && finishKey(list, row) == finishedKey) continue;
        const auto times = cellTimes(list, row);
        if (!times || !(times->bufferedEnd > now)) continue;
        return {row, times};
    }
    return {};
}

// Programmes on the nights the clocks change, many sharing a start (ties of
// the sort key), some repeated on the same channel (duplicates), some
// stopped, recorded or failed, some with buffers that do not read.
void compareOnRandomSchedules(DateTime night, const char* what) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        RecorderRig rig(night);
        std::vector<GuideRecord> records;
        const int count = pick(0, 30);
        for (int n = 0; n < count; ++n) {
            const DateTime start = night.plusMinutes(30 * pick(-2, 8));
            const std::string channel = std::to_string(pick(1, 4));
            GuideRecord record = programme("P" + std::to_string(pick(0, 9)), start, 15 * pick(1, 8), channel);
            if (pick(0, 3) == 0) record.channelName = "CHANNEL" + channel;
            records.push_back(std::move(record));
        }
        rig.loadProgrammes(records);
        static const char* const kMarks[] = {"", "", "Recorded", "Failed", "Stopped"};
        static const char* const kBuffers[] = {"", "0", "5", "1.5", "45", "soon"};
        for (int slot = 0; slot < count; ++slot) {
            ScheduleItem& item = rig.document.table()[slot];
            item.Complete = kMarks[pick(0, 4)];
            item.StartBuffer = kBuffers[pick(0, 5)];
            item.EndBuffer = kBuffers[pick(0, 5)];
        }
        rig.listing.Display_Schedule();

        std::string finishedKey;
        for (int step = 0; step < 12; ++step) {
            rig.setNow(night.plusMinutes(20 * pick(-4, 14)));
            const Instant now = toInstant(rig.now());
            const RowChoice expected = choiceByCells(rig.listing.list(), now, finishedKey);
            rig.next.Find_Next_Schedule();
            const std::string where = std::string(what) + " seed " + std::to_string(seed) + " step " +
                                      std::to_string(step);
            ASSERT_EQ(rig.listing.NextRow(), expected.row) << where;
            ASSERT_EQ(rig.next.any(), expected.row != 0) << where;
            if (expected.row != 0) {
                EXPECT_EQ(rig.next.bufferedStart(), expected.times->bufferedStart) << where;
                EXPECT_EQ(rig.next.bufferedEnd(), expected.times->bufferedEnd) << where;
                EXPECT_EQ(rig.listing.list().rowColour(expected.row), colour::kRed) << where;
                EXPECT_EQ(rig.next.id(), rig.listing.idOfRow(expected.row)) << where;
                // Now and then the device ran the chosen one to its end
                // while the clock says it is still on.
                if (pick(0, 4) == 0) {
                    rig.next.recordedToItsEnd();
                    finishedKey = finishKey(rig.listing.list(), expected.row);
                }
            }
        }
    }
}

}  // namespace

TEST(NextProgrammeChoice, MatchesTheRowByRowChoiceOnRandomSchedules) {
    const ScopedTimeZone london("Europe/London");
    compareOnRandomSchedules(DateTime::fromCivil(2027, 3, 28, 0, 0), "clocks forward");
    compareOnRandomSchedules(DateTime::fromCivil(2026, 10, 25, 0, 0), "clocks back");
    compareOnRandomSchedules(DateTime::fromCivil(2026, 12, 7, 19, 0), "winter evening");
}
