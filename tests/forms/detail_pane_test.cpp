#include "recorder/forms/detail_pane.h"
#include "support/recorder_rig.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute, int dayOffset = 0) {
    return DateTime(kToday.days() + dayOffset).plusMinutes(hour * 60 + minute);
}

struct CountingView : DetailPaneView, ListToolTipPort {
    void paneChanged() override { ++changes; }
    void setListToolTip(const std::string& text) override { toolTip = text; }
    int changes = 0;
    std::string toolTip = "unset";
};

class DetailPaneTest : public ::testing::Test {
protected:
    DetailPaneTest() : rig(at(12, 0)), pane(rig.listing, rig.settings, rig.clock, rig.messages) {
        rig.settings.StartBuffer = "2";
        rig.settings.EndBuffer = "3";
        rig.settings.detailTemplates = {"DEFAULT Template", "DVD", "VCD", "SVCD"};
        pane.setView(&view);
        pane.setToolTipPort(&view);
    }

    void load(const std::vector<GuideRecord>& records) { rig.loadProgrammes(records); }
    void buffers(int slot, const std::string& start, const std::string& end) {
        rig.setBuffers(slot, start, end);
    }
    const DetailFields& fields() const { return pane.fields(); }
    ScheduleItem& item(int slot) { return rig.document.table()[slot]; }
    std::vector<std::string> questions() const {
        std::vector<std::string> texts;
        for (const auto& shown : rig.messages.shown) texts.push_back(shown.title + ": " + shown.text);
        return texts;
    }

    RecorderRig rig;
    CountingView view;
    DetailPane pane;
};

}  // namespace

TEST_F(DetailPaneTest, PaneIsEditableOnlyWhileTheBufferedStartIsAhead) {
    rig.settings.StartBuffer = "5";
    // Buffered starts one minute ahead and one minute past.
    load({programme("Soon", at(12, 6), 30, "1"), programme("Begun", at(12, 4), 30, "2")});
    ASSERT_EQ(rig.cell(1, Column::Programme), "Begun");

    pane.listview_play_ItemClick(2);
    EXPECT_TRUE(pane.editable());
    EXPECT_EQ(rig.listing.list().selectedRow(), 2);
    pane.listview_play_ItemClick(1);
    EXPECT_FALSE(pane.editable());
    EXPECT_EQ(pane.shownRow(), 1);

    // A key moves the selection; the pane follows the then-selected row.
    rig.listing.list().select(2);
    pane.listview_play_KeyUp(40, 0);
    EXPECT_TRUE(pane.editable());
    EXPECT_EQ(pane.shownRow(), 2);

    // A start that does not read as a date leaves the pane greyed.
    ScheduleItem someday = *rig.document.schedule().stored(rig.listing.idOfRow(2));
    someday.StartDate = "someday";
    rig.document.schedule().edit(rig.listing.idOfRow(2), someday);
    pane.listview_play_ItemClick(2);
    EXPECT_FALSE(pane.editable());
    EXPECT_EQ(fields().adjustedStart, "");
    pane.Detail_StartBuffer_KeyPress(13);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(DetailPaneTest, FillsFieldsAndAdjustedTimes) {
    GuideRecord late = programme("Late", at(21, 0), 30);
    late.description = "A late film";
    late.templateName = "VCD";
    GuideRecord night = programme("Night", at(0, 5, 1), 20, "7");
    load({late, night});
    buffers(0, "5", "10");
    buffers(1, "5", "");

    pane.listview_play_ItemClick(1);
    EXPECT_EQ(fields().adjustedStart, "07-12-2026 20:55:00");
    EXPECT_EQ(fields().adjustedEnd, "07-12-2026 21:40:00");
    EXPECT_EQ(fields().startBuffer, "5");
    EXPECT_EQ(fields().endBuffer, "10");
    EXPECT_EQ(fields().description, "A late film");
    EXPECT_EQ(fields().fileName, rig.cell(1, Column::Filename));
    EXPECT_EQ(fields().templateIndex, 2);

    // Midnight still shows its time; the default template's own entry is
    // selected for an item using the default.
    pane.listview_play_ItemClick(2);
    EXPECT_EQ(fields().adjustedStart, "08-12-2026 00:00:00");
    EXPECT_EQ(fields().adjustedEnd, "08-12-2026 00:28:00");
    EXPECT_EQ(fields().endBuffer, "3");
    EXPECT_EQ(fields().templateIndex, 1);
    EXPECT_GE(view.changes, 2);
}

TEST_F(DetailPaneTest, ClashTagIsTrimmedAndShownAsTheListToolTip) {
    load({programme("A", at(20, 0), 60, "1"), programme("B", at(20, 30), 60, "2"),
          programme("C", at(22, 0), 30, "3")});
    ASSERT_EQ(rig.listing.list().tag(1), "Clash with: B on Channel2 AND ");

    pane.listview_play_ItemClick(1);
    EXPECT_EQ(view.toolTip, "Clash with: B on Channel2");
    EXPECT_EQ(pane.listToolTip(), "Clash with: B on Channel2");
    EXPECT_EQ(rig.listing.list().tag(1), "Clash with: B on Channel2");
    pane.listview_play_ItemClick(1);
    EXPECT_EQ(rig.listing.list().tag(1), "Clash with: B on Channel2");

    // No clash: the tooltip stays as it was, until the mouse moves.
    pane.listview_play_ItemClick(3);
    EXPECT_EQ(view.toolTip, "Clash with: B on Channel2");
    pane.listview_play_MouseMove();
    EXPECT_EQ(view.toolTip, "");
}

TEST_F(DetailPaneTest, StartBufferCommitAsksAndWritesRowTableAndFile) {
    load({programme("Film", at(21, 0), 30)});
    pane.listview_play_ItemClick(1);

    pane.setStartBufferText("2");  // the value shown: no change
    pane.Detail_StartBuffer_LostFocus();
    EXPECT_TRUE(rig.messages.shown.empty());

    rig.messages.answer = MessageBoxes::Answer::Cancel;
    pane.setStartBufferText("7");
    pane.Detail_StartBuffer_KeyPress('7');
    EXPECT_TRUE(rig.messages.shown.empty());
    pane.Detail_StartBuffer_KeyPress(13);
    EXPECT_EQ(questions(),
              std::vector<std::string>{"Confirmation Required: Are you sure you want to change the StartBuffer?"});
    EXPECT_EQ(fields().startBuffer, "2");
    EXPECT_EQ(item(0).StartBuffer, "");

    rig.messages.answer = MessageBoxes::Answer::Ok;
    pane.setStartBufferText("7");
    pane.Detail_StartBuffer_LostFocus();
    EXPECT_EQ(rig.cell(1, Column::SBuf), "7");
    EXPECT_EQ(item(0).StartBuffer, "7");
    EXPECT_EQ(fields().adjustedStart, "07-12-2026 20:53:00");
    EXPECT_EQ(rig.next.NextStart(), at(20, 53));
    EXPECT_NE(rig.scheduleText().find("StartBuffer  : 7\r\n"), std::string::npos);

    // Clearing goes back to the setting; the adjusted time waits for the
    // next selection.
    pane.setStartBufferText("");
    pane.Detail_StartBuffer_LostFocus();
    EXPECT_EQ(fields().startBuffer, "2");
    EXPECT_EQ(rig.cell(1, Column::SBuf), "2");
    EXPECT_EQ(item(0).StartBuffer, "");
    EXPECT_EQ(fields().adjustedStart, "07-12-2026 20:53:00");
    EXPECT_EQ(rig.scheduleText().find("StartBuffer"), std::string::npos);
    EXPECT_EQ(rig.next.NextStart(), at(20, 58));
}

TEST_F(DetailPaneTest, EndBufferThatIsNotAWholeNumberIsRefused) {
    load({programme("Film", at(21, 0), 30)});
    pane.listview_play_ItemClick(1);
    const std::string before = rig.scheduleText();
    for (const std::string typed : {"ten", "-1", "2.5", "40000", " 4"}) {
        rig.messages.shown.clear();
        pane.setEndBufferText(typed);
        pane.Detail_EndBuffer_LostFocus();
        ASSERT_EQ(rig.messages.shown.size(), 1u) << typed;
        EXPECT_EQ(rig.messages.shown[0].title, "Invalid Buffer");
        EXPECT_EQ(fields().endBuffer, "3") << typed;
    }
    EXPECT_EQ(rig.cell(1, Column::EBuf), "3");
    EXPECT_EQ(rig.scheduleText(), before);

    rig.messages.shown.clear();
    pane.setEndBufferText("32767");
    pane.Detail_EndBuffer_KeyPress(13);
    EXPECT_EQ(questions(),
              std::vector<std::string>{"Confirmation Required: Are you sure you want to change the EndBuffer?"});
    EXPECT_EQ(item(0).EndBuffer, "32767");
}

TEST_F(DetailPaneTest, FileNameCommitAndClearingBackToThePattern) {
    load({programme("Film", at(21, 0), 30)});
    pane.listview_play_ItemClick(1);
    const std::string patternName = rig.cell(1, Column::Filename);

    pane.setFileNameText("/films/mine.mpg");
    pane.Detail_FileName_KeyPress(13);
    EXPECT_EQ(questions(), std::vector<std::string>{
                               "Confirmation Required: Are you sure you want to change the Output FileName?"});
    EXPECT_EQ(rig.cell(1, Column::Filename), "/films/mine.mpg");
    EXPECT_EQ(item(0).FileName, "/films/mine.mpg");
    EXPECT_NE(rig.scheduleText().find("FileName     : /films/mine.mpg"), std::string::npos);

    pane.setFileNameText("");
    pane.Detail_FileName_LostFocus();
    EXPECT_EQ(fields().fileName, patternName);
    EXPECT_EQ(rig.cell(1, Column::Filename), patternName);
    EXPECT_EQ(item(0).FileName, "");
    EXPECT_EQ(rig.scheduleText().find("FileName"), std::string::npos);

    rig.messages.answer = MessageBoxes::Answer::Cancel;
    pane.setFileNameText("other.mpg");
    pane.Detail_FileName_LostFocus();
    EXPECT_EQ(fields().fileName, patternName);
    EXPECT_EQ(item(0).FileName, "");
}

TEST_F(DetailPaneTest, TemplateCommitStoresEmptyForTheDefault) {
    GuideRecord film = programme("Film", at(21, 0), 30);
    film.templateName = "VCD";
    load({film});
    pane.listview_play_ItemClick(1);
    ASSERT_EQ(fields().templateIndex, 2);

    rig.messages.answer = MessageBoxes::Answer::Cancel;
    pane.setTemplateIndex(3);
    pane.Detail_Template_LostFocus();
    EXPECT_EQ(fields().templateIndex, 2);
    EXPECT_EQ(item(0).Template, "VCD");

    rig.messages.answer = MessageBoxes::Answer::Ok;
    pane.setTemplateIndex(0);
    pane.Detail_Template_LostFocus();
    EXPECT_EQ(item(0).Template, "");
    EXPECT_EQ(rig.cell(1, Column::Template), "DVD");
    EXPECT_EQ(fields().templateIndex, 1);
    EXPECT_EQ(rig.scheduleText().find("Template"), std::string::npos);
    EXPECT_EQ(rig.messages.shown.size(), 2u);

    // Choosing the default again for an item that uses it asks nothing.
    pane.setTemplateIndex(0);
    pane.Detail_Template_LostFocus();
    EXPECT_EQ(rig.messages.shown.size(), 2u);

    pane.setTemplateIndex(3);
    pane.Detail_Template_LostFocus();
    EXPECT_EQ(item(0).Template, "SVCD");
    EXPECT_EQ(rig.cell(1, Column::Template), "SVCD");
}

TEST_F(DetailPaneTest, CommitGoesToTheRowThePaneShowed) {
    load({programme("First", at(20, 0), 30, "1"), programme("Second", at(21, 0), 30, "2"),
          programme("Third", at(22, 0), 30, "3")});
    pane.listview_play_ItemClick(2);
    pane.setStartBufferText("9");
    // The user clicks another row; the field loses the focus afterwards.
    rig.listing.list().select(3);
    pane.Detail_StartBuffer_LostFocus();
    EXPECT_EQ(item(1).StartBuffer, "9");
    EXPECT_EQ(rig.cell(2, Column::SBuf), "9");
    EXPECT_EQ(item(2).StartBuffer, "");

    // A row removed above the shown one moves it up; the pane follows.
    rig.document.schedule().unlist(rig.listing.idOfRow(1));
    EXPECT_EQ(pane.shownRow(), 1);
    pane.setEndBufferText("4");
    pane.Detail_EndBuffer_LostFocus();
    EXPECT_EQ(item(1).EndBuffer, "4");

    // The shown row gone: the pane greys and commits nothing.
    rig.document.schedule().unlist(rig.listing.idOfRow(1));
    EXPECT_FALSE(pane.editable());
    rig.messages.shown.clear();
    pane.setFileNameText("x.mpg");
    pane.Detail_FileName_LostFocus();
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(item(2).FileName, "");

    pane.listview_play_ItemClick(1);
    ASSERT_TRUE(pane.editable());
    rig.listing.Display_Schedule();
    pane.setStartBufferText("6");
    pane.Detail_StartBuffer_LostFocus();
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(pane.shownRow(), 0);
}

// The buffered times shown are real minutes from the real start: on the
// spring night of the clocks going forward, 120 minutes from 00:30 end at
// 03:30.
TEST_F(DetailPaneTest, AdjustedTimesAcrossAChangeOfTheClocks) {
    const ScopedTimeZone london("Europe/London");
    rig.setNow(DateTime::fromCivil(2027, 3, 27, 12, 0));
    load({programme("Night", DateTime::fromCivil(2027, 3, 28, 0, 30), 120)});
    buffers(0, "0", "0");
    pane.listview_play_ItemClick(1);
    EXPECT_EQ(fields().adjustedStart, "28-03-2027 00:30:00");
    EXPECT_EQ(fields().adjustedEnd, "28-03-2027 03:30:00");
    EXPECT_TRUE(pane.editable());
}
