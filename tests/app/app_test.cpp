// The program's own face: --help and --version, and the icon its windows
// carry.
#include "common/clock.h"
#include "common/settings_store.h"
#include "recorder/app/about_options.h"
#include "recorder/app/app_icon.h"
#include "recorder/ui/main_window.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

std::optional<int> answer(const std::vector<std::string>& arguments, std::string& out) {
    std::ostringstream stream;
    const auto status = app::answerAboutOptions(arguments, stream);
    out = stream.str();
    return status;
}

TEST(AboutOptions, VersionAndHelpAreAnsweredOtherArgumentsAreLeftAlone) {
    std::string out;
    EXPECT_EQ(answer({"--version"}, out), 0);
    EXPECT_EQ(out, "kelbo " KELBO_VERSION "\n");
    EXPECT_EQ(answer({"--help"}, out), 0);
    EXPECT_NE(out.find("--stop-recording"), std::string::npos);
    EXPECT_EQ(answer({"-platform", "offscreen", "-h"}, out), 0);

    for (const std::vector<std::string>& others : {std::vector<std::string>{}, {"--status", "--json"}, {"--reload"}}) {
        EXPECT_EQ(answer(others, out), std::nullopt);
        EXPECT_EQ(out, "");
    }
}

QImage at(const QIcon& icon, int size) { return icon.pixmap(size, size).toImage(); }

TEST(ApplicationIcon, EverySizeIsBuiltInAndTheMainWindowCarriesIt) {
    const QIcon icon = app::applicationIcon();
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    // The record light is red in the lower right of the picture.
    const QColor light = at(icon, 128).pixelColor(96, 88);
    EXPECT_GT(light.red(), 200);
    EXPECT_LT(light.green(), 80);

    RecordingMessageBoxes messages;
    FixedClock clock(std::chrono::system_clock::now());
    QApplication::setWindowIcon(icon);
    const ui::MainWindow window({messages, clock});
    EXPECT_EQ(at(window.windowIcon(), 32), at(icon, 32)) << "the window shows the program's icon";
}

}  // namespace
