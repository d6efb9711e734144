#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/forms/column_layout_store.h"
#include "recorder/forms/detail_pane.h"
#include "recorder/forms/schedule_commands.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

std::vector<ColumnState> statesOf(const ColumnLayout& layout) {
    std::vector<ColumnState> states;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        states.push_back({headerText(column), layout.position(column), layout.width(column)});
    }
    return states;
}

bool sameLayout(const ColumnLayout& a, const ColumnLayout& b) {
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        if (a.position(column) != b.position(column) || a.width(column) != b.width(column)) return false;
    }
    return true;
}

// Date and IndexString change places: the date is the row's main text.
ColumnLayout dateFirst() {
    ColumnLayout layout = ColumnLayout::defaults();
    layout.set(Column::Date, 1, 1000);
    layout.set(Column::IndexString, 3, 0);
    return layout;
}

class ColumnLayoutStoreTest : public ::testing::Test {
protected:
    ColumnLayoutStoreTest() : store(dir / "registry.ini") {}
    std::string value(const std::string& key) const { return store.GetSetting(settings::kDefaults, key); }

    TempDir dir;
    SettingsStore store;
};

}  // namespace

TEST_F(ColumnLayoutStoreTest, FirstRunGivesDefaultsAndASavedLayoutComesBack) {
    EXPECT_TRUE(sameLayout(Load_Column_Layout(store), ColumnLayout::defaults()));

    ColumnLayout moved = dateFirst();
    moved.set(Column::Programme, 5, 2345);
    moved.set(Column::Status, 15, 0);
    std::vector<ColumnState> states = statesOf(moved);
    states.push_back({"Unknown", 16, 100});
    Save_Layout(store, states);
    EXPECT_EQ(value("i_StartDate"), "1");
    EXPECT_EQ(value("i_IndexString"), "3");
    EXPECT_EQ(value("i_ProgrammeName_Width"), "2345");
    EXPECT_EQ(value("i_Complete_Width"), "0");
    EXPECT_EQ(value("i_Unknown"), "");
    EXPECT_TRUE(sameLayout(Load_Column_Layout(store), moved));
}

TEST_F(ColumnLayoutStoreTest, LayoutThatWouldLoseColumnsFallsBackToDefaults) {
    const ColumnLayout moved = dateFirst();
    const std::vector<std::pair<std::string, std::string>> faults = {
        {"i_ArrayID", "16"},        // beyond the last position: leaves a gap at 2
        {"i_ArrayID", "4"},         // same position as "Time"
        {"i_ArrayID", "0"},         // outside 1..15
        {"i_ArrayID", "two"},       // not a number
        {"i_ArrayID", "2.0"},
        {"i_ArrayID", ""},          // missing
        {"i_ArrayID_Width", "-5"},  // negative width
        {"i_ArrayID_Width", "wide"},
    };
    for (const auto& [key, text] : faults) {
        Save_Layout(store, statesOf(moved));
        ASSERT_TRUE(sameLayout(Load_Column_Layout(store), moved));
        store.SaveSetting(settings::kDefaults, key, text);
        EXPECT_TRUE(sameLayout(Load_Column_Layout(store), ColumnLayout::defaults())) << key << "=" << text;
    }
}

TEST_F(ColumnLayoutStoreTest, WindowRectangleDefaultsAndSingleNumberText) {
    EXPECT_EQ(readWindowRect(store), (WindowRect{0, 0, 9600, 6000}));
    saveWindowRect(store, 150, 1234.5, 9000, 0.1);
    EXPECT_EQ(value(settings::kPositionLeft), "150");
    EXPECT_EQ(value(settings::kPositionTop), "1234.5");
    EXPECT_EQ(value(settings::kPositionWidth), "9000");
    EXPECT_EQ(value(settings::kPositionHeight), "0.1");
    store.SaveSetting(settings::kDefaults, settings::kPositionWidth, "broad");
    const WindowRect rect = readWindowRect(store);
    EXPECT_EQ(rect.top, 1234.5);
    EXPECT_EQ(rect.width, 9600);
}

// A field other parts read as the main text: the list, the selection, the
// pane, deletion and the next programme all still reach it.
TEST(ColumnLayoutDateFirst, EveryPartReachesTheDateAsMainText) {
    const DateTime today = DateTime::fromCivil(2026, 12, 7);
    RecorderRig rig(today.plusMinutes(12 * 60));
    rig.listing.list().setLayout(dateFirst());
    // Different days, listed in file order latest first.
    rig.loadSchedule(programme("Later", today.plusMinutes(2 * 1440 + 20 * 60), 30, "1").text() +
                     programme("Sooner", today.plusMinutes(1440 + 21 * 60), 30, "2").text());
    ScheduleList& list = rig.listing.list();
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.Get_Cell(1, 0), "08-12-2026");
    EXPECT_EQ(rig.cell(1, Column::Programme), "Sooner");
    EXPECT_EQ(rig.listing.NextRow(), 1);
    EXPECT_EQ(rig.next.NextStart(), today.plusMinutes(1440 + 21 * 60));

    DetailPane pane(rig.listing, rig.settings, rig.clock, rig.messages);
    pane.listview_play_ItemClick(1);
    EXPECT_TRUE(pane.editable());
    EXPECT_EQ(pane.fields().adjustedStart, "08-12-2026 21:00:00");
    pane.setStartBufferText("10");
    pane.Detail_StartBuffer_LostFocus();
    EXPECT_EQ(rig.next.NextStart(), today.plusMinutes(1440 + 20 * 60 + 50));

    rig.settings.ExpertMode = true;
    ScheduleCommands commands(rig.listing, rig.device, rig.settings, rig.messages);
    commands.Delete_Selected_Item();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(rig.cell(1, Column::Date), "09-12-2026");
    EXPECT_EQ(rig.next.NextStart(), today.plusMinutes(2 * 1440 + 20 * 60));
    EXPECT_NE(rig.scheduleText().find("StartDate    : 09-12-2026"), std::string::npos);
    EXPECT_EQ(rig.scheduleText().find("Sooner"), std::string::npos);
}
