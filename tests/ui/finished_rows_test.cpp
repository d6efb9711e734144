// A recorder left running for months: finished programmes hidden on
// request, and how much room is left for recordings.
#include "recorder/forms/schedule_listing.h"
#include "main_window_rig.h"

#include "recorder/device/templates.h"
#include "recorder/engine/disk_space.h"
#include "recorder/forms/schedule_list.h"
#include "recorder/ui/finished_rows_filter.h"
#include "recorder/ui/schedule_list_view.h"

#include <QTreeView>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

std::string withStatus(const GuideRecord& record, const std::string& status) {
    std::string text = record.text();
    text.insert(text.find("----------BREAK"), "Complete     : " + status + "\r\n");
    return text;
}

class FinishedRowsTest : public MainWindowTest {
protected:
    FinishedRowsTest() {
        writeFile(dir / "KelboSchedule.txt",
                  withStatus(programme("Новости", kNow.plusMinutes(-180), 60), "Recorded") +
                      withStatus(programme("Stopped film", kNow.plusMinutes(-1500), 90), "Stopped") +
                      withStatus(programme("Match", kNow.plusMinutes(-20), 60), "Failed") +
                      programme("Missed", kNow.plusMinutes(-120), 30).text() +
                      programme("Soon", kNow.plusMinutes(10), 30).text());
    }

    // The names of the rows the view shows, in list order.
    std::vector<std::string> shownRows() const {
        const ScheduleList& list = window->listing().list();
        const auto* view = window->findChild<ui::ScheduleListView*>();
        std::vector<std::string> names;
        for (int row = 1; row <= list.rowCount(); ++row)
            if (!view->isRowHidden(row - 1, {})) names.push_back(list.cell(row, Column::Programme));
        return names;
    }
};

}  // namespace

TEST_F(FinishedRowsTest, HidingLeavesTheListWholeAndIsRememberedAcrossStarts) {
    start();
    QAction* hide = action("HideFinished");
    ASSERT_NE(hide, nullptr);
    EXPECT_EQ(hide->text(), "Hide Finished Programmes");
    EXPECT_FALSE(hide->isChecked());
    EXPECT_EQ(shownRows().size(), 5u);

    hide->trigger();
    // A failed programme still on the air and a missed one stay in sight.
    EXPECT_EQ(shownRows(), (std::vector<std::string>{"Missed", "Match", "Soon"}));
    EXPECT_EQ(window->listing().list().rowCount(), 5) << "the list itself keeps every row";
    EXPECT_EQ(store.GetSetting(settings::kDefaults, settings::kHideFinishedProgrammes), "1");

    // The failed one goes once its time has passed.
    clock.set(toInstant(kNow.plusMinutes(45)));
    window->findChild<ui::FinishedRowsFilter*>()->apply();
    EXPECT_EQ(shownRows(), (std::vector<std::string>{"Missed", "Soon"}));

    closeWindow();
    start();
    EXPECT_TRUE(action("HideFinished")->isChecked());
    EXPECT_EQ(shownRows(), (std::vector<std::string>{"Missed", "Soon"}));
    action("HideFinished")->trigger();
    EXPECT_EQ(shownRows().size(), 5u);
    EXPECT_EQ(store.GetSetting(settings::kDefaults, settings::kHideFinishedProgrammes), "0");
}

TEST(FreeSpaceText, TellsHoursAtTheTemplatesRateExceptForAStreamCopy) {
    EncodingTemplate dvd;  // 6000 + 224 kbit/s: 778 000 bytes a second
    const std::uintmax_t hundredGigabytes = 100ull * 1024 * 1024 * 1024;
    EXPECT_EQ(freeSpaceText(hundredGigabytes, dvd, "DVD Full Quality"),
              "Free space for recordings: 100 GB, about 38.3 hours at DVD Full Quality");
    EncodingTemplate copy;
    copy.streamCopy = true;
    EXPECT_EQ(freeSpaceText(hundredGigabytes, copy, "Original stream (no re-encoding)"),
              "Free space for recordings: 100 GB");
    EXPECT_EQ(freeSpaceText(std::nullopt, dvd, "DVD Full Quality"), "Free space for recordings: unknown");
}
