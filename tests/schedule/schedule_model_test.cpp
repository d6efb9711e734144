#include "recorder/schedule/schedule.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>

using namespace kelbo;
using namespace std::chrono;

namespace {

// A record as a hand-edited file gives it: own buffers in some, fractions,
// a completion mark, text the recorder does not read.
ScheduleItem item(const std::string& name, const std::string& date, const std::string& time,
                  const std::string& duration = "30") {
    ScheduleItem i;
    i.ProgrammeName = name;
    i.StartDate = date;
    i.StartTime = time;
    i.Duration = duration;
    i.ChannelName = "BBC One";
    i.ChannelNumber = "1";
    i.IndexString = buildIndexString(i);
    return i;
}

class ScheduleModelTest : public ::testing::Test {
protected:
    std::string startBuffer = "2";
    std::string endBuffer = "5";
    Schedule schedule{startBuffer, endBuffer};

    std::vector<std::string> namesInStartOrder() const {
        std::vector<std::string> names;
        for (const ProgrammeId id : schedule.inStartOrder()) names.push_back(schedule.stored(id)->ProgrammeName);
        return names;
    }
};

}  // namespace

TEST_F(ScheduleModelTest, IdsStayWithTheirProgrammesThroughEditsMovesAndRemovals) {
    const auto late = schedule.add(item("Late", "02-02-2003", "21:00"));
    const auto early = schedule.add(item("Early", "01-02-2003", "18:00"));
    const auto middle = schedule.add(item("Middle", "02-02-2003", "09:00"));
    ASSERT_TRUE(late && early && middle);
    EXPECT_EQ((std::set<ProgrammeId>{*late, *early, *middle}).size(), 3u);
    EXPECT_EQ(namesInStartOrder(), (std::vector<std::string>{"Early", "Middle", "Late"}));
    EXPECT_EQ(schedule.slotOf(*early), 1) << "slots keep the order of adding";

    // Late moves to the front: same id, new place, the others untouched.
    ScheduleItem moved = *schedule.stored(*late);
    moved.StartDate = "31-01-2003";
    moved.IndexString = buildIndexString(moved);
    ASSERT_TRUE(schedule.edit(*late, moved));
    EXPECT_EQ(schedule.inStartOrder(), (std::vector<ProgrammeId>{*late, *early, *middle}));
    EXPECT_EQ(schedule.find(*late)->stored.StartDate, "31-01-2003");
    EXPECT_EQ(schedule.slotOf(*late), 0);

    // An edit that keeps the start keeps the place among equal starts.
    const auto twin = schedule.add(item("Twin", "01-02-2003", "18:00"));
    EXPECT_EQ(namesInStartOrder(), (std::vector<std::string>{"Late", "Early", "Twin", "Middle"}));
    ScheduleItem renamed = *schedule.stored(*early);
    renamed.ProgrammeName = "Early News";
    schedule.edit(*early, renamed);
    EXPECT_EQ(namesInStartOrder(), (std::vector<std::string>{"Late", "Early News", "Twin", "Middle"}));
    schedule.placeAgain(*early);
    EXPECT_EQ(namesInStartOrder(), (std::vector<std::string>{"Late", "Twin", "Early News", "Middle"}));

    // Removed: gone by its id, and its id is never given again.
    ASSERT_TRUE(schedule.remove(*middle));
    EXPECT_FALSE(schedule.find(*middle));
    EXPECT_EQ(schedule.position(*middle), -1);
    EXPECT_FALSE(schedule.remove(*middle));
    const auto next = schedule.add(item("Next", "03-02-2003", "09:00"));
    EXPECT_GT(*next, *twin);

    // Unlisted (a duplicate): out of the start order, still in its slot.
    schedule.unlist(*twin);
    EXPECT_EQ(schedule.position(*twin), -1);
    EXPECT_EQ(schedule.stored(*twin)->ProgrammeName, "Twin");
    schedule.listAll();
    EXPECT_EQ(namesInStartOrder(), (std::vector<std::string>{"Late", "Early News", "Twin", "Next"}))
        << "listed again from the slots, in slot order among equal starts";
}

TEST_F(ScheduleModelTest, EveryChangeMovesTheVersionOnAndReadingDoesNot) {
    std::uint64_t seen = schedule.version();
    const auto changedSince = [&] {
        const bool moved = schedule.version() != seen;
        seen = schedule.version();
        return moved;
    };
    const auto id = *schedule.add(item("One", "01-02-2003", "18:00"));
    EXPECT_TRUE(changedSince());
    (void)schedule.find(id);
    (void)schedule.inStartOrder();
    (void)schedule.timesOf(id);
    EXPECT_FALSE(changedSince());
    ScheduleItem edited = *schedule.stored(id);
    edited.Description = "now with words";
    schedule.edit(id, edited);
    EXPECT_TRUE(changedSince());
    schedule.setStatus(id, ProgrammeStatus::Recording);
    EXPECT_TRUE(changedSince());
    schedule.unlist(id);
    EXPECT_TRUE(changedSince());
    schedule.listAll();
    EXPECT_TRUE(changedSince());
    schedule.remove(id);
    EXPECT_TRUE(changedSince());
    schedule.load({item("Two", "01-02-2003", "19:00")});
    EXPECT_TRUE(changedSince());
}

TEST_F(ScheduleModelTest, HoldsFiveHundredAndOneProgrammes) {
    for (int n = 0; n < Schedule::kSlots; ++n)
        ASSERT_TRUE(schedule.add(item("P" + std::to_string(n), "01-02-2003", "18:00"))) << n;
    EXPECT_EQ(schedule.listedCount(), 501);
    const std::uint64_t version = schedule.version();
    EXPECT_FALSE(schedule.add(item("One too many", "01-02-2003", "19:00")));
    EXPECT_EQ(schedule.version(), version) << "a refused add changes nothing";
    // The last slot freed takes the next one.
    schedule.remove(schedule.idAt(500));
    const auto again = schedule.add(item("Again", "01-02-2003", "19:00"));
    ASSERT_TRUE(again);
    EXPECT_EQ(schedule.slotOf(*again), 500);
}

TEST_F(ScheduleModelTest, KeepsTheStoredTextAndReadsItsValues) {
    ScheduleItem own = item("Own", "01-02-2003", "18:00", "30");
    own.StartBuffer = "1.5";
    own.EndBuffer = "1.5";
    own.Complete = "Stopped";
    own.ExtraInfo = "  kept as written ";
    own.ReminderID = "0";
    ScheduleItem defaults = item("Defaults", "01-02-2003", "20:00", "60");
    ScheduleItem unreadable = item("Unreadable", "someday", "20:00", "60");
    unreadable.Complete = "Whatever";
    schedule.load({own, defaults, unreadable});
    schedule.listAll();

    const Programme p = *schedule.find(schedule.idAt(0));
    EXPECT_EQ(p.stored, own) << "what a rewrite gives back";
    EXPECT_EQ(p.status, ProgrammeStatus::Stopped);
    const Instant start = toInstant(DateTime::fromCivil(2003, 2, 1, 18, 0));
    ASSERT_TRUE(p.times);
    EXPECT_EQ(p.times->start, start);
    EXPECT_EQ(start - p.times->bufferedStart, seconds(90));
    EXPECT_EQ(p.times->bufferedEnd - start, minutes(32)) << "31.5 minutes go to the even 32";
    EXPECT_EQ(p.durationMinutes, 30);
    EXPECT_EQ(p.startBufferMinutes, 1.5);

    const Programme d = *schedule.find(schedule.idAt(1));
    EXPECT_EQ(d.startBufferMinutes, 2.0) << "the default buffers";
    EXPECT_EQ(d.times->bufferedEnd - d.times->start, minutes(65));
    EXPECT_EQ(d.status, ProgrammeStatus::Pending);
    EXPECT_TRUE(d.stored.StartBuffer.empty()) << "defaults stay out of the stored text";
    startBuffer = "10";
    EXPECT_EQ(schedule.find(schedule.idAt(1))->times->start - schedule.find(schedule.idAt(1))->times->bufferedStart,
              minutes(10))
        << "a changed default acts at once";

    const Programme u = *schedule.find(schedule.idAt(2));
    EXPECT_FALSE(u.times);
    EXPECT_FALSE(u.localStart);
    EXPECT_EQ(u.status, ProgrammeStatus::Pending);
    EXPECT_EQ(u.stored.Complete, "Whatever");

    // A recording is kept as "Failed" until it ends.
    const ProgrammeId id = schedule.idAt(1);
    schedule.setStatus(id, ProgrammeStatus::Recording);
    EXPECT_EQ(schedule.statusOf(id), ProgrammeStatus::Recording);
    EXPECT_EQ(schedule.stored(id)->Complete, "Failed");
    schedule.setStatus(id, ProgrammeStatus::Recorded);
    EXPECT_EQ(schedule.statusOf(id), ProgrammeStatus::Recorded);
    EXPECT_EQ(schedule.stored(id)->Complete, "Recorded");
    EXPECT_EQ(schedule.recordingId(), 0u);
}

TEST_F(ScheduleModelTest, AReloadKeepsTheIdsOfTheSameProgrammes) {
    schedule.load({item("A", "01-02-2003", "18:00"), item("B", "01-02-2003", "19:00"),
                   item("B", "01-02-2003", "19:00")});
    const ProgrammeId a = schedule.idAt(0), b = schedule.idAt(1), b2 = schedule.idAt(2);
    EXPECT_NE(b, b2) << "duplicates are two programmes";
    // Reordered, one renamed in the file, one new.
    ScheduleItem renamed = item("B (repeat)", "01-02-2003", "19:00");
    schedule.load({renamed, item("C", "01-02-2003", "20:00"), item("A", "01-02-2003", "18:00")});
    EXPECT_EQ(schedule.idAt(0), b);
    EXPECT_EQ(schedule.idAt(2), a);
    const ProgrammeId c = schedule.idAt(1);
    EXPECT_TRUE(c != a && c != b && c != b2);
}

// What follows the schedule (the list) follows the schedule it watches, not
// a copy taken for a comparison.
TEST_F(ScheduleModelTest, ACopyChangesWithoutTellingTheOriginalsObserver) {
    struct Counting : ScheduleObserver {
        int listed = 0;
        void programmeListed(ProgrammeId, int) override { ++listed; }
    } observer;
    schedule.addObserver(&observer);
    schedule.add(item("One", "01-02-2003", "18:00"));
    Schedule copy = schedule;
    copy.add(item("Two", "01-02-2003", "19:00"));
    EXPECT_EQ(observer.listed, 1);
    EXPECT_EQ(copy.listedCount(), 2);
    EXPECT_EQ(schedule.listedCount(), 1);
    schedule.removeObserver(&observer);
}
