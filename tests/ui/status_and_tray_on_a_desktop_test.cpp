// On a real desktop (Xvfb, openbox, trayer): the status bar keeps every
// panel at the smallest window, the clash description shows when the mouse
// selects or rests on a blue row, and the tray icon offers its menu.
#include "recorder/forms/schedule_listing.h"
#include "desktop_ui.h"
#include "fake_notification_server.h"
#include "main_window_rig.h"

#include "recorder/ui/keyed_status_bar.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/system_tray.h"
#include "recorder/ui/tray_menu.h"
#include "support/private_bus.h"

#include <QDBusConnection>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QToolTip>


using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class OnADesktop : public MainWindowTest {
protected:
    MainWindow& startOnTheDesktop() {
        MainWindow& w = start();
        settleOnTheDesktop(800);
        return w;
    }
    void click(QWidget* on, QPoint at, int button = 1) {
        const QPoint global = on->mapToGlobal(at);
        desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(global.x()) + " " + std::to_string(global.y()) +
                                 " click " + std::to_string(button));
    }
};

}  // namespace

TEST_F(OnADesktop, TheStatusBarKeepsEveryPanelAtTheSmallestWindowWhileRecording) {
    writeFile(dir / "KelboSchedule.txt",
              programme("The Extremely Long Documentary About Everything That Ever Happened Anywhere",
                        kNow.plusMinutes(10), 30)
                  .text());
    MainWindow& w = startOnTheDesktop();
    clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
    w.Timer1_Timer();
    clock.advance(std::chrono::minutes(10));
    device->advance(10 * 60000);
    w.Timer1_Timer();
    w.resize(640, 340);
    settleOnTheDesktop();
    ASSERT_EQ(w.size(), QSize(640, 340));
    KeyedStatusBar& bar = w.statusPanels();
    for (const char* key : {"pnlStatus", "pnlCounter", "pnlProgramme", "pnlProgress", "pnlDate", "pnlTime"}) {
        const QLabel* label = bar.findChild<QLabel*>(key);
        ASSERT_NE(label, nullptr) << key;
        EXPECT_TRUE(label->isVisible()) << key;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << key;
        EXPECT_LE(label->geometry().right(), bar.width()) << key << " runs off the bar";
        EXPECT_TRUE(uncovered(label)) << key;
    }
}

TEST_F(OnADesktop, TwoRecordingsShowTheOneEndingFirstWithPlusOneAndBothInTheTooltip) {
    store.SaveSetting(settings::kDefaults, settings::kTuners, "2");
    writeFile(dir / "KelboSchedule.txt", programme("Soon", kNow.plusMinutes(10), 30, "1").text() +
                                             programme("Концерт", kNow.plusMinutes(12), 60, "2").text());
    ScriptedCaptureDevice* second = nullptr;
    tunerOpener = [&second](int) {
        auto tuner = std::make_unique<ScriptedCaptureDevice>();
        second = tuner.get();
        return tuner;
    };
    MainWindow& w = startOnTheDesktop();
    clock.set(toInstant(kNow.plusMinutes(12)) + std::chrono::milliseconds(400));
    w.Timer1_Timer();
    w.Timer1_Timer();
    ASSERT_NE(second, nullptr);
    clock.advance(std::chrono::minutes(1));
    device->advance(3 * 60000);
    second->advance(60000);
    w.Timer1_Timer();
    ASSERT_EQ(program->recorder().state().recordings.size(), 2u);

    KeyedStatusBar& bar = w.statusPanels();
    const std::string shown = bar.panelText(panel::kProgramme);
    EXPECT_EQ(shown.rfind("Soon on Channel1 ends in ", 0), 0u) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 3), " +1") << shown;

    QLabel* programmePanel = bar.findChild<QLabel*>(QString::fromStdString(panel::kProgramme));
    ASSERT_NE(programmePanel, nullptr);
    const QPoint over = programmePanel->mapToGlobal(programmePanel->rect().center());
    desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(over.x() + 5) + " " + std::to_string(over.y()));
    desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(over.x()) + " " + std::to_string(over.y()));
    settleOnTheDesktop(1500);
    ASSERT_TRUE(QToolTip::isVisible());
    const QStringList lines = QToolTip::text().split('\n');
    ASSERT_EQ(lines.size(), 2) << QToolTip::text().toStdString();
    EXPECT_TRUE(lines[0].startsWith("Soon on Channel1, tuner 1, ends in 00:")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8("Концерт on Channel2, tuner 2, ends in ")))
        << lines[1].toStdString();
    QToolTip::hideText();
}

TEST_F(OnADesktop, TheClashShowsWhenTheMouseSelectsOrRestsOnABlueRow) {
    writeFile(dir / "KelboSchedule.txt", programme("Film", kNow.plusMinutes(60), 60, "2").text() +
                                             programme("News", kNow.plusMinutes(90), 30, "3").text());
    MainWindow& w = startOnTheDesktop();
    ScheduleListView& list = w.listView();
    const auto rowCentre = [&](int row) {
        return list.viewport()->mapTo(&list, list.visualRect(list.model()->index(row - 1, 4)).center());
    };
    click(&list, rowCentre(2));
    settleOnTheDesktop();
    EXPECT_EQ(w.listing().list().selectedRow(), 2);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), "Clash with: Film on Channel2");

    // Resting on the other blue row, the mouse having moved on.
    QToolTip::hideText();
    const QPoint first = list.mapToGlobal(rowCentre(1));
    desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(first.x() + 5) + " " + std::to_string(first.y()));
    desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(first.x()) + " " + std::to_string(first.y()));
    settleOnTheDesktop(1500);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), "Clash with: News on Channel3");
    QToolTip::hideText();
}

TEST_F(OnADesktop, TheTrayIconIsThereFromTheStartAndOffersItsMenu) {
    ASSERT_TRUE(SystemTray::available()) << "trayer did not start";
    store.SaveSetting(settings::kDefaults, settings::kMinimizeToSystem, "1");
    MainWindow& w = startOnTheDesktop();
    EXPECT_TRUE(w.tray().shown()) << "in the tray while the window is on screen";
    // Its picture follows the run though the window is not minimised.
    w.Timer1_Timer();
    EXPECT_EQ(w.tray().image(), TrayImage::Paused) << "waiting for the next programme";
    clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
    w.Timer1_Timer();
    w.Timer1_Timer();
    EXPECT_EQ(w.tray().image(), TrayImage::Recording);
    EXPECT_EQ(w.tray().tip().rfind("Soon", 0), 0u) << w.tray().tip();

    auto* icon = w.tray().findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    const QRect where = icon->geometry();
    ASSERT_TRUE(where.isValid());
    desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(where.center().x()) + " " +
                             std::to_string(where.center().y()) + " click 3");
    settleOnTheDesktop();
    TrayMenu& menu = w.tray().menu();
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.showHideAction()->text(), "Hide Kelbo");
    EXPECT_TRUE(menu.stopAction()->isEnabled()) << "while recording";
    // Hide Kelbo from the menu: the window goes, the icon stays.
    menu.showHideAction()->trigger();
    menu.hide();
    settleOnTheDesktop();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.tray().shown());
    w.Restore_From_Tray();
    settleOnTheDesktop();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.tray().shown());
}

// The tray's balloon shows one notice at a time: with the icon shown, news
// still goes to the session's notification server, and a finish followed
// at once by a start are two notifications, neither replacing the other.
TEST_F(OnADesktop, WithTheTrayIconShownNewsGoesToTheNotificationServerOneEach) {
    ASSERT_TRUE(SystemTray::available()) << "trayer did not start";
    PrivateBus bus;
    const std::string address = bus.address();
    ASSERT_TRUE(bus.listening()) << "dbus-daemon did not start";
    FakeNotificationServer fake;
    fake.capabilities = {"body", "body-markup", "actions"};
    {
        QDBusConnection service = QDBusConnection::connectToBus(QString::fromStdString(address), "fake-server");
        ASSERT_TRUE(service.registerVirtualObject("/org/freedesktop/Notifications", &fake));
        ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
        SystemTray tray;
        tray.keepShown(true);
        settleOnTheDesktop();
        ASSERT_TRUE(tray.shown());
        tray.setNotificationBus(QDBusConnection::connectToBus(QString::fromStdString(address), "kelbo-tray"));
        tray.showNotice({"Recording finished", "Recorded \"News\" on BBC1: 00:30:00, 1.2 GB", false, {"/v/News.mpg"}});
        tray.showNotice({"Recording started", "Recording \"Film\" on BBC1 into Film-20001[1.].mpg", false, {}});
        for (int i = 0; i < 50 && fake.notifications.size() < 2; ++i) settleOnTheDesktop(20);
        ASSERT_EQ(fake.notifications.size(), 2u);
        EXPECT_EQ(fake.notifications[0].arguments()[3].toString(), "Recording finished");
        EXPECT_EQ(fake.notifications[1].arguments()[3].toString(), "Recording started");
        for (const QDBusMessage& m : fake.notifications) EXPECT_EQ(m.arguments()[1].toUInt(), 0u);
        service.unregisterObject("/org/freedesktop/Notifications");
    }
    QDBusConnection::disconnectFromBus("fake-server");
    QDBusConnection::disconnectFromBus("kelbo-tray");
}
