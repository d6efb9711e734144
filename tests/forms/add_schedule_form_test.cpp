#include "recorder/forms/add_schedule_form.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kelbo;
using namespace kelbo::testing;
using Control = AddScheduleForm::Control;
using TimeField = AddScheduleForm::TimeField;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute, int dayOffset = 0) {
    return DateTime(kToday.days() + dayOffset).plusMinutes(hour * 60 + minute);
}

GuideRecord onChannel(const std::string& name, DateTime start, const std::string& channel,
                      const std::string& number) {
    GuideRecord r = programme(name, start, 30, number);
    r.channelName = channel;
    return r;
}

class AddScheduleFormTest : public ::testing::Test {
protected:
    AddScheduleFormTest() : rig(at(14, 30)) { rig.settings.templates = {"DVD", "VCD"}; }

    void load(const std::vector<GuideRecord>& records) {
        std::string text;
        for (const auto& r : records) text += r.text();
        rig.loadSchedule(text);
    }
    AddScheduleForm& open() {
        form = std::make_unique<AddScheduleForm>(AddScheduleContext{
            rig.document, rig.next, rig.device, rig.clock, rig.settings, rig.messages});
        return *form;
    }
    // The form with entries that pass every check.
    AddScheduleForm& complete(const std::string& name = "Film") {
        AddScheduleForm& f = open();
        f.programme = name;
        f.date = {5, 3, 2027};
        f.hours = "21";
        f.minutes = "00";
        return f;
    }
    // Just past the start of a programme at 14:00: the tick starts it. (At
    // 14:30 a 30-minute programme from 14:00 has ended, so it is chosen again
    // at the new time.)
    void startRecording() {
        rig.clock.set(toInstant(at(14, 0)) + std::chrono::milliseconds(400));
        rig.next.Find_Next_Schedule();
        rig.tick();
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& m : rig.messages.shown) texts.push_back(m.title + ": " + m.text);
        return texts;
    }

    RecorderRig rig;
    std::unique_ptr<AddScheduleForm> form;
};

}  // namespace

TEST_F(AddScheduleFormTest, OpensWithTheClocksTimeAndTheDefaults) {
    rig.setNow(at(9, 5));
    AddScheduleForm& f = open();
    EXPECT_EQ(f.hours, "09");
    EXPECT_EQ(f.minutes, "05");
    EXPECT_EQ(f.date.day, 7);
    EXPECT_EQ(f.date.month, 12);
    EXPECT_EQ(f.date.year, 2026);
    EXPECT_EQ(f.programme, "-Kelbo Recording-");
    EXPECT_EQ(f.duration, "60");
    EXPECT_EQ(f.spinnerPosition(), 0);
    EXPECT_EQ(f.lastSpinnerPosition(), 0);
    EXPECT_EQ(f.spinnerOwner(), TimeField::None);
    EXPECT_EQ(f.templateList.items, (std::vector<std::string>{"DVD", "VCD", "DEFAULT Template"}));
    EXPECT_EQ(f.templateList.selected, 2);
    EXPECT_EQ(f.templateList.text, "DEFAULT Template");

    rig.setNow(at(14, 30));
    EXPECT_EQ(open().hours, "14");
    EXPECT_EQ(form->minutes, "30");
}

TEST_F(AddScheduleFormTest, LeavingATimeFieldPutsItsTextRight) {
    AddScheduleForm& f = open();
    const std::pair<std::string, std::string> hourCases[] = {
        {"7", "07"}, {"24", "23"}, {"-3", "00"}, {"ab", "14"}, {"", "14"}, {"12", "12"},
        {"0", "00"}, {"07", "07"}, {" 8", "08"}, {"7.4", "07"}, {"99999999999999999999", "23"}};
    for (const auto& [typed, shown] : hourCases) {
        f.enterTimeField(TimeField::Hours);
        f.hours = typed;
        f.hours_LostFocus();
        EXPECT_EQ(f.hours, shown) << typed;
        EXPECT_EQ(f.spinnerOwner(), TimeField::None);
    }
    const std::pair<std::string, std::string> minuteCases[] = {
        {"60", "59"}, {"5", "05"}, {"-1", "00"}, {"x", "30"}, {"45", "45"}};
    for (const auto& [typed, shown] : minuteCases) {
        f.enterTimeField(TimeField::Minutes);
        f.minutes = typed;
        f.minutes_LostFocus();
        EXPECT_EQ(f.minutes, shown) << typed;
        EXPECT_EQ(f.spinnerOwner(), TimeField::None);
    }
}

TEST_F(AddScheduleFormTest, SpinnerStepsTheOwningFieldAndWraps) {
    AddScheduleForm& f = open();
    f.hours = "00";
    f.enterTimeField(TimeField::Hours);
    EXPECT_EQ(f.VScroll1_Change(1), Control::hours);  // lower arrow
    EXPECT_EQ(f.hours, "23");
    EXPECT_EQ(f.lastSpinnerPosition(), 1);
    EXPECT_EQ(f.VScroll1_Change(0), Control::hours);  // upper arrow
    EXPECT_EQ(f.hours, "00");
    f.VScroll1_Change(-1);
    EXPECT_EQ(f.hours, "01");
    f.hours = "9";
    f.VScroll1_Change(-2);
    EXPECT_EQ(f.hours, "10");
    f.VScroll1_Change(-1);
    EXPECT_EQ(f.hours, "09");
    f.hours = "23";
    f.VScroll1_Change(-2);
    EXPECT_EQ(f.hours, "00");

    f.enterTimeField(TimeField::Minutes);
    f.minutes = "59";
    EXPECT_EQ(f.VScroll1_Change(-3), Control::minutes);
    EXPECT_EQ(f.minutes, "00");
    f.VScroll1_Change(-2);
    EXPECT_EQ(f.minutes, "59");
    EXPECT_EQ(f.hours, "00") << "only the owning field steps";

    // Text typed but not yet corrected is taken into range before stepping.
    f.minutes = "75";
    f.VScroll1_Change(-1);
    EXPECT_EQ(f.minutes, "58");
}

TEST_F(AddScheduleFormTest, SpinnerWithoutAnOwnerChangesNothing) {
    AddScheduleForm& f = open();
    f.enterTimeField(TimeField::Hours);
    f.hours_LostFocus();  // the user went on to `duration`
    EXPECT_EQ(f.VScroll1_Change(1), Control::None);
    EXPECT_EQ(f.VScroll1_Change(2), Control::None);
    EXPECT_EQ(f.hours, "14");
    EXPECT_EQ(f.minutes, "30");

    // The next press on an owned field still steps the way its arrow points.
    f.enterTimeField(TimeField::Hours);
    f.VScroll1_Change(1);  // upper arrow from position 2
    EXPECT_EQ(f.hours, "15");

    // The spinner's range ends at 1000 either way.
    f.VScroll1_Change(5000);
    EXPECT_EQ(f.spinnerPosition(), AddScheduleForm::kSpinnerMaximum);
}

TEST_F(AddScheduleFormTest, ChannelListsAreParallelSortedAndUnique) {
    EXPECT_EQ(open().channels.items, (std::vector<std::string>{"-NA-"}));
    EXPECT_EQ(form->Chno.items, (std::vector<std::string>{"N/A"}));
    EXPECT_EQ(form->channels.text, "-NA-");
    EXPECT_EQ(form->Chno.text, "N/A");

    load({onChannel("A", at(18, 0), "BBC1", "101"), onChannel("B", at(19, 0), "ABC", "5"),
          onChannel("C", at(20, 0), "ABC", "5"), onChannel("D", at(21, 0), "bbc2", "102")});
    AddScheduleForm& f = open();
    EXPECT_EQ(f.channels.items, (std::vector<std::string>{"-NA-", "ABC", "BBC1", "bbc2"}));
    EXPECT_EQ(f.Chno.items, (std::vector<std::string>{"N/A", "5", "101", "102"}));
    EXPECT_EQ(f.channels.selected, 0);
    EXPECT_EQ(f.Chno.selected, 0);
}

TEST_F(AddScheduleFormTest, LeavingOneChannelListSetsTheOther) {
    load({onChannel("A", at(18, 0), "BBC1", "101"), onChannel("B", at(19, 0), "ABC", "5")});
    AddScheduleForm& f = open();
    f.channels.pick(2);
    f.channels_LostFocus();
    EXPECT_EQ(f.Chno.text, "101");
    EXPECT_EQ(f.Chno.selected, 2);

    // A channel the schedule does not hold: BBC1's number is not its own.
    f.channels.type("XYZ");
    f.channels_LostFocus();
    EXPECT_EQ(f.channels.text, "XYZ");
    EXPECT_EQ(f.Chno.text, "N/A");

    // Typing a listed name is as good as picking it.
    f.channels.type("ABC");
    f.channels_LostFocus();
    EXPECT_EQ(f.Chno.text, "5");

    f.Chno.pick(0);
    f.Chno_LostFocus();
    EXPECT_EQ(f.channels.text, "-NA-");
    f.channels.type("New One");
    f.channels_LostFocus();
    f.Chno.type("77");
    f.Chno_LostFocus();
    EXPECT_EQ(f.channels.text, "New One") << "a typed name stays with a typed number";
    EXPECT_EQ(f.Chno.text, "77");
}

TEST_F(AddScheduleFormTest, AProgrammeOnANewChannelIsAddedToAnEmptySchedule) {
    AddScheduleForm& f = complete();
    f.channels.type("Film4");
    f.channels_LostFocus();
    f.Chno.type("15");
    f.Chno_LostFocus();
    EXPECT_TRUE(f.Add_Click().stored) << ::testing::PrintToString(messages());
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(rig.listing.list().rowCount(), 1);
    EXPECT_EQ(rig.cell(1, Column::Channel), "Film4");
    EXPECT_EQ(rig.cell(1, Column::ChannelNumber), "15");

    // The other way round: the number first, then the name.
    AddScheduleForm& g = complete("Later");
    g.Chno.type("16");
    g.Chno_LostFocus();
    g.channels.type("More4");
    g.channels_LostFocus();
    EXPECT_TRUE(g.Add_Click().stored) << ::testing::PrintToString(messages());
    EXPECT_NE(rig.scheduleText().find("ChannelName  : More4"), std::string::npos);
    EXPECT_NE(rig.scheduleText().find("ChannelNumber: 16"), std::string::npos);
}

TEST_F(AddScheduleFormTest, NoChannelIsListedOnceWhenARowIsOnNoChannel) {
    load({onChannel("A", at(18, 0), "-NA-", "N/A"), onChannel("B", at(19, 0), "ABC", "5")});
    AddScheduleForm& f = open();
    EXPECT_EQ(f.channels.items, (std::vector<std::string>{"-NA-", "ABC"}));
    EXPECT_EQ(f.Chno.items, (std::vector<std::string>{"N/A", "5"}));
    EXPECT_EQ(f.channels.text, "-NA-");
    EXPECT_EQ(f.Chno.text, "N/A");
}

TEST_F(AddScheduleFormTest, ChecksRunInOrderAndStoreNothingUntilAllPass) {
    AddScheduleForm& f = complete();
    f.duration = "";
    f.channels.type("");
    f.Chno.type("");
    f.programme = "X";
    f.templateList.type("No such template");
    const std::string before = rig.scheduleText();

    struct Step {
        Control focus;
        std::string message;
    };
    const Step steps[] = {
        {Control::duration, "Incomplete Data: Must enter a program duration"},
        {Control::channels, "Incomplete Data: Must select a ChannelName"},
        {Control::Chno, "Incomplete Data: Must select a ChannelNumber"},
        {Control::programme, "Incomplete Data: Must enter a program name at least 2 chars"},
        {Control::templateList, "Incomplete Data: Must select a valid template"},
        {Control::duration, "Incomplete Data: The duration must be a whole number of minutes"},
    };
    for (const Step& step : steps) {
        rig.messages.shown.clear();
        const auto result = f.Add_Click();
        EXPECT_FALSE(result.stored) << step.message;
        EXPECT_EQ(result.focus, step.focus) << step.message;
        EXPECT_EQ(messages(), std::vector<std::string>{step.message});
        // Mend this step's failure and go on to the next.
        if (step.focus == Control::duration) f.duration = f.duration.empty() ? "sixty" : "60";
        if (step.focus == Control::channels) f.channels.type("-NA-");
        if (step.focus == Control::Chno) f.Chno.type("N/A");
        if (step.focus == Control::programme) f.programme = "\xC3\xA9";  // one character, two bytes
        if (step.message.find("2 chars") != std::string::npos) {
            EXPECT_FALSE(f.Add_Click().stored) << "a two-byte character is one character";
            f.programme = "Go";
        }
        if (step.focus == Control::templateList) f.templateList.type("VCD");
    }
    EXPECT_EQ(rig.listing.list().rowCount(), 0);
    EXPECT_EQ(rig.scheduleText(), before);

    rig.messages.shown.clear();
    EXPECT_TRUE(f.Add_Click().stored);
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.listing.list().rowCount(), 1);
}

TEST_F(AddScheduleFormTest, StoresTheItemAndRewritesTheFile) {
    rig.setNow(DateTime::fromCivil(2003, 3, 5, 12, 0));  // so that the item lies ahead
    AddScheduleForm& f = open();
    f.programme = "Film";
    f.date = {5, 3, 2003};
    f.hours = "21";
    f.minutes = "00";
    ASSERT_TRUE(f.Add_Click().stored);

    const ScheduleItem& item = rig.document.table()[0];
    EXPECT_EQ(item.StartDate, "05-03-2003");
    EXPECT_EQ(item.StartTime, "21:00");
    EXPECT_EQ(item.IndexString, "200303052100");
    EXPECT_EQ(item.ProgrammeName, "Film");
    EXPECT_EQ(item.Duration, "60");
    EXPECT_EQ(item.ChannelName, "-NA-");
    EXPECT_EQ(item.ChannelNumber, "N/A");
    EXPECT_EQ(item.Template, "") << "DEFAULT Template leaves the field empty";
    EXPECT_EQ(item.Complete, "");

    EXPECT_EQ(rig.scheduleText(),
              "ProgrammeName: Film\r\nStartTime    : 21:00\r\nStartDate    : 05-03-2003\r\n"
              "ChannelNumber: N/A\r\nChannelName  : -NA-\r\nDuration     : 60\r\n"
              "----------BREAK----------\r\n");
    // The new item is the only one ahead, so it is the next programme.
    EXPECT_EQ(rig.listing.NextRow(), 1);
    EXPECT_EQ(rig.listing.list().rowColour(1), colour::kRed);
}

// A channel typed as a name would be listed now and dropped by the next
// load: the dialog refuses it while the user can still mend it.
TEST_F(AddScheduleFormTest, AChannelNumberTheLoaderWouldRefuseIsRefusedInTheDialog) {
    rig.setNow(DateTime::fromCivil(2003, 3, 5, 12, 0));
    AddScheduleForm& f = open();
    f.programme = "Newsnight";
    f.date = {5, 3, 2003};
    f.hours = "22";
    f.minutes = "30";
    f.channels.type("BBC Two");
    f.Chno.type("BBC2");
    const auto refused = f.Add_Click();
    EXPECT_FALSE(refused.stored);
    EXPECT_EQ(refused.focus, Control::Chno);
    EXPECT_EQ(messages(), std::vector<std::string>{"Incomplete Data: The channel number must be a number (or N/A)"});
    EXPECT_EQ(rig.listing.list().rowCount(), 0);

    f.Chno.type("102");
    ASSERT_TRUE(f.Add_Click().stored);
    rig.document.Load_Schedule();
    rig.listing.Display_Schedule();
    ASSERT_EQ(rig.listing.list().rowCount(), 1) << "what the dialog takes, the next load keeps";
    EXPECT_EQ(rig.cell(1, Column::ChannelNumber), "102");
}

TEST_F(AddScheduleFormTest, ChosenTemplateIsStoredAndSlotsFollowLastIndex) {
    AddScheduleForm& first = complete("First");
    first.templateList.pick(1);
    ASSERT_TRUE(first.Add_Click().stored);
    EXPECT_EQ(rig.document.table()[0].Template, "VCD");
    EXPECT_NE(rig.scheduleText().find("Template     : VCD\r\n"), std::string::npos);

    ASSERT_TRUE(complete("Second").Add_Click().stored);
    EXPECT_EQ(rig.document.table()[1].ProgrammeName, "Second");
    EXPECT_EQ(rig.document.table().LastIndex, 1);

    // A free last slot is reused rather than skipped.
    rig.document.table()[1].clear();
    ASSERT_TRUE(complete("Third").Add_Click().stored);
    EXPECT_EQ(rig.document.table()[1].ProgrammeName, "Third");
}

TEST_F(AddScheduleFormTest, FullTableRefusesAndKeepsTheEntries) {
    ScheduleTable& table = rig.document.table();
    for (int slot = 0; slot < ScheduleTable::kSlots; ++slot) {
        ScheduleItem& item = table[slot];
        item.ProgrammeName = "P" + std::to_string(slot);
        item.StartDate = "01-01-2027";
        item.StartTime = "10:00";
        item.ChannelNumber = "1";
        item.ChannelName = "C";
        item.Duration = "30";
    }
    table.LastIndex = ScheduleTable::kSlots - 1;
    AddScheduleForm& f = complete("Extra");
    const auto result = f.Add_Click();
    EXPECT_FALSE(result.stored);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Schedule Full");
    EXPECT_EQ(table.LastIndex, ScheduleTable::kSlots - 1);
    EXPECT_EQ(table[ScheduleTable::kSlots - 1].ProgrammeName, "P500");
    EXPECT_EQ(f.programme, "Extra");
}

TEST_F(AddScheduleFormTest, AddingDuringARecordingKeepsTheRecordedRowMarked) {
    load({onChannel("Later", at(16, 0), "ABC", "5"), onChannel("Now", at(14, 0), "BBC1", "101")});
    startRecording();
    ASSERT_EQ(rig.device.ReadyState(), CaptureDevice::Recording);
    ASSERT_EQ(rig.cell(1, Column::Programme), "Now");
    ASSERT_EQ(rig.cell(1, Column::Status), "Recording");

    // Starts before the recorded programme, so the recorded row moves down.
    AddScheduleForm& f = open();
    f.programme = "Earlier";
    f.hours = "13";
    f.minutes = "00";
    f.duration = "5";
    ASSERT_TRUE(f.Add_Click().stored);

    ASSERT_EQ(rig.listing.list().rowCount(), 3);
    EXPECT_EQ(rig.cell(2, Column::Programme), "Now");
    EXPECT_EQ(rig.cell(2, Column::Status), "Recording");
    EXPECT_EQ(rig.listing.list().rowColour(2), colour::kRed);
    EXPECT_EQ(rig.listing.list().rowColour(1), colour::kBlack);
    EXPECT_EQ(rig.listing.list().rowColour(3), colour::kBlack);
    EXPECT_EQ(rig.listing.NextRow(), 2) << "the recording still finishes its own row";
    EXPECT_NE(rig.scheduleText().find("ProgrammeName: Earlier"), std::string::npos);

    // The recording finishes on the right row.
    rig.run(std::chrono::minutes(31));
    EXPECT_EQ(rig.cell(2, Column::Status), "Recorded");
    EXPECT_EQ(rig.cell(1, Column::Status), "");
}

TEST_F(AddScheduleFormTest, AddingAClashingItemDuringARecordingMarksTheClash) {
    load({onChannel("Now", at(14, 0), "BBC1", "101")});
    startRecording();
    ASSERT_EQ(rig.device.ReadyState(), CaptureDevice::Recording);

    AddScheduleForm& f = open();
    f.programme = "Overlap";
    f.hours = "14";
    f.minutes = "15";
    ASSERT_TRUE(f.Add_Click().stored);
    EXPECT_EQ(rig.listing.list().rowColour(1), colour::kRed) << "red wins over blue";
    EXPECT_EQ(rig.listing.list().rowColour(2), colour::kBlue);
    EXPECT_EQ(rig.listing.list().tag(2), "Clash with: Now on BBC1 AND ");
}

// With two tuners an item added during a recording clashes only when it is
// the third at once: the one that finds both tuners taken, naming them.
TEST_F(AddScheduleFormTest, AddingDuringARecordingWithTwoTunersMarksOnlyTheThirdAtOnce) {
    rig.settings.Tuners = 2;
    load({onChannel("Новости", at(14, 0), "Первый канал", "0")});
    startRecording();
    ASSERT_EQ(rig.device.ReadyState(), CaptureDevice::Recording);

    const auto add = [&](const std::string& name, const std::string& minutes, const std::string& channel) {
        AddScheduleForm& f = open();
        f.programme = name;
        f.hours = "14";
        f.minutes = minutes;
        // Guides without numbers: every channel is 0, told apart by name.
        f.Chno.type("0");
        f.Chno_LostFocus();
        f.channels.type(channel);
        f.channels_LostFocus();
        ASSERT_TRUE(f.Add_Click().stored) << name << ::testing::PrintToString(messages());
    };
    add("ドラマ", "10", "NHK総合");
    ScheduleList& list = rig.listing.list();
    EXPECT_EQ(list.rowColour(1), colour::kRed);
    EXPECT_EQ(list.rowColour(2), colour::kBlack) << "the second tuner is free";
    EXPECT_EQ(list.tag(2), "Clash with: ");

    add("Фильм", "20", "НТВ");
    EXPECT_EQ(list.rowColour(2), colour::kBlack);
    EXPECT_EQ(list.rowColour(3), colour::kBlue);
    EXPECT_EQ(list.tag(3), "Clash with: Новости on Первый канал AND ドラマ on NHK総合 AND ");
}
