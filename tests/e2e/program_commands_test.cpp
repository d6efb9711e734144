// Commands to the running program (kelbo --status, --stop-recording,
// --reload) and its orderly end on SIGHUP, offscreen on the test pattern.
#include "support/program_process.h"
#include "support/schedule_text.h"
#include "support/temp_dir.h"
#include "common/date_time.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// A recorder home with the test pattern as source and one programme that
// started this minute and runs for two, so it is due whatever the second.
class RecorderHome {
public:
    RecorderHome() {
        std::filesystem::create_directories(home_ / "config" / "kelbo");
        writeFile(settingsFile(),
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n"
                  "Template=DVD Full Quality\nStartBuffer=0\nEndBuffer=0\n"
                  "ScheduleFile=" + schedule().string() + "\n"
                  "FileString=" + (movies() / "%programme%-%starttime%.mpg").string() + "\n"
                  "CaptureSource=test\n");
        const auto now = toLocalDateTime(std::chrono::system_clock::now()).civil();
        const DateTime start = DateTime::fromCivil(now.year, now.month, now.day, now.hour, now.minute);
        GuideRecord record;
        record.name = "Pattern";
        record.date = start.formatDate();
        record.time = start.formatTime();
        record.duration = "2";
        writeFile(schedule(), record.text());
    }

    std::filesystem::path schedule() const { return home_ / "KelboSchedule.txt"; }
    std::filesystem::path movies() const { return home_ / "movies"; }
    std::filesystem::path logFile() const { return home_ / "state" / "kelbo" / "kelbo.log"; }
    std::filesystem::path settingsFile() const { return home_ / "config" / "kelbo" / "registry.ini"; }
    Environment environment() const {
        Environment e = recorderEnvironment(home_.path());
        e["QT_QPA_PLATFORM"] = "offscreen";
        return e;
    }
    BackgroundProgram startRecorder() const { return BackgroundProgram(KELBO_PROGRAM, {}, environment()); }
    ProgramRun command(const std::vector<std::string>& arguments) const {
        return runProgram(KELBO_PROGRAM, arguments, environment());
    }
    bool waitForFile(std::chrono::seconds timeout) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (filesBelow(movies()).empty() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(100ms);
        return !filesBelow(movies()).empty();
    }

private:
    TempDir home_;
};

}  // namespace

TEST(ProgramCommands, StatusReportsTheRecordingAndStopRecordingActsAsTheStopButton) {
    RecorderHome home;
    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForFile(10s)) << "no recording started";
    std::this_thread::sleep_for(1500ms);  // a tick or two of counters

    const ProgramRun json = home.command({"--status", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto status = nlohmann::json::parse(json.out);
    EXPECT_EQ(status["state"], "Recording");
    EXPECT_TRUE(status["recording"].get<bool>());
    EXPECT_NE(status["programme"].get<std::string>().find("Pattern on "), std::string::npos);
    EXPECT_NE(status["programme"].get<std::string>().find(" ends in "), std::string::npos);
    EXPECT_NE(status["counter"].get<std::string>().find("  /  "), std::string::npos);
    const std::string file = status["file"].get<std::string>();
    EXPECT_EQ(std::filesystem::path(file).parent_path(), home.movies());
    EXPECT_NE(file.find("[1.].mpg"), std::string::npos) << file;

    const ProgramRun text = home.command({"--status"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("State:     Recording\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("File:      " + file + "\n"), std::string::npos) << text.out;

    const ProgramRun reloadWhileRecording = home.command({"--reload"});
    EXPECT_EQ(reloadWhileRecording.status, 1) << "not while recording, as the menu command";

    const ProgramRun stop = home.command({"--stop-recording"});
    ASSERT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(stop.out, "Recording stopped.\n");
    const auto after = nlohmann::json::parse(home.command({"--status", "--json"}).out);
    EXPECT_FALSE(after["recording"].get<bool>());
    EXPECT_EQ(after["file"], "");
    // As the stop button: the part has its final name and the item says so.
    const auto files = filesBelow(home.movies());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].filename().string().find("[1.1].mpg"), std::string::npos) << files[0];
    EXPECT_NE(readFile(home.schedule()).find("Complete     : "), std::string::npos);

    const ProgramRun reload = home.command({"--reload"});
    EXPECT_EQ(reload.status, 0) << reload.err;
    EXPECT_EQ(reload.out, "Schedule reloaded.\n");
    EXPECT_EQ(home.command({"--stop-recording"}).out, "Kelbo is not recording; nothing to stop.\n");

    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
    const std::string log = readFile(home.logFile());
    EXPECT_NE(log.find("Stop requested from the command line"), std::string::npos) << log;
    EXPECT_NE(log.find("Reload Schedule"), std::string::npos) << log;
    EXPECT_NE(log.find("Schedule written to " + home.schedule().string()), std::string::npos) << log;
}

TEST(ProgramCommands, WithoutARunningRecorderEachCommandSaysSoAndFails) {
    RecorderHome home;
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--status"}, {"--status", "--json"}, {"--stop-recording"}, {"--reload"}}) {
        const ProgramRun run = home.command(arguments);
        EXPECT_EQ(run.status, 1) << arguments[0];
        EXPECT_EQ(run.out, "") << arguments[0];
        EXPECT_NE(run.err.find("no Kelbo recorder is running"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(filesBelow(home.movies()).empty()) << "a command never starts a recorder";
}

TEST(ProgramCommands, HangUpEndsTheProgramInTheSameOrderAsTerminate) {
    RecorderHome home;
    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForFile(10s)) << "no recording started";
    std::this_thread::sleep_for(2s);
    ASSERT_EQ(kelbo.stop(SIGHUP, 15s), 0);

    // The recording was ended as on SIGTERM: one part under its final name,
    // the schedule rewritten and the window's layout saved.
    const auto files = filesBelow(home.movies());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].filename().string().find("1[1.1].mpg"), std::string::npos) << files[0];
    EXPECT_NE(readFile(home.schedule()).find("ProgrammeName: Pattern\r\n"), std::string::npos);
    const std::string settings = readFile(home.settingsFile());
    EXPECT_NE(settings.find("Position_Width="), std::string::npos);
    EXPECT_NE(settings.find("i_IndexString="), std::string::npos);
}
