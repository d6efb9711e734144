// The main window from the keyboard, the tray menu, the recordings at hand
// and the preview's caption.
#include "recorder/forms/schedule_listing.h"
#include "main_window_rig.h"
#include "support/scoped_environment.h"

#include "recorder/ui/add_schedule_dialog.h"
#include "recorder/ui/main_actions.h"
#include "recorder/ui/recorded_row_menu.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/system_tray.h"
#include "recorder/ui/transport_bar.h"
#include "recorder/ui/tray_menu.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class MainWindowCommandsTest : public MainWindowTest {
protected:
    ~MainWindowCommandsTest() override {
        if (AddScheduleDialog::current()) AddScheduleDialog::current()->close();
        QApplication::processEvents();
    }

    MainWindow& startActive() {
        MainWindow& w = start();
        w.setFileOpener([this](const std::vector<std::string>& paths) {
            std::string call;
            for (const std::string& p : paths) call += (call.empty() ? "" : " + ") + p;
            opened.push_back(call);
            return std::string();
        });
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    void recordSoon() {
        clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
        window->Timer1_Timer();
        window->Timer1_Timer();
        ASSERT_EQ(device->state, CaptureDevice::Recording);
    }
    static QStringList texts(const QList<QAction*>& actions) {
        QStringList t;
        for (const QAction* a : actions)
            if (!a->isSeparator()) t << a->text();
        return t;
    }

    std::vector<std::string> opened;
};

}  // namespace

TEST_F(MainWindowCommandsTest, MenusHaveMnemonicsAndShortcuts) {
    MainWindow& w = start();
    const QList<QAction*> menus = w.menuBar()->actions();
    EXPECT_EQ(texts(menus), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(texts(menus[0]->menu()->actions()), (QStringList{"Reload Schedule", "Options", "&Quit"}));
    EXPECT_EQ(texts(menus[1]->menu()->actions()),
              (QStringList{"Preview Locked to Main Form", "Live Preview", "Open &Recordings Folder",
                           "Hide Finished Programmes"}));
    EXPECT_EQ(action("ReloadSchedule")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(action("OptionsMenu")->shortcut(), QKeySequence("Ctrl+,"));
    EXPECT_EQ(action("Quit")->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(action("AddItem")->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+N"), QKeySequence(Qt::Key_Insert)}));
    EXPECT_EQ(action("StopRecording")->shortcut(), QKeySequence("Ctrl+."));
    EXPECT_EQ(action("DeleteItem")->shortcut(), QKeySequence(Qt::Key_Delete));
}

TEST_F(MainWindowCommandsTest, KeysOpenAddAndOptionsReloadAndDelete) {
    MainWindow& w = startActive();
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_N, Qt::ControlModifier}, std::pair{Qt::Key_Insert, Qt::NoModifier}}) {
        QTest::keyClick(&w, key, modifiers);
        ASSERT_NE(AddScheduleDialog::current(), nullptr) << key;
        AddScheduleDialog::current()->close();
        QApplication::processEvents();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    QTest::keyClick(&w, Qt::Key_Comma, Qt::ControlModifier);
    QWidget* options = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "Options" && top->isVisible()) options = top;
    ASSERT_NE(options, nullptr) << "Ctrl+, opens Options";
    options->hide();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    writeFile(dir / "KelboSchedule.txt", programme("Only", kNow.plusMinutes(30), 30).text());
    QTest::keyClick(&w, Qt::Key_F5);
    EXPECT_EQ(w.listing().list().rowCount(), 1) << "F5 reloads the schedule";

    // Delete belongs to the list: in the list it asks to delete the row.
    w.listView().setFocus();
    w.listView().selectRow(1);
    QTest::keyClick(&w.listView(), Qt::Key_Delete);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Delete Confirmation");
    EXPECT_EQ(w.listing().list().rowCount(), 0);
}

TEST_F(MainWindowCommandsTest, StopAndQuitFromTheKeyboardQuitAsksWhileRecording) {
    MainWindow& w = startActive();
    EXPECT_FALSE(action("StopRecording")->isEnabled());
    recordSoon();
    EXPECT_TRUE(action("StopRecording")->isEnabled());

    QSignalSpy closed(&w, &MainWindow::closed);
    messages.answer = MessageBoxes::Answer::Cancel;
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().title, "Quit Kelbo");
    EXPECT_EQ(closed.count(), 0) << "the user said no";
    EXPECT_EQ(device->state, CaptureDevice::Recording);

    messages.answer = MessageBoxes::Answer::Ok;
    const size_t asked = messages.shown.size();
    QTest::keyClick(&w, Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(device->count("StopCapture"), 1) << ::testing::PrintToString(device->calls);
    EXPECT_NE(device->state, CaptureDevice::Recording);

    // Not recording: Quit ends at once.
    messages.shown.resize(asked);
    w.Timer1_Timer();
    w.actions().quit()->trigger();
    EXPECT_EQ(closed.count(), 1);
    for (size_t i = asked; i < messages.shown.size(); ++i) EXPECT_NE(messages.shown[i].title, "Quit Kelbo");
    program.reset();
    window.reset();
}

TEST_F(MainWindowCommandsTest, TheCloseBoxDuringARecordingAsksLikeQuitAndOnlyThen) {
    MainWindow& w = startActive();
    recordSoon();
    QSignalSpy closed(&w, &MainWindow::closed);
    messages.answer = MessageBoxes::Answer::Cancel;
    EXPECT_FALSE(w.close());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Quit Kelbo");
    EXPECT_EQ(messages.shown[0].buttons, MessageBoxes::Buttons::OkCancelDefaultCancel);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(device->state, CaptureDevice::Recording) << "Cancel keeps it recording";

    // File > Quit asks once, not again at the close that follows.
    messages.answer = MessageBoxes::Answer::Ok;
    w.Quit_Click();
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(closed.count(), 1);
    program.reset();
    window.reset();
}

TEST_F(MainWindowCommandsTest, EndingTheRunFromOutsideAsksNobody) {
    MainWindow& w = startActive();
    recordSoon();
    QSignalSpy closed(&w, &MainWindow::closed);
    w.closeWithoutAsking();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(closed.count(), 1);
    program.reset();
    window.reset();
}

TEST_F(MainWindowCommandsTest, TheTrayMenuShowsHidesStopsAndQuits) {
    MainWindow& w = start();
    TrayMenu& menu = w.tray().menu();
    menu.refresh();
    EXPECT_EQ(texts(menu.actions()), (QStringList{"Hide Kelbo", "Stop Recording", "Quit"}));
    EXPECT_FALSE(menu.stopAction()->isEnabled());

    menu.showHideAction()->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(w.isMinimised());
    menu.refresh();
    EXPECT_EQ(menu.showHideAction()->text(), "Show Kelbo");
    menu.showHideAction()->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(w.isMinimised());
    EXPECT_TRUE(w.isVisible());

    recordSoon();
    EXPECT_TRUE(menu.stopAction()->isEnabled()) << "enabled while recording";
    menu.stopAction()->trigger();
    EXPECT_EQ(device->count("StopCapture"), 1);
    w.Timer1_Timer();
    EXPECT_FALSE(menu.stopAction()->isEnabled());

    QSignalSpy closed(&w, &MainWindow::closed);
    menu.quitAction()->trigger();
    EXPECT_EQ(closed.count(), 1);
    program.reset();
    window.reset();
}

TEST_F(MainWindowCommandsTest, TheTrayIconStaysWhileMinimiseToTrayIsTicked) {
    store.SaveSetting(settings::kDefaults, settings::kMinimizeToSystem, "1");
    MainWindow& w = start();
    // Only a desktop with a tray can hold it (the offscreen one has none).
    EXPECT_EQ(w.tray().keptShown(), SystemTray::available());
    w.recorder().settings().MinimizeToSystem = false;
    w.Timer1_Timer();
    EXPECT_FALSE(w.tray().keptShown());
}

TEST_F(MainWindowCommandsTest, RecordedRowsPlayOpenTheirFolderAndDelete) {
    MainWindow& w = startActive();
    // Row 1 is "Soon" (dir/Soon.mpg): two recordings of it, the later in two parts.
    for (const char* name : {"Soon1[1.1].mpg", "Soon2[1.2].mpg", "Soon2[2.2].mpg"}) writeFile(dir / name, "x");
    RecordedRowMenu& rows = w.rowMenu();

    auto menu = rows.menuFor(1);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(texts(menu->actions()), (QStringList{"Play", "Open Containing Folder", "Delete"}));
    menu->actions()[0]->trigger();
    menu->actions()[1]->trigger();
    // Every part of the latest recording, in order, to one player.
    const std::string latest = (dir / "Soon2[1.2].mpg").string() + " + " + (dir / "Soon2[2.2].mpg").string();
    EXPECT_EQ(opened, (std::vector<std::string>{latest, dir.path().string() + "/"}));

    // A row with nothing recorded offers only Delete.
    auto later = rows.menuFor(2);
    EXPECT_FALSE(later->actions()[0]->isEnabled());
    EXPECT_FALSE(later->actions()[1]->isEnabled());

    // A double-click plays.
    opened.clear();
    const QPoint centre = w.listView().visualRect(w.listView().model()->index(0, 4)).center();
    QWidget* viewport = w.listView().viewport();
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, centre, viewport->mapToGlobal(centre), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{latest}));

    // Delete asks as the Delete button does.
    later->actions().back()->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Delete Confirmation");
    EXPECT_EQ(w.listing().list().rowCount(), 1);
    EXPECT_EQ(w.listing().list().cell(1, Column::Programme), "Soon");
}

TEST_F(MainWindowCommandsTest, PlayWithoutAPlayerSaysSoAndAPlayerGetsEveryPartInOrder) {
    const auto xdg = dir / "xdg";
    std::filesystem::create_directories(xdg / "data" / "applications");
    std::filesystem::create_directories(xdg / "config");
    std::filesystem::create_directories(xdg / "run");
    std::filesystem::permissions(xdg / "run", std::filesystem::perms::owner_all);
    // The system's file types, but none of its applications.
    std::filesystem::create_directories(xdg / "usr");
    std::filesystem::create_directory_symlink("/usr/share/mime", xdg / "usr" / "mime");
    ScopedEnvironment desktop{{"XDG_CONFIG_HOME", (xdg / "config").string()},
                              {"XDG_CONFIG_DIRS", (xdg / "etc").string()},
                              {"XDG_DATA_HOME", (xdg / "data").string()},
                              {"XDG_DATA_DIRS", (xdg / "usr").string()},
                              {"XDG_RUNTIME_DIR", (xdg / "run").string()},
                              {"XDG_CURRENT_DESKTOP", std::nullopt}};
    MainWindow& w = start();
    for (const char* name : {"Soon1[1.1].mpg", "Soon2[1.2].mpg", "Soon2[2.2].mpg"}) writeFile(dir / name, "x");
    w.rowMenu().play(1);
    ASSERT_EQ(messages.shown.size(), 1u) << "not silent";
    EXPECT_EQ(messages.shown[0].title, "Play");
    EXPECT_EQ(messages.shown[0].text, "No application is set to open MPEG video files.\n" + (dir / "Soon2[1.2].mpg").string());
    action("OpenRecordingsFolder")->trigger();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "No application is set to open folders.\n" + dir.path().string());

    // A player that takes many files gets every part of the latest recording.
    const auto got = dir / "player-got.txt";
    const auto player = xdg / "player";
    writeFile(player, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0-got.tmp\" && mv \"$0-got.tmp\" " + got.string() + "\n");
    std::filesystem::permissions(player, std::filesystem::perms::owner_all);
    writeFile(xdg / "data" / "applications" / "player.desktop",
              "[Desktop Entry]\nType=Application\nName=Player\nExec=" + player.string() + " --fs %F\n");
    writeFile(xdg / "config" / "mimeapps.list", "[Default Applications]\nvideo/mpeg=player.desktop;\n");
    const auto waitForPlayer = [&] {
        for (int i = 0; i < 100 && !std::filesystem::exists(got); ++i) QTest::qWait(20);
        const std::string text = readFile(got);
        std::filesystem::remove(got);
        return text;
    };
    w.rowMenu().play(1);
    EXPECT_EQ(waitForPlayer(), "--fs\n" + (dir / "Soon2[1.2].mpg").string() + "\n" + (dir / "Soon2[2.2].mpg").string() + "\n");

    // One that takes a single file gets them as a playlist.
    writeFile(xdg / "data" / "applications" / "player.desktop",
              "[Desktop Entry]\nType=Application\nName=Player\nExec=" + player.string() + " %f\n");
    w.rowMenu().play(1);
    const std::string playlist = waitForPlayer();
    ASSERT_FALSE(playlist.empty());
    EXPECT_EQ(readFile(playlist.substr(0, playlist.size() - 1)),
              "#EXTM3U\n" + (dir / "Soon2[1.2].mpg").string() + "\n" + (dir / "Soon2[2.2].mpg").string() + "\n");
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(MainWindowCommandsTest, ViewOpenRecordingsFolderOpensThePatternsFolder) {
    store.SaveSetting(settings::kDefaults, settings::kFileString, (dir / "TV" / "%startdate%" / "%programme%.mpg").string());
    startActive();
    action("OpenRecordingsFolder")->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{(dir / "TV").string()}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "TV"));
}

TEST_F(MainWindowCommandsTest, ThePreviewSaysWhyItShowsNoPicture) {
    MainWindow& w = start();
    if (w.recorder().livePreviewTicked()) w.IsLivePreview_Click();
    w.Timer1_Timer();
    EXPECT_EQ(w.preview().caption(), "No picture");
    w.IsLivePreview_Click();
    w.Timer1_Timer();
    EXPECT_EQ(w.preview().caption(), "");

    w.recorder().settings().PreviewRecording = false;
    recordSoon();
    EXPECT_EQ(w.preview().caption(), QString::fromUtf8("Recording \u2014 preview off"));
}

// F1 opens the handbook that comes with the program; a desktop without a
// browser for it says so rather than doing nothing.
TEST_F(MainWindowCommandsTest, HelpOpensTheHandbookAndNamesQtAndTheAboutBox) {
    MainWindow& w = startActive();
    const QList<QAction*> menus = w.menuBar()->actions();
    EXPECT_EQ(texts(menus[2]->menu()->actions()), (QStringList{"Kelbo Handbook", "About Qt", "About"}));
    EXPECT_EQ(action("handbook")->shortcut(), QKeySequence(Qt::Key_F1));

    QTest::keyClick(&w, Qt::Key_F1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].ends_with("handbook/index.html")) << opened[0];
    EXPECT_NE(readFile(opened[0]).find("<title>Kelbo Handbook</title>"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());

    w.setFileOpener([](const std::vector<std::string>& paths) {
        return "No application is set to open HTML files.\n\n" + paths.at(0);
    });
    action("handbook")->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Kelbo Handbook");
    EXPECT_NE(messages.shown[0].text.find("No application is set to open HTML files."), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find(opened[0]), std::string::npos) << "names the file";
}
