// The guide host on a real desktop (Xvfb with openbox): a right-click on a
// programme, "Record series with", a template, chosen with the mouse and the
// keyboard as a user does, and the rule removed again from the Series menu.
#include "../guide/xmltv_sample.h"
#include "support/command_output.h"
#include "support/desktop.h"
#include "support/program_process.h"
#include "support/temp_dir.h"

#include "common/schedule_format.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <thread>
#include <tuple>

#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

size_t records(const std::filesystem::path& schedule) {
    std::istringstream in(std::filesystem::exists(schedule) ? readFile(schedule) : "");
    ScheduleReader reader(in);
    size_t n = 0;
    while (const auto record = reader.next()) n += record->accepted;
    return n;
}

}  // namespace

TEST(GuideOnADesktop, RecordSeriesFromTheProgrammeMenu) {
    Desktop desktop;
    ASSERT_FALSE(desktop.display().empty()) << "Xvfb did not start";
    ASSERT_TRUE(desktop.managed()) << "openbox did not start on " << desktop.display();

    TempDir home;
    const auto schedule = home / "schedule.txt";
    std::filesystem::create_directories(home / "config" / "kelbo");
    writeFile(home / "config" / "kelbo" / "registry.ini",
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" + schedule.string() +
                  "\n[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\nDEFAULT Template=1\nHalf D1=1\n");
    // Every row is an episode, so wherever the click lands it is on the series.
    using namespace std::chrono;
    const auto soon = floor<minutes>(system_clock::now()) + hours(1);
    std::string text = "<tv><channel id='a'><display-name>1</display-name><display-name>One</display-name></channel>";
    for (int day = 0; day < 4; ++day) text += xmltvProgramme("a", soon + days(day), 30, "<title>Quiz</title>");
    writeFile(home / "listing.xml", text + "</tv>");

    BackgroundProgram guide(std::string(KELBO_BUILD_DIR) + "/kelbo-guide", {"xmltv", (home / "listing.xml").string()},
                            {{"DISPLAY", desktop.display()}, {"QT_QPA_PLATFORM", "xcb"},
                             {"XDG_CONFIG_HOME", (home / "config").string()}, {"HOME", home.path().string()}});
    std::string window;
    for (int i = 0; i < 100 && window.empty(); ++i) {
        std::this_thread::sleep_for(100ms);
        window = desktop.xdotool("search --onlyvisible --name '^Kelbo guide$'");
    }
    ASSERT_FALSE(window.empty()) << "the guide window never appeared";
    window = window.substr(0, window.find('\n'));
    desktop.xdotool("windowactivate --sync " + window);
    // Below the filter box and the column headers: a programme row.
    desktop.xdotool("mousemove --window " + window + " 150 110 click 3");
    std::this_thread::sleep_for(500ms);
    // Up from the top wraps to the last entry, "Record series with"; Right
    // opens it on "DEFAULT Template"; Down is "Half D1".
    for (const char* key : {"Up", "Right", "Down", "Return"}) {
        desktop.xdotool(std::string("key ") + key);
        std::this_thread::sleep_for(300ms);
    }
    for (int i = 0; i < 50 && records(schedule) < 4; ++i) std::this_thread::sleep_for(100ms);
    EXPECT_EQ(records(schedule), 4u);
    const std::string stored = readFile(schedule);
    EXPECT_NE(stored.find("Template     : Half D1"), std::string::npos) << stored;
    EXPECT_NE(readFile(home / "config" / "kelbo" / "registry.ini").find("Guide Rules]"), std::string::npos);
    EXPECT_TRUE(guide.running());

    // The rule just stored is in the Series menu: Alt+S opens it on the
    // rule, Right opens the rule's own menu on "Remove".
    const auto registry = home / "config" / "kelbo" / "registry.ini";
    ASSERT_NE(readFile(registry).find("Rule1="), std::string::npos);
    desktop.xdotool("windowactivate --sync " + window);
    for (const char* key : {"alt+s", "Right", "Return"}) {
        desktop.xdotool(std::string("key ") + key);
        std::this_thread::sleep_for(300ms);
    }
    for (int i = 0; i < 50 && readFile(registry).find("Rule1=") != std::string::npos; ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(readFile(registry).find("Rule1="), std::string::npos) << readFile(registry);
    EXPECT_NE(readFile(registry).find("DEFAULT Template=1"), std::string::npos);
    EXPECT_EQ(records(schedule), 4u);
    guide.stop(SIGTERM, std::chrono::seconds(5));
}

// The guide host in the session's language: its window's title and the
// Series menu's mnemonic in German.
TEST(GuideOnADesktop, AGermanSessionGetsTheGermanWindow) {
    Desktop desktop;
    ASSERT_FALSE(desktop.display().empty()) << "Xvfb did not start";
    ASSERT_TRUE(desktop.managed()) << "openbox did not start on " << desktop.display();
    TempDir home;
    std::filesystem::create_directories(home / "config" / "kelbo");
    writeFile(home / "listing.xml", "<tv><channel id='a'><display-name>1</display-name></channel></tv>");
    // xdotool's patterns are ASCII: the window is found by the title's start.
    for (const auto& [language, start, title] :
         {std::tuple<std::string, std::string, std::string>{"de_DE.UTF-8", "Kelbo-Programmf", "Kelbo-Programmführer"},
          {"en_GB.UTF-8", "Kelbo guide", "Kelbo guide"}}) {
        BackgroundProgram guide(std::string(KELBO_BUILD_DIR) + "/kelbo-guide",
                                {"xmltv", (home / "listing.xml").string()},
                                {{"DISPLAY", desktop.display()}, {"QT_QPA_PLATFORM", "xcb"}, {"LANG", language},
                                 {"XDG_CONFIG_HOME", (home / "config").string()}, {"HOME", home.path().string()}});
        std::string window;
        for (int i = 0; i < 100 && window.empty(); ++i) {
            std::this_thread::sleep_for(100ms);
            window = desktop.xdotool("search --onlyvisible --name '^" + start + "'");
        }
        EXPECT_FALSE(window.empty()) << "no window named " << title << " in " << language;
        if (!window.empty()) {
            EXPECT_EQ(desktop.xdotool("getwindowname " + window.substr(0, window.find('\n'))), title + "\n");
        }
        guide.stop(SIGTERM, std::chrono::seconds(5));
    }
}
