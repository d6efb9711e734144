// The program's own face: its command line, and the icon its windows
// carry.
#include "common/clock.h"
#include "common/settings_store.h"
#include "recorder/app/command_line.h"
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

using Action = app::CommandLine::Action;

int answer(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
    std::ostringstream o, e;
    const int status = app::answerCommandLine(app::readCommandLine(arguments), o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(CommandLine, VersionAndHelpAreAnsweredOnStandardOutput) {
    std::string out, err;
    EXPECT_EQ(answer({"--version"}, out, err), 0);
    EXPECT_EQ(out, "kelbo " KELBO_VERSION "\n");
    EXPECT_EQ(answer({"--help"}, out, err), 0);
    EXPECT_EQ(out.rfind("Usage: kelbo [OPTION]\n", 0), 0u);
    EXPECT_NE(out.find("--stop-recording"), std::string::npos);
    EXPECT_EQ(err, "");
    for (const std::vector<std::string>& withHelp :
         {std::vector<std::string>{"-platform", "offscreen", "-h"}, {"--status", "--help"}, {"--bogus", "--help"}}) {
        EXPECT_EQ(answer(withHelp, out, err), 0) << withHelp.back();
        EXPECT_EQ(out.rfind("Usage: kelbo", 0), 0u);
    }
}

TEST(CommandLine, CommandsAndQtsOwnOptionsAreTakenAnythingElseIsRefused) {
    EXPECT_EQ(app::readCommandLine({}).action, Action::StartRecorder);
    for (const std::vector<std::string>& qt :
         {std::vector<std::string>{"-platform", "offscreen"}, {"--style", "Fusion"}, {"-style=Fusion"},
          {"-display", ":1", "-reverse"}, {"-session", "10d3f", "-platformtheme", "gtk3"}})
        EXPECT_EQ(app::readCommandLine(qt).action, Action::StartRecorder) << qt[0];

    const app::CommandLine status = app::readCommandLine({"-platform", "offscreen", "--json", "--status"});
    EXPECT_EQ(status.action, Action::Command);
    EXPECT_EQ(status.request.command, "status");
    EXPECT_TRUE(status.request.json);
    EXPECT_EQ(app::readCommandLine({"--stop-recording"}).request.command, "stop-recording");
    EXPECT_EQ(app::readCommandLine({"--reload"}).request.command, "reload");

    // Typing errors and stray words a user or script may give.
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--stop"}, "unknown option --stop"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"-status"}, "unknown option -status"},
        {{"--status=json"}, "unknown option --status=json"},
        {{"stop"}, "unexpected argument stop"},
        {{"--status", "extra"}, "unexpected argument extra"},
        {{"--status", "--reload"}, "--status and --reload cannot be given together"},
        {{"--reload", "--reload"}, "--reload is given twice"},
        {{"--json"}, "--json goes with --status"},
        {{"--reload", "--json"}, "--json goes with --status"},
        {{"--version", "--bogus"}, "unknown option --bogus"},
        {{"-platform"}, "-platform needs a value"},
        {{"-style="}, "unknown option -style="},
    };
    for (const auto& [arguments, problem] : refused) {
        std::string out, err;
        EXPECT_EQ(answer(arguments, out, err), 2) << problem;
        EXPECT_EQ(out, "") << problem;
        EXPECT_EQ(err.rfind("kelbo: " + problem + "\nUsage: kelbo [OPTION]\n", 0), 0u) << err;
    }
}

TEST(CommandLine, StopRecordingTakesTheIdOfOneProgramme) {
    EXPECT_FALSE(app::readCommandLine({"--stop-recording"}).request.programme) << "every recording";
    EXPECT_EQ(app::readCommandLine({"--stop-recording"}).request.line(), "stop-recording");
    const app::CommandLine one = app::readCommandLine({"-platform", "offscreen", "--stop-recording", "4294967295"});
    EXPECT_EQ(one.action, Action::Command);
    EXPECT_EQ(one.request.command, "stop-recording");
    EXPECT_EQ(one.request.programme, 4294967295u);
    EXPECT_EQ(one.request.line(), "stop-recording 4294967295");
    EXPECT_EQ(app::readCommandLine({"--stop-recording", "012"}).request.programme, 12u);

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--stop-recording", "News"}, "--stop-recording takes a programme id, not News"},
        {{"--stop-recording", "0"}, "--stop-recording takes a programme id, not 0"},
        {{"--stop-recording", "4294967296"}, "--stop-recording takes a programme id, not 4294967296"},
        {{"--stop-recording", "12a"}, "--stop-recording takes a programme id, not 12a"},
        {{"--stop-recording", "+12"}, "--stop-recording takes a programme id, not +12"},
        {{"--stop-recording", "12", "13"}, "unexpected argument 13"},
        {{"--status", "12"}, "unexpected argument 12"},
        {{"--stop-recording", "12", "--status"}, "--stop-recording and --status cannot be given together"},
        {{"--stop-recording", "12", "--json"}, "--json goes with --status"},
    };
    for (const auto& [arguments, problem] : refused) {
        std::string out, err;
        EXPECT_EQ(answer(arguments, out, err), 2) << problem;
        EXPECT_EQ(out, "") << problem;
        EXPECT_EQ(err.rfind("kelbo: " + problem + "\nUsage: kelbo [OPTION]\n", 0), 0u) << err;
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
