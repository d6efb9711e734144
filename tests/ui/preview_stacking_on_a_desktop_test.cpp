// On a real desktop (Xvfb, openbox): the docked preview is above Kelbo's
// own windows, and gives way to another application while that one is in
// use; back in Kelbo it is on top again.
#include "desktop_ui.h"
#include "main_window_rig.h"

#include <csignal>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {
class PreviewOnADesktop : public MainWindowTest {
protected:
    // xdotool waits for a pointer that is already where it is sent; it is
    // moved away first.
    static bool seen(const QWidget* widget) {
        desktopOfTheRun->xdotool("mousemove --sync 1 1");
        return uncovered(widget);
    }
};
}  // namespace

TEST_F(PreviewOnADesktop, ThePreviewStaysAboveKelboOnlyNotOtherApplications) {
    MainWindow& w = start();
    settleOnTheDesktop(800);
    PreviewForm& preview = w.preview();
    ASSERT_TRUE(preview.isVisible());
    w.activateWindow();
    settleOnTheDesktop();
    ASSERT_TRUE(seen(&preview)) << "docked on top of the main window";

    // Another application's window, opened over the preview and in use.
    const QRect p = preview.frameGeometry();
    BackgroundProgram other("/usr/bin/xmessage",
                            {"-name", "otherapp", "-geometry",
                             std::to_string(p.width() + 80) + "x" + std::to_string(p.height() + 80) + "+" +
                                 std::to_string(p.x() - 40) + "+" + std::to_string(p.y() - 40),
                             "A browser, the guide, ..."},
                            {{"DISPLAY", desktopOfTheRun->display()}});
    std::string otherId;
    for (int i = 0; i < 50 && otherId.empty(); ++i) {
        settleOnTheDesktop(100);
        otherId = desktopOfTheRun->xdotool("search --onlyvisible --classname otherapp");
    }
    ASSERT_FALSE(otherId.empty()) << "xmessage did not open";
    otherId = otherId.substr(0, otherId.find('\n'));
    desktopOfTheRun->xdotool("windowactivate --sync " + otherId + " windowraise " + otherId);
    settleOnTheDesktop(800);
    EXPECT_FALSE(seen(&preview)) << "the other application's window is over the preview";
    EXPECT_FALSE(preview.aboveOthers());

    // Back in Kelbo: above the main window again.
    desktopOfTheRun->xdotool("windowactivate --sync " + std::to_string(w.winId()));
    settleOnTheDesktop(800);
    EXPECT_TRUE(preview.aboveOthers());
    w.raise();
    settleOnTheDesktop();
    EXPECT_TRUE(seen(&preview)) << "above Kelbo's own window";
    other.stop(SIGTERM, std::chrono::seconds(5));
    closeWindow();
}
