// On a real desktop with a small screen (Xvfb, openbox, a panel-sized tray
// at the bottom; 1024x600, or 1366x768 at a scale factor of 2): the main
// window and the Options dialog open with their frames, title bars
// included, wholly on the screen and their buttons in sight.
#include "desktop_ui.h"
#include "main_window_rig.h"

#include "recorder/ui/keyed_status_bar.h"

#include <QPushButton>
#include <QScreen>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class SmallScreen : public MainWindowTest {
protected:
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // The window manager's own frame round a client window, in Qt's
    // (scaled) pixels.
    static QRect frameOnScreen(const QWidget& w) {
        const std::string out = commandOutput("DISPLAY=" + desktopOfTheRun->display() + " xwininfo -id " +
                                              frameOf(w.winId()) + " 2>/dev/null");
        const auto number = [&out](const std::string& key) {
            const auto at = out.find(key);
            return at == std::string::npos ? -1 : std::stoi(out.substr(at + key.size()));
        };
        const double scale = w.devicePixelRatioF();
        return QRect(QPoint(int(number("Absolute upper-left X:") / scale), int(number("Absolute upper-left Y:") / scale)),
                     QSize(int(number("Width:") / scale), int(number("Height:") / scale)));
    }
    void saveRect(int x, int y, int width, int height) {
        store.SaveSetting(settings::kDefaults, settings::kPositionLeft, std::to_string(x * 15));
        store.SaveSetting(settings::kDefaults, settings::kPositionTop, std::to_string(y * 15));
        store.SaveSetting(settings::kDefaults, settings::kPositionWidth, std::to_string(width * 15));
        store.SaveSetting(settings::kDefaults, settings::kPositionHeight, std::to_string(height * 15));
    }
    bool mainWindowFits() const { return area().width() >= 660 && area().height() >= 400; }
};

}  // namespace

TEST_F(SmallScreen, TheFirstStartShowsTheTitleBar) {
    if (!mainWindowFits()) GTEST_SKIP() << "the main window's least size is larger than this screen";
    MainWindow& w = start();
    settleOnTheDesktop(1200);
    const QRect frame = frameOnScreen(w);
    EXPECT_GE(frame.top(), area().top()) << "title bar above the screen";
    EXPECT_TRUE(area().contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    closeWindow();
}

TEST_F(SmallScreen, ARectangleSavedOnALargerScreenOpensOnThisOne) {
    if (!mainWindowFits()) GTEST_SKIP() << "the main window's least size is larger than this screen";
    // Saved on a 1920x1200 screen, low and right, and larger than this one.
    saveRect(900, 500, 1100, 700);
    MainWindow& w = start();
    settleOnTheDesktop(1200);
    const QRect frame = frameOnScreen(w);
    EXPECT_TRUE(area().contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    EXPECT_TRUE(uncovered(&w.statusPanels())) << "the status bar in sight";
    closeWindow();

    // One that fits keeps its size.
    saveRect(900, 500, 660, 400);
    MainWindow& again = start();
    settleOnTheDesktop(1200);
    EXPECT_TRUE(area().contains(frameOnScreen(again)));
    EXPECT_EQ(again.size(), QSize(660, 400));
    closeWindow();
}

TEST_F(SmallScreen, TheOptionsDialogFitsWithOkApplyAndCancelInSight) {
    MainWindow& w = start();
    settleOnTheDesktop(800);
    w.OptionsMenu_Click();
    settleOnTheDesktop(1200);
    QWidget* options = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "Options" && top->isVisible()) options = top;
    ASSERT_NE(options, nullptr);
    const QRect frame = frameOnScreen(*options);
    EXPECT_TRUE(area().contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    for (const char* name : {"Command_OK", "Command_Apply", "Command_Cancel"}) {
        QWidget* button = options->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr);
        const QRect global(button->mapToGlobal(QPoint(0, 0)), button->size());
        EXPECT_TRUE(area().contains(global)) << name << " off the screen";
        EXPECT_TRUE(uncovered(button)) << name;
    }
    options->hide();
    closeWindow();
}
