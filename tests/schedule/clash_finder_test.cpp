#include "recorder/forms/clash_tags.h"
#include "recorder/schedule/row_timing.h"
#include "common/text_util.h"
#include "support/cell_times.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <set>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int minutesFromMidnight) { return DateTime(kToday.days()).plusMinutes(minutesFromMidnight); }

std::string threeDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// Pair by pair, as the list was first marked: every pair of every pass looks
// its partner's name up in the tag text built so far.
void naiveFindClash(ScheduleList& list, Instant now) {
    for (int row = 1; row <= list.rowCount(); ++row) {
        list.setTag(row, "Clash with: ");
        list.Set_Row_Colour(row, colour::kBlack);
    }
    std::set<std::string> seen;
    for (int row = 1; row <= list.rowCount();) {
        std::string name = list.cell(row, Column::Channel);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string key = list.cell(row, Column::Date) + '\0' + list.cell(row, Column::Time) +
                                '\0' + list.cell(row, Column::ChannelNumber) + '\0' + name;
        if (seen.insert(key).second) ++row;
        else list.removeRow(row);
    }
    const auto nameIn = [&list](int row, int partner) {
        const std::string name =
            list.cell(partner, Column::Programme) + " on " + list.cell(partner, Column::Channel);
        if (list.tag(row).find(name) == std::string::npos)
            list.setTag(row, list.tag(row) + name + " AND ");
    };
    const auto mark = [&](int i, int j) {
        list.Set_Row_Colour(j, colour::kBlue);
        list.Set_Row_Colour(i, colour::kBlue);
        nameIn(i, j);
        nameIn(j, i);
    };
    const int rows = list.rowCount();
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= rows; ++j) {
            const auto a = cellTimes(list, i), b = cellTimes(list, j);
            if (j != i && a && b && a->bufferedStart < b->bufferedEnd &&
                a->bufferedStart >= b->bufferedStart && b->bufferedEnd > now)
                mark(i, j);
        }
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= rows; ++j) {
            const auto a = cellTimes(list, i), b = cellTimes(list, j);
            if (j != i && a && b && a->bufferedEnd > now && a->bufferedEnd > b->start &&
                a->bufferedEnd <= b->bufferedEnd)
                mark(i, j);
        }
}

// Random schedules; names either never contain one another (fast path) or
// are picked to turn up inside other names and across the separators.
void compareWithPairByPairMarking(const std::vector<std::string>& shows, const std::string& what) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        RecorderRig rig(at(12 * 60));
        std::vector<GuideRecord> records;
        for (int n = 0; n < 40; ++n) {
            // Some programmes repeat a name on the same channel, some share
            // a start with another (duplicates).
            const int show = pick(0, static_cast<int>(shows.size()) - 1);
            const std::string channel = std::to_string(pick(0, 1) ? 1 + show % 3 : 12);
            GuideRecord record = programme(shows[static_cast<size_t>(show)],
                                           at(pick(8, 22) * 60 + 15 * pick(0, 3)), 15 * pick(1, 8), channel);
            // Guides without numbers give many channels one number; names
            // then tell them apart, in whatever case each source writes.
            const int name = pick(0, 3);
            if (name == 1) record.channelName = "CHANNEL" + channel;
            if (name == 2) record.channelName = "Other " + channel;
            records.push_back(std::move(record));
        }
        rig.loadProgrammes(records);
        for (int slot = 0; slot < 40; slot += 3)
            rig.setBuffers(slot, std::to_string(pick(0, 10)), std::to_string(pick(0, 10)));

        ScheduleList naive = rig.listing.list();
        const Instant now = toInstant(rig.now());
        FindClash(rig.document.schedule(), rig.listing.list(), now, 1);
        const ScheduleList& fast = rig.listing.list();
        naiveFindClash(naive, now);
        ASSERT_EQ(fast.rowCount(), naive.rowCount()) << what << " seed " << seed;
        int clashing = 0;
        for (int row = 1; row <= fast.rowCount(); ++row) {
            EXPECT_EQ(fast.tag(row), naive.tag(row)) << what << " seed " << seed << " row " << row;
            EXPECT_EQ(fast.rowColour(row), naive.rowColour(row)) << what << " seed " << seed;
            clashing += fast.rowColour(row) == colour::kBlue;
        }
        EXPECT_GT(clashing, 0) << what << " seed " << seed;
    }
}

}  // namespace

TEST(FindClash, TagsAndColoursMatchThePairByPairMarkingOnRandomSchedules) {
    std::vector<std::string> distinct;
    for (int n = 0; n < 26; ++n) distinct.push_back("Show " + threeDigits(n));
    compareWithPairByPairMarking(distinct, "distinct names");
    compareWithPairByPairMarking({"News", "Late News", "News on Channel1", "AND", "D Day", "Film",
                                  "Film AND Music", " Talk", "Channel1", "News on Channel12"},
                                 "names inside names");
}

TEST(FindClash, AFullScheduleAtOneTimeNamesEveryOtherRowInListOrder) {
    constexpr int kRows = 501;
    std::vector<GuideRecord> records;
    for (int n = 1; n <= kRows; ++n)
        records.push_back(programme("Show " + threeDigits(n), at(20 * 60), 60, std::to_string(n)));
    RecorderRig rig(at(12 * 60));
    rig.loadProgrammes(records);
    ScheduleList& list = rig.listing.list();
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 1);

    ASSERT_EQ(list.rowCount(), kRows);
    std::vector<std::string> names;
    for (int row = 1; row <= kRows; ++row)
        names.push_back(list.cell(row, Column::Programme) + " on " + list.cell(row, Column::Channel));
    for (int row = 1; row <= kRows; ++row) {
        std::string expected = "Clash with: ";
        for (int other = 1; other <= kRows; ++other)
            if (other != row) expected += names[static_cast<size_t>(other - 1)] + " AND ";
        ASSERT_EQ(list.tag(row), expected) << row;
        EXPECT_EQ(list.rowColour(row), colour::kBlue) << row;
    }
}

TEST(FindClash, APartnerWhoseNameTheTagAlreadyHoldsIsNotNamedAgain) {
    RecorderRig rig(at(12 * 60));
    rig.loadProgrammes({programme("Late News", at(20 * 60), 60, "1"),
                        programme("News", at(20 * 60 + 10), 60, "1"),
                        programme("Film", at(20 * 60 + 20), 60, "2")});
    ScheduleList& list = rig.listing.list();
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 1);
    // "News on Channel1" is already part of "Late News on Channel1".
    EXPECT_EQ(list.tag(3), "Clash with: Late News on Channel1 AND ");
    EXPECT_EQ(list.tag(2), "Clash with: Late News on Channel1 AND Film on Channel2 AND ");
}
