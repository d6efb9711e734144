// The list drawn from the schedule: a listing made at any time shows what
// the schedule holds, and every listing over one schedule follows it.
#include "recorder/schedule/schedule_editor.h"
#include "recorder/forms/schedule_listing.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute) { return kToday.plusMinutes(hour * 60 + minute); }

std::vector<std::vector<std::string>> rowsOf(const ScheduleList& list) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 1; row <= list.rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int sub = 0; sub < list.layout().shownCount(); ++sub) cells.push_back(list.Get_Cell(row, sub));
        cells.push_back(list.tag(row));
        cells.push_back(std::to_string(list.rowColour(row)));
        rows.push_back(std::move(cells));
    }
    return rows;
}

}  // namespace

TEST(ScheduleListing, OneMadeAfterTheLoadShowsTheProgrammesAndBothFollowEveryChange) {
    RecorderRig rig(at(12, 0));
    rig.loadProgrammes({programme("Late", at(21, 0), 60, "2"), programme("Early", at(20, 0), 90, "1")});
    auto late = std::make_unique<ScheduleListing>(rig.document, rig.next);
    ASSERT_EQ(late->list().rowCount(), 2);
    EXPECT_EQ(late->list().cell(1, Column::Programme), "Early");
    EXPECT_EQ(late->list().cell(2, Column::ArrayID), "0");

    // Tags and colours come with the next choice.
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(late->list().rowColour(1), colour::kRed);
    EXPECT_EQ(late->list().rowColour(2), colour::kBlue);
    EXPECT_EQ(late->list().tag(2), "Clash with: Early on Channel1 AND ");
    EXPECT_EQ(rowsOf(late->list()), rowsOf(rig.listing.list()));

    ScheduleEditor(rig.document, rig.next).remove(late->idOfRow(1));
    ASSERT_EQ(late->list().rowCount(), 1);
    EXPECT_EQ(late->list().cell(1, Column::Programme), "Late");
    EXPECT_EQ(late->NextRow(), 1);
    EXPECT_EQ(rowsOf(late->list()), rowsOf(rig.listing.list()));

    // Gone, it is told of nothing more; the other listing goes on.
    late.reset();
    rig.loadProgrammes({programme("Again", at(22, 0), 30)});
    rig.next.clear();
    ASSERT_EQ(rig.listing.list().rowCount(), 1);
    EXPECT_EQ(rig.listing.list().cell(1, Column::Programme), "Again");
    EXPECT_EQ(rig.listing.list().rowColour(1), colour::kBlack) << "no longer the next programme";
}

TEST(ScheduleListing, RowsTheOtherTunersTakeAreRedUntilTheyLeaveThem) {
    RecorderRig rig(at(12, 0));
    rig.loadProgrammes({programme("Early", at(20, 0), 90, "1"), programme("Late", at(21, 0), 60, "2"),
                        programme("ニュース", at(23, 0), 30, "3")});
    rig.next.Find_Next_Schedule();
    ScheduleListing& listing = rig.listing;
    const ScheduleList& list = listing.list();
    ASSERT_EQ(list.rowColour(2), colour::kBlue);

    const ProgrammeId late = listing.idOfRow(2);
    const ProgrammeId news = listing.idOfRow(3);
    listing.showOtherTuners({late, news});
    EXPECT_EQ(list.rowColour(1), colour::kRed);
    EXPECT_EQ(list.rowColour(2), colour::kRed);
    EXPECT_EQ(list.rowColour(3), colour::kRed);
    EXPECT_TRUE(listing.takenByOtherTuner(news));
    EXPECT_FALSE(listing.takenByOtherTuner(listing.idOfRow(1)));

    // A new choice of the next programme colours the clashes afresh but
    // keeps the taken rows red.
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(list.rowColour(2), colour::kRed);
    EXPECT_EQ(list.rowColour(3), colour::kRed);
    listing.Display_Schedule(listing.NextRow());
    EXPECT_EQ(list.rowColour(3), colour::kRed);

    // Left, each row has its own colour again: the clash blue, the other black.
    listing.showOtherTuners({news});
    EXPECT_EQ(list.rowColour(2), colour::kBlue);
    EXPECT_EQ(list.rowColour(3), colour::kRed);
    listing.showOtherTuners({});
    EXPECT_EQ(list.rowColour(3), colour::kBlack);
    EXPECT_EQ(list.rowColour(1), colour::kRed) << "tuner 1's next stays red";
    EXPECT_FALSE(listing.takenByOtherTuner(news));
}
