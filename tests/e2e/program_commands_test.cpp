// Commands to the running program (kelbo --status, --stop-recording,
// --reload), mistyped ones, and its orderly end on SIGHUP, offscreen on the
// test pattern.
#include "support/recorder_home.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// A recorder home with one programme that started this minute and runs
// for two, so it is due whatever the second.
class PatternHome : public RecorderHome {
public:
    PatternHome() { writeFile(schedule(), recordAt("Pattern", startOfThisMinute(), 2).text()); }

    BackgroundProgram startRecorder() const { return BackgroundProgram(KELBO_PROGRAM, {}, environment()); }
    ProgramRun command(const std::vector<std::string>& arguments) const {
        return runProgram(KELBO_PROGRAM, arguments, environment());
    }
};

}  // namespace

TEST(ProgramCommands, StatusReportsTheRecordingAndStopRecordingActsAsTheStopButton) {
    PatternHome home;
    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForRecording(10s)) << "no recording started";
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

// Two programmes on two channels, both due now, and two tuners.
class TwoTunerHome : public RecorderHome {
public:
    TwoTunerHome() {
        std::ofstream(settingsFile(), std::ios::app) << "Tuners=2\n";
        GuideRecord news = recordAt("Новости", startOfThisMinute(), 2);
        news.channelNumber = "102";
        news.channelName = "Первый";
        writeFile(schedule(), recordAt("Pattern", startOfThisMinute(), 2).text() + news.text());
    }
    BackgroundProgram startRecorder() const { return BackgroundProgram(KELBO_PROGRAM, {}, environment()); }
    ProgramRun command(const std::vector<std::string>& arguments) const {
        return runProgram(KELBO_PROGRAM, arguments, environment());
    }
};

TEST(ProgramCommands, StatusListsBothRecordingsAndStopRecordingWithAnIdStopsOne) {
    TwoTunerHome home;
    BackgroundProgram kelbo = home.startRecorder();
    const auto until = std::chrono::steady_clock::now() + 15s;
    while (filesBelow(home.movies()).size() < 2 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(100ms);
    ASSERT_EQ(filesBelow(home.movies()).size(), 2u) << "both tuners record";
    std::this_thread::sleep_for(1500ms);  // a tick or two of counters

    const auto status = nlohmann::json::parse(home.command({"--status", "--json"}).out);
    ASSERT_EQ(status["recordings"].size(), 2u) << status.dump();
    const auto& news = status["recordings"][0]["name"] == "Новости" ? status["recordings"][0] : status["recordings"][1];
    const std::string newsId = std::to_string(news["id"].get<unsigned>());
    const std::string tuner = std::to_string(news["tuner"].get<int>());
    EXPECT_NE(status["programme"].get<std::string>().find(" +1"), std::string::npos) << status["programme"];

    const ProgramRun text = home.command({"--status"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Tuner " + tuner + ":   Новости on Первый ends in 00:0"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("(id " + newsId + ")\n"), std::string::npos) << text.out;

    const ProgramRun stop = home.command({"--stop-recording", newsId});
    ASSERT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(stop.out, "Recording of Новости on Первый (id " + newsId + ", tuner " + tuner + ") stopped.\n");
    const auto after = nlohmann::json::parse(home.command({"--status", "--json"}).out);
    ASSERT_EQ(after["recordings"].size(), 1u) << after.dump();
    EXPECT_EQ(after["recordings"][0]["name"], "Pattern") << "the other tuner records on";

    const ProgramRun again = home.command({"--stop-recording", newsId});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(again.err, "kelbo: no tuner records programme " + newsId + "; nothing stopped.\n");
    EXPECT_EQ(home.command({"--stop-recording"}).out, "Recording stopped.\n");
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}

TEST(ProgramCommands, WithoutARunningRecorderEachCommandSaysSoAndFails) {
    PatternHome home;
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
    PatternHome home;
    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForRecording(10s)) << "no recording started";
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

// A mistyped command or a stray word is refused before anything starts:
// no recorder, no settings, no log, no lock, and the running recorder
// hears nothing of it.
TEST(ProgramCommands, AnUnknownOptionOrStrayArgumentIsRefusedAndTouchesNothing) {
    PatternHome home;
    const auto folder = home.settingsFile().parent_path();
    const std::string settings = readFile(home.settingsFile());
    const std::vector<std::vector<std::string>> mistakes = {
        {"--bogus"}, {"--stop"}, {"stop-recording"}, {"--status", "--reload"}, {"--json"}, {"-platform"}};
    for (const auto& arguments : mistakes) {
        const ProgramRun run = home.command(arguments);
        EXPECT_EQ(run.status, 2) << arguments[0];
        EXPECT_EQ(run.out, "") << arguments[0];
        EXPECT_NE(run.err.find("Usage: kelbo [OPTION]"), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(home.settingsFile()), settings);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no lock beside the settings";
    EXPECT_FALSE(std::filesystem::exists(home.logFile()));
    EXPECT_TRUE(filesBelow(home.movies()).empty());

    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForRecording(10s)) << "no recording started";
    const ProgramRun typo = home.command({"--stop"});
    EXPECT_EQ(typo.status, 2);
    EXPECT_NE(typo.err.find("kelbo: unknown option --stop\n"), std::string::npos) << typo.err;
    const auto status = nlohmann::json::parse(home.command({"--status", "--json"}).out);
    EXPECT_TRUE(status["recording"].get<bool>()) << "the recording goes on";
    // Qt's own options are taken and left to Qt.
    std::this_thread::sleep_for(1500ms);  // a tick or two to show the state
    const ProgramRun withQtOption = home.command({"-platform", "offscreen", "--status"});
    EXPECT_EQ(withQtOption.status, 0) << withQtOption.err;
    EXPECT_NE(withQtOption.out.find("State:     Recording"), std::string::npos) << withQtOption.out;
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}

namespace {

// A connection to the recorder's socket, as another program of the user's
// would make it; -1 when none.
int connectToRecorder(const RecorderHome& home) {
    std::filesystem::path socketPath;
    for (const auto& entry : std::filesystem::directory_iterator(home.runtime()))
        if (entry.path().filename().string().rfind("kelbo-", 0) == 0) socketPath = entry.path();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

// True once the recorder has closed its end of `fd`, after anything it said.
bool closedByRecorder(int fd) {
    char said[64];
    for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, 0) == 1;)
        if (::recv(fd, said, sizeof said, MSG_DONTWAIT) <= 0) return true;
    return false;
}

// What the recorder's socket answers to `bytes`.
std::string sendRaw(const RecorderHome& home, const std::string& bytes) {
    const int fd = connectToRecorder(home);
    std::string reply;
    if (fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<size_t>(n));
    }
    if (fd >= 0) ::close(fd);
    return reply;
}

// The text with its control characters visible, for a failure's message.
std::string shownEscaped(const std::string& text) {
    std::string shown;
    for (const char c : text) shown += c == '\x1b' ? std::string("<ESC>") : c == '\x07' ? std::string("<BEL>") : std::string(1, c);
    return shown;
}

}  // namespace

TEST(ProgramCommands, BrokenTextIsAnsweredWithAnErrorAndAProgrammesEscapesNeverReachTheTerminal) {
    PatternHome home;
    writeFile(home.schedule(), recordAt("Pat\x1b]0;owned\x07\x1b[2Jtern", startOfThisMinute(), 2).text());
    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForRecording(10s)) << "no recording started";

    const std::string reply = sendRaw(home, "\xff\n");
    const auto error = nlohmann::json::parse(reply, nullptr, false);
    ASSERT_FALSE(error.is_discarded()) << reply;
    EXPECT_EQ(error.value("error", ""), "unknown request: \\xff");

    std::this_thread::sleep_for(1500ms);  // a tick or two to show the programme
    const ProgramRun text = home.command({"--status"});
    ASSERT_EQ(text.status, 0) << text.err << " (the recorder ended on the request?)";
    EXPECT_NE(text.out.find("Pat\\x1b]0;owned\\x07\\x1b[2Jtern"), std::string::npos) << shownEscaped(text.out);
    EXPECT_EQ(text.out.find('\x1b'), std::string::npos) << "an escape sequence reached the terminal";
    const ProgramRun json = home.command({"--status", "--json"});
    EXPECT_EQ(json.out.find('\x1b'), std::string::npos);
    EXPECT_TRUE(nlohmann::json::parse(json.out)["recording"].get<bool>()) << "the recording goes on";
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}

TEST(ProgramCommands, ARecorderWithoutItsCommandSocketSaysSoAndStillRecords) {
    PatternHome home;
    // The runtime folder is open to all, and the fallback's name is taken.
    std::filesystem::permissions(home.runtime(), std::filesystem::perms::all);
    writeFile(home.settingsFile().parent_path() / "run", "not a folder");
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
    ASSERT_TRUE(home.waitForRecording(10s)) << "no recording started: " << readFile(home.errorFile());
    const ProgramRun status = home.command({"--status"});
    EXPECT_EQ(status.status, 1);
    EXPECT_NE(status.err.find("kelbo: not sent: no folder of the user's own for the command socket"),
              std::string::npos) << status.err << status.out;
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
    EXPECT_NE(readFile(home.errorFile()).find("Commands from the command line cannot reach this recorder: "),
              std::string::npos) << readFile(home.errorFile());
    EXPECT_NE(readFile(home.logFile()).find("Command socket: no folder of the user's own"), std::string::npos)
        << readFile(home.logFile());
}

// Clients that connect and say nothing, or say too much, cannot use up the
// recorder: past 16 connections the next are told it is busy and closed at
// once, the others 5 s after they came, and a request without an end is
// refused; the recording goes on.
TEST(ProgramCommands, IdleSurplusAndEndlessConnectionsAreCutOffAndTheRecordingGoesOn) {
    PatternHome home;
    BackgroundProgram kelbo = home.startRecorder();
    ASSERT_TRUE(home.waitForRecording(10s)) << "no recording started";
    std::vector<int> idle;
    for (int i = 0; i < 20; ++i) idle.push_back(connectToRecorder(home));
    ASSERT_EQ(std::count(idle.begin(), idle.end(), -1), 0);
    const auto closedCount = [&] { return std::count_if(idle.begin(), idle.end(), closedByRecorder); };
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(closedCount(), 4) << "the connections past 16 are closed at once, the others kept";

    std::this_thread::sleep_for(5s);
    EXPECT_EQ(closedCount(), 20) << "idle connections are closed after 5 s";
    for (const int fd : idle) ::close(fd);

    const std::string endless = sendRaw(home, std::string(200 * 1024, 'x'));
    EXPECT_EQ(endless, "{\"error\":\"request longer than 64 KiB\"}\n");

    const ProgramRun status = home.command({"--status", "--json"});
    ASSERT_EQ(status.status, 0) << status.err;
    EXPECT_TRUE(nlohmann::json::parse(status.out)["recording"].get<bool>());
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}
