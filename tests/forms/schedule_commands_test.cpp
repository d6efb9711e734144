#include "recorder/forms/schedule_commands.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute) { return kToday.plusMinutes(hour * 60 + minute); }

class ScheduleCommandsTest : public ::testing::Test {
protected:
    ScheduleCommandsTest()
        : rig(at(12, 0)), commands(rig.listing, rig.device, rig.settings, rig.messages) {}

    void loadThree() {
        rig.loadSchedule(programme("First", at(20, 0), 30, "1").text() +
                         programme("Second", at(21, 0), 30, "2").text() +
                         programme("Third", at(22, 0), 30, "3").text());
    }
    ScheduleList& list() { return rig.listing.list(); }
    bool fileHas(const std::string& name) const {
        return rig.scheduleText().find("ProgrammeName: " + name + "\r\n") != std::string::npos;
    }

    RecorderRig rig;
    ScheduleCommands commands;
};

}  // namespace

TEST_F(ScheduleCommandsTest, TransportButtonsDispatchByIndex) {
    loadThree();
    int stops = 0, adds = 0;
    commands.setStopAction([&] { ++stops; });
    commands.setAddAction([&] { ++adds; });
    rig.settings.ExpertMode = true;
    list().select(2);
    for (int index = 0; index <= 9; ++index) commands.TransportControl_Click(index);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(adds, 1);
    EXPECT_EQ(list().rowCount(), 2);
    EXPECT_FALSE(fileHas("Second"));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(ScheduleCommandsTest, DeleteAsksUnlessExpertAndCancelChangesNothing) {
    commands.Delete_Selected_Item();  // empty list
    EXPECT_TRUE(rig.messages.shown.empty());

    loadThree();
    const std::string before = rig.scheduleText();
    list().select(3);
    rig.messages.answer = MessageBoxes::Answer::Cancel;
    commands.Delete_Selected_Item();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Delete Confirmation");
    EXPECT_EQ(rig.messages.shown[0].text, "Are you sure you want to delete?");
    EXPECT_EQ(rig.messages.shown[0].icon, MessageBoxes::Icon::Question);
    EXPECT_EQ(rig.messages.shown[0].buttons, MessageBoxes::Buttons::OkCancelDefaultCancel) << "Enter keeps the row";
    EXPECT_EQ(list().rowCount(), 3);
    EXPECT_EQ(rig.document.table()[2].ProgrammeName, "Third");
    EXPECT_EQ(rig.scheduleText(), before);

    rig.messages.answer = MessageBoxes::Answer::Ok;
    commands.Delete_Selected_Item();
    EXPECT_EQ(list().rowCount(), 2);
    EXPECT_EQ(rig.document.table()[2].ProgrammeName, "");
    EXPECT_TRUE(fileHas("First"));
    EXPECT_TRUE(fileHas("Second"));
    EXPECT_FALSE(fileHas("Third"));
}

TEST_F(ScheduleCommandsTest, DeletingTheNextProgrammeMovesTheMarkerOn) {
    loadThree();
    rig.settings.ExpertMode = true;
    ASSERT_EQ(rig.listing.NextRow(), 1);
    list().select(1);
    commands.Delete_Selected_Item();
    EXPECT_EQ(rig.listing.NextRow(), 1);
    EXPECT_EQ(rig.cell(1, Column::Programme), "Second");
    EXPECT_EQ(list().rowColour(1), colour::kRed);
    EXPECT_EQ(rig.next.NextStart(), at(21, 0));

    list().select(2);
    commands.Delete_Selected_Item();
    list().select(1);
    commands.Delete_Selected_Item();
    EXPECT_EQ(list().rowCount(), 0);
    EXPECT_EQ(rig.listing.NextRow(), 0);
    EXPECT_FALSE(rig.next.any());
    EXPECT_EQ(rig.scheduleText(), "");
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(ScheduleCommandsTest, TheProgrammeBeingRecordedIsNotDeleted) {
    loadThree();
    rig.device.state = CaptureDevice::Recording;
    list().select(1);
    commands.Delete_Selected_Item();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Delete Error");
    EXPECT_EQ(rig.messages.shown[0].text,
              "You can't delete the item currently being recorded.  Use STOP button on 'Preview' tab first");
    EXPECT_EQ(rig.messages.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_EQ(list().rowCount(), 3);

    // Another row is not protected by the recording; nor is the next
    // programme while the device does not record.
    list().select(2);
    commands.Delete_Selected_Item();
    EXPECT_EQ(list().rowCount(), 2);
    rig.device.state = CaptureDevice::Idle;
    list().select(1);
    commands.Delete_Selected_Item();
    EXPECT_EQ(list().rowCount(), 1);
    EXPECT_EQ(rig.cell(1, Column::Programme), "Third");
}

TEST_F(ScheduleCommandsTest, AProgrammeAnotherTunerRecordsIsNotDeleted) {
    loadThree();
    rig.settings.ExpertMode = true;
    rig.listing.showOtherTuners({rig.listing.idOfRow(3)});
    list().select(3);
    commands.Delete_Selected_Item();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Delete Error");
    EXPECT_EQ(list().rowCount(), 3);
    EXPECT_TRUE(fileHas("Third"));

    rig.listing.showOtherTuners({});
    commands.Delete_Selected_Item();
    EXPECT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(list().rowCount(), 2);
    EXPECT_FALSE(fileHas("Third"));
}
