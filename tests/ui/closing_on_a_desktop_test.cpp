// On a real desktop (Xvfb, openbox, trayer): the window manager's close
// (Alt+F4) during a recording asks before it stops anything, with Cancel
// as the answer Enter gives, or puts the window in the tray where the
// user keeps the recorder there.
#include "desktop_ui.h"
#include "main_window_rig.h"

#include "recorder/ui/qt_message_boxes.h"
#include "recorder/ui/system_tray.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class ClosingOnADesktop : public MainWindowTest {
protected:
    ClosingOnADesktop() { windowBoxes = &realBoxes; }

    MainWindow& startRecording() {
        MainWindow& w = start();
        realBoxes.setOwnerWindow(&w);
        settleOnTheDesktop(800);
        clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
        w.Timer1_Timer();
        w.Timer1_Timer();
        EXPECT_EQ(device->state, CaptureDevice::Recording);
        settleOnTheDesktop();
        return w;
    }

    void pressAltF4On(QWidget& w) {
        const std::string id = std::to_string(w.winId());
        desktopOfTheRun->xdotool("windowactivate --sync " + id);
        settleOnTheDesktop(200);
        desktopOfTheRun->xdotool("key --clearmodifiers alt+F4");
    }

    QtMessageBoxes realBoxes{QtMessageBoxes::Output::Windows};
};

}  // namespace

TEST_F(ClosingOnADesktop, AltF4DuringARecordingAsksAndEnterKeepsItRecording) {
    MainWindow& w = startRecording();
    QSignalSpy closed(&w, &MainWindow::closed);
    std::string seenTitle;
    bool cancelIsDefault = false;
    // Looks at the question once it is up and answers it with Enter.
    QTimer watcher;
    watcher.setInterval(100);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible()) continue;
            watcher.stop();
            seenTitle = box->windowTitle().toStdString();
            cancelIsDefault = box->defaultButton() == box->button(QMessageBox::Cancel);
            settleOnTheDesktop(300);
            desktopOfTheRun->xdotool("key --clearmodifiers Return");
            return;
        }
    });
    watcher.start();
    pressAltF4On(w);
    settleOnTheDesktop(2500);
    EXPECT_EQ(seenTitle, "Quit Kelbo");
    EXPECT_TRUE(cancelIsDefault);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(device->state, CaptureDevice::Recording);
    EXPECT_EQ(device->count("StopCapture"), 0);
}

TEST_F(ClosingOnADesktop, AltF4DuringARecordingGoesToTheTrayWhereTheUserKeepsIt) {
    ASSERT_TRUE(SystemTray::available()) << "trayer did not start";
    store.SaveSetting(settings::kDefaults, settings::kMinimizeToSystem, "1");
    MainWindow& w = startRecording();
    ASSERT_TRUE(w.tray().shown());
    QSignalSpy closed(&w, &MainWindow::closed);
    pressAltF4On(w);
    settleOnTheDesktop(1500);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_FALSE(w.isVisible()) << "in the tray";
    EXPECT_TRUE(w.tray().shown());
    EXPECT_EQ(device->state, CaptureDevice::Recording);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QMessageBox*>(top) && top->isVisible()) << "no question";
}
