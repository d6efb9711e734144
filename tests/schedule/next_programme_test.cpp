#include "recorder/schedule/clash_finder.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute, int dayOffset = 0) {
    return DateTime(kToday.days() + dayOffset).plusMinutes(hour * 60 + minute);
}

class NextProgrammeTest : public ::testing::Test {
protected:
    NextProgrammeTest() : rig(at(12, 0)) {}

    static GuideRecord show(const std::string& name, DateTime start, int minutes,
                            const std::string& channel = "101") {
        return programme(name, start, minutes, channel);
    }
    void load(const std::vector<GuideRecord>& records) { rig.loadProgrammes(records); }
    void buffers(int slot, const std::string& start, const std::string& end) {
        rig.setBuffers(slot, start, end);
    }
    int colour(int row) const { return rig.listing.list().rowColour(row); }
    const std::string& tag(int row) const { return rig.listing.list().tag(row); }

    RecorderRig rig;
};

}  // namespace

TEST_F(NextProgrammeTest, OverlappingProgrammesNameEachOther) {
    load({show("First", at(20, 0), 60, "1"), show("Second", at(20, 30), 60, "2")});
    // The first row is the next programme: red wins over blue.
    EXPECT_EQ(colour(1), colour::kRed);
    EXPECT_EQ(colour(2), colour::kBlue);
    EXPECT_EQ(tag(1), "Clash with: Second on Channel2 AND ");
    EXPECT_EQ(tag(2), "Clash with: First on Channel1 AND ");
}

TEST_F(NextProgrammeTest, TouchingProgrammesClashOnlyThroughBuffers) {
    load({show("Early", at(20, 0), 60, "1"), show("Late", at(21, 0), 60, "2")});
    EXPECT_EQ(tag(1), "Clash with: ");
    EXPECT_EQ(tag(2), "Clash with: ");
    EXPECT_EQ(colour(2), colour::kBlack);

    buffers(0, "", "1");  // end buffer of one minute on the first
    EXPECT_EQ(tag(2), "Clash with: Early on Channel1 AND ");
    buffers(0, "", "0");
    buffers(1, "1", "");  // start buffer of one minute on the second
    EXPECT_EQ(tag(1), "Clash with: Late on Channel2 AND ");
    EXPECT_EQ(colour(2), colour::kBlue);
}

TEST_F(NextProgrammeTest, ThreeOverlappingProgrammesNameBothPartnersOnce) {
    load({show("A", at(20, 0), 90, "1"), show("B", at(20, 30), 90, "2"), show("C", at(21, 0), 90, "3")});
    EXPECT_EQ(tag(1), "Clash with: B on Channel2 AND C on Channel3 AND ");
    EXPECT_EQ(tag(2), "Clash with: A on Channel1 AND C on Channel3 AND ");
    EXPECT_EQ(tag(3), "Clash with: A on Channel1 AND B on Channel2 AND ");
}

TEST_F(NextProgrammeTest, DuplicatesAreDroppedWithoutClashing) {
    load({show("Twice", at(20, 0), 60), show("Twice", at(20, 0), 60), show("Other", at(20, 0), 30, "5"),
          show("Twice", at(20, 0), 60)});
    // All four share one start; the duplicates go even where "Other" stands
    // between them, and the survivor never names its duplicate.
    ASSERT_EQ(rig.listing.list().rowCount(), 2);
    EXPECT_EQ(rig.cell(1, Column::Programme), "Twice");
    EXPECT_EQ(rig.cell(2, Column::Programme), "Other");
    EXPECT_EQ(tag(1), "Clash with: Other on Channel5 AND ");
    EXPECT_EQ(tag(2), "Clash with: Twice on Channel101 AND ");

    load({show("Twice", at(20, 0), 60), show("Twice", at(20, 0), 60)});
    ASSERT_EQ(rig.listing.list().rowCount(), 1);
    EXPECT_EQ(tag(1), "Clash with: ");
    ASSERT_TRUE(rig.document.Write_Schedule());
    EXPECT_EQ(rig.scheduleText().find("Twice"), rig.scheduleText().rfind("Twice"))
        << "the duplicate leaves the file at the next rewrite";
}

// Guides that give channels names but no numbers write one number for all of
// them: the name tells the channels apart, in whatever case it is written.
TEST_F(NextProgrammeTest, NamedChannelsSharingANumberCarryTwoProgrammesThatClash) {
    GuideRecord rte = show("Nuacht", at(18, 0), 30, "0");
    rte.channelName = "RTÉ One";
    GuideRecord bbc = show("Новости", at(18, 0), 30, "0");
    bbc.channelName = "BBC One";
    GuideRecord again = rte;
    again.name = "Nuacht RTÉ";
    again.channelName = "rté ONE";
    load({rte, bbc, again});

    ASSERT_EQ(rig.listing.list().rowCount(), 2);
    EXPECT_EQ(rig.cell(2, Column::Programme), "Новости");
    EXPECT_EQ(colour(2), colour::kBlue);
    EXPECT_EQ(tag(2), "Clash with: Nuacht on RTÉ One AND ");
    EXPECT_EQ(tag(1), "Clash with: Новости on BBC One AND ");
    ASSERT_TRUE(rig.document.Write_Schedule());
    EXPECT_NE(rig.scheduleText().find("Новости"), std::string::npos);
    EXPECT_EQ(rig.scheduleText().find("Nuacht RTÉ"), std::string::npos)
        << "the same slot on the same channel is still one programme";
}

TEST_F(NextProgrammeTest, FinishedProgrammesDoNotClashButRunningOnesDo) {
    load({show("Old", at(8, 0, -1), 60, "1"), show("OldToo", at(8, 30, -1), 60, "2"),
          show("Long", at(11, 0), 120, "3"), show("ShortDone", at(11, 10), 20, "4")});
    EXPECT_EQ(colour(1), colour::kBlack);
    EXPECT_EQ(tag(1), "Clash with: ");
    EXPECT_EQ(tag(2), "Clash with: ");
    // A finished short programme inside a long one still running is marked.
    EXPECT_EQ(tag(3), "Clash with: ShortDone on Channel4 AND ");
    EXPECT_EQ(colour(4), colour::kBlue);
    EXPECT_EQ(colour(3), colour::kRed) << "the running programme is the next one";
    EXPECT_EQ(rig.listing.NextRow(), 3);
}

TEST_F(NextProgrammeTest, NothingToRecord) {
    rig.statusBar.setPanelVisible(panel::kCounter, true);
    load({});
    EXPECT_EQ(rig.panel(panel::kProgramme), "NO PROGRAMS TO RECORD");
    EXPECT_FALSE(rig.statusBar.panelVisible(panel::kCounter));
    EXPECT_FALSE(rig.statusBar.panelVisible(panel::kSplit));
    EXPECT_TRUE(rig.next.NextStart().isZero());
    EXPECT_EQ(rig.listing.NextRow(), 0);

    load({show("Gone", at(9, 0), 60), show("AlsoGone", at(10, 0), 60)});
    buffers(1, "", "59");  // ends 11:59, before now
    EXPECT_EQ(rig.listing.NextRow(), 0);
    EXPECT_EQ(rig.panel(panel::kProgramme), "NO PROGRAMS TO RECORD");
}

TEST_F(NextProgrammeTest, ChoosesTheFirstRowWhoseBufferedEndIsAhead) {
    load({show("Running", at(11, 50), 30), show("Later", at(13, 0), 30)});
    EXPECT_EQ(rig.listing.NextRow(), 1);
    EXPECT_NEAR(rig.next.NextStart().days(), at(11, 50).days(), 1e-9) << "a start in the past";
    EXPECT_EQ(colour(1), colour::kRed);

    // 20:00 ending 20:30 with a 45-minute end buffer, evaluated at 21:05.
    rig.setNow(at(21, 5));
    load({show("Eight", at(20, 0), 30, "1"), show("Nine", at(21, 0), 30, "2")});
    buffers(0, "", "45");
    EXPECT_EQ(rig.listing.NextRow(), 1);
    EXPECT_NEAR(rig.next.NextEnd().days(), at(21, 15).days(), 1e-9);
    buffers(1, "70", "");  // an earlier buffered start does not win
    EXPECT_EQ(rig.listing.NextRow(), 1);
}

TEST_F(NextProgrammeTest, BuffersRoundTheEndButNotTheStart) {
    load({show("Show", at(20, 0), 30)});
    buffers(0, "1.5", "1.5");
    EXPECT_NEAR(rig.next.NextEnd().days(), at(20, 32).days(), 1e-9) << "31.5 minutes go to the even 32";
    EXPECT_NEAR((at(20, 0) - rig.next.NextStart()) * 86400.0, 90.0, 1e-6);
    EXPECT_EQ(rig.next.bufferedEnd() - toInstant(at(20, 0)), std::chrono::minutes(32));
    EXPECT_EQ(toInstant(at(20, 0)) - rig.next.bufferedStart(), std::chrono::seconds(90));
}

// Times are exact: a day of back-to-back half hours has no clash, and a
// programme whose buffered end is exactly now has finished.
TEST_F(NextProgrammeTest, BackToBackHalfHoursTouchWithoutOverlapping) {
    std::vector<GuideRecord> day;
    for (int i = 0; i < 48; ++i)
        day.push_back(show("P" + std::to_string(i), at(0, 30 * i, 1), 30, i % 2 ? "2" : "1"));
    rig.setNow(at(0, 0, 1));
    load(day);
    ASSERT_EQ(rig.listing.list().rowCount(), 48);
    for (int row = 1; row <= 48; ++row) EXPECT_EQ(tag(row), "Clash with: ") << row;
    for (int row = 1; row < 48; ++row) {
        rig.setNow(at(0, 30 * row, 1));
        rig.next.Find_Next_Schedule();
        EXPECT_EQ(rig.listing.NextRow(), row + 1) << "at the end of row " << row;
    }
}

TEST_F(NextProgrammeTest, NextRowFollowsRowsAddedAboveIt) {
    load({show("Mine", at(20, 0), 30)});
    ASSERT_EQ(rig.listing.NextRow(), 1);
    Schedule& schedule = rig.document.schedule();
    schedule.add(rig.document.table()[0]);  // sorts in at the same key: after
    EXPECT_EQ(rig.listing.NextRow(), 1);
    ScheduleItem earlier = rig.document.table()[0];
    earlier.IndexString = "000000000000";
    const auto above = schedule.add(earlier);
    EXPECT_EQ(rig.listing.NextRow(), 2);
    schedule.remove(*above);
    EXPECT_EQ(rig.listing.NextRow(), 1);
}

TEST_F(NextProgrammeTest, RowsWithUnreadableTimesAreSkipped) {
    load({show("Bad", at(13, 0), 30, "1"), show("Good", at(14, 0), 30, "2")});
    buffers(0, "soon", "");
    EXPECT_EQ(rig.listing.NextRow(), 2);
    EXPECT_EQ(tag(1), "Clash with: ");
}

TEST(StatusDisplay, ProgressShowsHidesAndIgnoresOutOfRange) {
    FakeStatusBar bar;
    StatusDisplay status(bar);
    EXPECT_EQ(bar.progressBarRequests, 0);
    status.setProgress(50);
    EXPECT_FALSE(bar.bar.textOnly);
    EXPECT_TRUE(bar.panelVisible(panel::kProgress));
    EXPECT_EQ(bar.bar.values.back(), 50);
    status.setProgress(150);
    status.setProgress(-1);
    EXPECT_EQ(status.Progress(), 50);
    EXPECT_EQ(bar.bar.values.size(), 1u);
    status.setProgress(0);
    EXPECT_FALSE(bar.panelVisible(panel::kProgress));
    EXPECT_EQ(status.Progress(), 0);

    status.setStatus("Idle");
    EXPECT_EQ(status.Status(), "Idle");
    EXPECT_EQ(bar.panelText(panel::kStatus), "Idle");
}
