// The real program as a new user meets it: the folders it chooses on the
// first start, and the options answered without a display.
#include "support/program_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// A user with a home of their own and no settings yet but the test
// pattern as source.
struct NewUser {
    NewUser() {
        std::filesystem::create_directories(settingsFile().parent_path());
        writeFile(settingsFile(), "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nCaptureSource=test\n");
    }
    std::filesystem::path settingsFile() const { return home / "config" / "kelbo" / "registry.ini"; }
    Environment environment() const {
        return {{"HOME", home.path().string()},
                {"XDG_CONFIG_HOME", (home / "config").string()},
                {"XDG_DATA_HOME", (home / "data").string()},
                {"XDG_STATE_HOME", (home / "state").string()},
                {"QT_QPA_PLATFORM", "offscreen"}};
    }
    // Once the recorder answers a command its start-up, and so the first
    // start's save of every default, is over.
    bool waitUntilAnswering(std::chrono::seconds timeout) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (runProgram(KELBO_PROGRAM, {"--status"}, environment(), 5s).status != 0) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(100ms);
        }
        return true;
    }
    TempDir home;
};

std::string storedValue(const std::string& text, const std::string& key) {
    const auto at = text.find("\n" + key + "=");
    if (at == std::string::npos) return "<missing>";
    const auto from = at + key.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

TEST(ProgramFirstStart, RecordingsGoToTheDesktopsVideosFolderAndTheScheduleToTheDataFolder) {
    NewUser user;
    writeFile(user.home / "config" / "user-dirs.dirs", "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n");
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, user.environment());
    ASSERT_TRUE(user.waitUntilAnswering(15s)) << readFile(user.settingsFile());
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);

    const std::string settings = readFile(user.settingsFile());
    const std::string home = user.home.path().string();
    EXPECT_EQ(storedValue(settings, "FileString"), home + "/Filme/Kelbo/%startdate%/%programme%-%starttime%.mpg");
    EXPECT_EQ(storedValue(settings, "ScheduleFile"), home + "/data/kelbo/KelboSchedule.txt");
}

TEST(ProgramFirstStart, HelpAndVersionNeedNoDisplay) {
    // A display that does not exist: any attempt to open a window fails.
    const Environment noDisplay{{"DISPLAY", ":987"}, {"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", ""}};
    const ProgramRun version = runProgram(KELBO_PROGRAM, {"--version"}, noDisplay, 10s);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "kelbo " KELBO_VERSION "\n");

    const ProgramRun help = runProgram(KELBO_PROGRAM, {"--help"}, noDisplay, 10s);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: kelbo [OPTION]\n", 0), 0u) << help.out;
    for (const char* option : {"--status", "--stop-recording", "--reload", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(runProgram(KELBO_PROGRAM, {"-h"}, noDisplay, 10s).out, help.out);
}

}  // namespace
