// The main window as a window: start-up, layout, preview placement, the
// saved layout, the tray and shutdown.
#include "recorder/forms/schedule_listing.h"
#include "main_window_rig.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/app/recorder_program.h"
#include "recorder/forms/column_layout_store.h"
#include "recorder/engine/recorder.h"
#include "recorder/device/templates.h"
#include "recorder/ui/add_schedule_dialog.h"
#include "recorder/ui/main_window.h"
#include "recorder/ui/preview_form.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/system_tray.h"
#include "recorder/ui/transport_bar.h"
#include "support/recorder_rig.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;


TEST_F(MainWindowTest, StartsWithItsMenusPanelsAndTheScheduleShown) {
    MainWindow& w = start();
    EXPECT_EQ(w.windowTitle(), "Kelbo");
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Help"}));
    for (const char* name : {"ReloadSchedule", "OptionsMenu", "LockToForm", "IsLivePreview", "about"})
        EXPECT_NE(action(name), nullptr) << name;
    EXPECT_TRUE(action("LockToForm")->isChecked());
    for (const char* key : {"pnlStatus", "pnlCounter", "pnlSplit", "pnlProgramme", "pnlProgress", "pnlDate", "pnlTime"})
        EXPECT_NE(w.findChild<QLabel*>(key), nullptr) << key;
    EXPECT_EQ(w.findChild<QLabel*>("pnlDate")->text(), "07-12-2026");
    EXPECT_EQ(w.findChild<QLabel*>("pnlTime")->text(), "12:00");

    // The schedule is loaded, sorted, and its next programme chosen; the
    // device was set up as the preview window creates it.
    ASSERT_EQ(w.listing().list().rowCount(), 2);
    EXPECT_EQ(w.listing().list().cell(1, Column::Programme), "Soon");
    EXPECT_EQ(w.listing().NextRow(), 1);
    EXPECT_EQ(device->count("setMember135 1"), 1);
    EXPECT_EQ(device->count("setMember116 32"), 1);

    // First start: 640 x 400 pixels at the top left; the preview beside the
    // detail frame, on top.
    EXPECT_EQ(w.size(), QSize(640, 400));
    EXPECT_TRUE(w.preview().isVisible());
    const TwipsRect expected = previewBesideFrame(w.windowRect(), w.currentLayout().frame2);
    expectPlacedAt(w.preview().placement(), expected);
    EXPECT_TRUE(w.preview().windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(MainWindowTest, ResizingLaysOutButMaximisingAndTheMinimumDoNot) {
    MainWindow& w = start();
    w.resize(700, 500);  // the offscreen screen is 800 x 600
    QApplication::processEvents();
    const WindowLayout& l = w.currentLayout();
    EXPECT_EQ(l.frame1.width, 700 * 15 - 400);
    EXPECT_EQ(l.frame1.height, 500 * 15 - 1200);
    EXPECT_EQ(w.listView().width(), (700 * 15 - 400) / 15);
    EXPECT_EQ(w.listView().height(), (500 * 15 - 1200 - 3000) / 15);
    const QRect list = w.listView().geometry();

    w.showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(w.isMaximized());
    ASSERT_NE(w.size(), QSize(700, 500));
    EXPECT_EQ(w.listView().geometry(), list) << "maximising does not enlarge the list";

    w.showNormal();
    w.resize(100, 100);
    EXPECT_GE(w.width(), 640);
    EXPECT_GE(w.height(), 340);
}

TEST_F(MainWindowTest, LockedPreviewFollowsTheWindowAndItsCloseBoxLocksItAgain) {
    MainWindow& w = start();
    w.move(200, 150);
    QApplication::processEvents();
    expectPlacedAt(w.preview().placement(), previewBesideFrame(w.windowRect(), w.currentLayout().frame2));

    // Unlocked, it stays where it is.
    action("LockToForm")->trigger();
    EXPECT_FALSE(w.previewLocked());
    const TwipsRect before = w.preview().placement();
    w.move(260, 180);
    QApplication::processEvents();
    expectPlacedAt(w.preview().placement(), before);

    // Its close box does not close it but docks it beside the frame again.
    w.preview().close();
    EXPECT_TRUE(w.preview().isVisible());
    EXPECT_TRUE(w.previewLocked());
    expectPlacedAt(w.preview().placement(), previewBesideFrame(w.windowRect(), w.currentLayout().frame2));

    // Locking by the menu docks it by the tighter rule.
    action("LockToForm")->trigger();
    action("LockToForm")->trigger();
    EXPECT_TRUE(w.previewLocked());
    expectPlacedAt(w.preview().placement(), previewDockedOnLock(w.windowRect(), w.currentLayout().frame2));
}

TEST_F(MainWindowTest, ClosingSavesTheColumnOrderAndWindowForTheNextStart) {
    MainWindow& w = start();
    w.move(30, 45);
    w.resize(760, 500);
    QHeaderView* header = w.listView().header();
    header->moveSection(header->visualIndex(4), 2);  // "Programme" before "Date"
    header->resizeSection(4, 200);
    QApplication::processEvents();
    closeWindow();

    const ColumnLayout saved = Load_Column_Layout(store);
    EXPECT_EQ(saved.position(Column::Programme), 3);
    EXPECT_EQ(saved.position(Column::Date), 4);
    EXPECT_EQ(saved.width(Column::Programme), 3000);
    const WindowRect rect = readWindowRect(store);
    EXPECT_EQ(rect.width, 760 * 15);
    EXPECT_EQ(rect.height, 500 * 15);

    MainWindow& again = start();
    EXPECT_EQ(again.size(), QSize(760, 500));
    EXPECT_EQ(again.listing().list().layout().position(Column::Programme), 3);
    EXPECT_EQ(again.listing().list().cell(1, Column::Programme), "Soon");
}

TEST_F(MainWindowTest, TransportButtonsDispatchAndTheStopButtonFollowsTheRecording) {
    MainWindow& w = start();
    QToolButton* stop = w.transport().button(4);
    w.setStopButtonEnabled(false);
    EXPECT_FALSE(stop->isEnabled());
    w.setStopButtonEnabled(true);
    EXPECT_TRUE(stop->isEnabled());

    // Delete asks first; with the answer OK the row goes.
    w.listView().selectRow(2);
    w.transport().button(9)->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Delete Confirmation");
    EXPECT_EQ(w.listing().list().rowCount(), 1);
    EXPECT_EQ(readFile(dir / "KelboSchedule.txt").find("Later"), std::string::npos);
}

TEST_F(MainWindowTest, AProgrammeAddedForTheCurrentMinuteIsRecordedAtTheNextTick) {
    writeFile(dir / "KelboSchedule.txt", "");
    MainWindow& w = start();
    w.transport().button(8)->click();
    AddScheduleDialog* dialog = AddScheduleDialog::current();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    dialog->findChild<QPushButton*>("Add")->click();
    QApplication::processEvents();
    EXPECT_EQ(AddScheduleDialog::current(), nullptr);
    ASSERT_EQ(w.listing().list().rowCount(), 1);
    EXPECT_EQ(w.listing().NextRow(), 1);

    clock.advance(std::chrono::seconds(20));  // later in the same minute
    w.Timer1_Timer();
    EXPECT_EQ(device->count("StartCapture " + (dir / "_Kelbo Recording-1[1.].mpg").string()), 1)
        << ::testing::PrintToString(device->calls);
    EXPECT_EQ(w.listing().list().cell(1, Column::Status), "Recording");
    EXPECT_TRUE(w.transport().button(4)->isEnabled());
    EXPECT_FALSE(action("IsLivePreview")->isEnabled());
    w.Timer1_Timer();  // each tick shows the device's state first
    EXPECT_FALSE(action("ReloadSchedule")->isEnabled());
}

TEST_F(MainWindowTest, StartsMinimisedWhenAskedToStartInTheTray) {
    store.SaveSetting(settings::kDefaults, settings::kStartInSystemTray, "1");
    MainWindow& w = start();
    QApplication::processEvents();
    EXPECT_TRUE(w.isMinimised());
    EXPECT_TRUE(w.recorder().settings().MinimizeToSystem);
    // Where the desktop has a tray the window hides in it; otherwise it
    // stays on the task bar so it can come back.
    EXPECT_EQ(w.isHidden(), SystemTray::available());

    w.Restore_From_Tray();
    EXPECT_FALSE(w.isMinimised());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.preview().isVisible());
    EXPECT_FALSE(w.tray().shown());
}

// The View menu offers the tuners to watch only when there is more than
// one; choosing one moves the live preview there.
TEST_F(MainWindowTest, ThePreviewTunerMenuAppearsWithASecondTunerAndMovesThePreview) {
    std::vector<ScriptedCaptureDevice*> others;
    tunerOpener = [&](int) -> std::unique_ptr<CaptureDevice> {
        auto d = std::make_unique<ScriptedCaptureDevice>();
        others.push_back(d.get());
        return d;
    };
    ui::MainWindow& w = start();
    auto* menu = w.findChild<QMenu*>("PreviewTuner");
    ASSERT_NE(menu, nullptr);
    auto* view = qobject_cast<QMenu*>(w.findChild<QAction*>("IsLivePreview")->parent());
    ASSERT_NE(view, nullptr);
    w.Timer1_Timer();
    EXPECT_FALSE(view->actions().contains(menu->menuAction())) << "one tuner: nothing to choose";

    w.recorder().settings().Tuners = 2;
    w.Timer1_Timer();
    ASSERT_EQ(others.size(), 1u);
    const QList<QAction*> entries = view->actions();
    ASSERT_TRUE(entries.contains(menu->menuAction()));
    EXPECT_EQ(entries.indexOf(menu->menuAction()), entries.indexOf(w.findChild<QAction*>("IsLivePreview")) + 1)
        << "below Live Preview";
    w.IsLivePreview_Click();
    ASSERT_EQ(device->state, CaptureDevice::Previewing);

    w.fillPreviewTunerMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[0]->isChecked());
    auto* second = w.findChild<QAction*>("PreviewTuner2");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text().toStdString(), "Tuner 2");
    second->trigger();
    EXPECT_EQ(w.recorder().previewTuner(), 2);
    EXPECT_EQ(others[0]->state, CaptureDevice::Previewing);
    EXPECT_NE(device->state, CaptureDevice::Previewing);
    w.fillPreviewTunerMenu();
    EXPECT_TRUE(w.findChild<QAction*>("PreviewTuner2")->isChecked());
    closeWindow();
}
