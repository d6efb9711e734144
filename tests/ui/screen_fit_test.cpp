// Windows open with their frames wholly on the screen (the offscreen
// screen, halved at a scale factor of 2): a rectangle saved on a larger screen is pulled on,
// keeping its size where it fits; the first start is not placed at 0,0;
// the Options dialog fits, its buttons in sight, at 1x and at 2x.
#include "main_window_rig.h"

#include "recorder/ui/options_dialog.h"
#include "recorder/ui/screen_fit.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class ScreenFitTest : public MainWindowTest {
protected:
    void saveRect(int x, int y, int width, int height) {
        store.SaveSetting(settings::kDefaults, settings::kPositionLeft, std::to_string(x * 15));
        store.SaveSetting(settings::kDefaults, settings::kPositionTop, std::to_string(y * 15));
        store.SaveSetting(settings::kDefaults, settings::kPositionWidth, std::to_string(width * 15));
        store.SaveSetting(settings::kDefaults, settings::kPositionHeight, std::to_string(height * 15));
    }
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static void settle() { QTest::qWait(kWindowFramedMs + 100); }
};

}  // namespace

TEST_F(ScreenFitTest, ARectangleSavedOnALargerScreenIsPulledOnKeepingItsSize) {
    if (area().width() < 700) GTEST_SKIP() << "the main window's least size is larger than this screen";
    saveRect(1200, 700, 700, 450);
    MainWindow& w = start();
    settle();
    EXPECT_TRUE(area().contains(w.frameGeometry())) << "frame off the screen";
    EXPECT_EQ(w.size(), QSize(700, 450)) << "it fits, so it keeps its size";
    closeWindow();
}

TEST_F(ScreenFitTest, ARectangleLargerThanTheScreenIsShrunkOntoIt) {
    if (area().width() < 700) GTEST_SKIP() << "the main window's least size is larger than this screen";
    saveRect(100, 100, 1600, 1000);
    MainWindow& w = start();
    settle();
    EXPECT_TRUE(area().contains(w.frameGeometry()));
}

TEST_F(ScreenFitTest, TheFirstStartLeavesRoomForTheTitleBar) {
    if (area().width() < 700) GTEST_SKIP() << "the main window's least size is larger than this screen";
    MainWindow& w = start();
    settle();
    EXPECT_GT(w.geometry().top(), area().top()) << "client at the top edge: the title bar above the screen";
    EXPECT_TRUE(area().contains(w.frameGeometry()));
}

TEST_F(ScreenFitTest, TheOptionsDialogFitsWithItsButtonsInSight) {
    MainWindow& w = start();
    w.OptionsMenu_Click();
    QWidget* options = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "Options" && top->isVisible()) options = top;
    ASSERT_NE(options, nullptr);
    settle();
    EXPECT_TRUE(area().contains(options->frameGeometry()))
        << "area " << area().width() << "x" << area().height() << ", dialog " << options->width() << "x"
        << options->height();
    for (const char* name : {"Command_OK", "Command_Apply", "Command_Cancel"}) {
        auto* button = options->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible()) << name;
        const QRect inDialog(button->mapTo(options, QPoint(0, 0)), button->size());
        EXPECT_TRUE(options->rect().contains(inDialog)) << name << " off the dialog";
    }
    options->hide();
}
