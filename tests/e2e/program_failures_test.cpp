// The real program after a crash and on a disk that fills up: started
// offscreen on the test pattern with a programme that is due now.
#include "support/recorder_home.h"
#include "support/small_disk.h"
#include "support/unwritable_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <regex>
#include <thread>

#include <csignal>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// A home with settings for the test pattern and a two-minute programme
// that began this minute.
struct ProgramHome {
    ProgramHome() {
        std::filesystem::create_directories(movies);
        const DateTime start = startOfThisMinute();
        writeFile(schedule, recordAt("Pattern", start, 2).text());
        base = "Pattern-" + start.formatTime().erase(2, 1);
    }

    // Waits until `name` is in the movies folder with something in it.
    bool waitFor(const std::string& name, std::chrono::seconds timeout) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            std::error_code ec;
            if (std::filesystem::file_size(movies / name, ec) > 0 && !ec) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    // The part files in the movies folder and how many of them are empty.
    std::vector<std::string> parts(int* empty = nullptr) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(movies)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("Pattern-", 0) != 0) continue;
            names.push_back(name);
            if (empty && entry.file_size() == 0) ++*empty;
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string errors() const { return readFile(errorFile); }
    // What `kelbo --status --json` says of the running recorder.
    nlohmann::json status() const {
        const ProgramRun run = runProgram(KELBO_PROGRAM, {"--status", "--json"}, home.environment());
        return nlohmann::json::parse(run.out, nullptr, false);
    }
    // Waits until standard error holds `text`.
    bool waitForError(const std::string& text, std::chrono::seconds timeout) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            if (errors().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    RecorderHome home{"Long Play"};
    std::filesystem::path schedule = home.schedule();
    std::filesystem::path movies = home.movies();
    std::filesystem::path errorFile = home.errorFile();
    std::string base;
};

// Milliseconds from "H:M:S"; -1 for anything else.
long long milliseconds(const std::string& hms) {
    std::smatch m;
    if (!std::regex_match(hms, m, std::regex(R"((\d+):(\d\d):(\d\d))"))) return -1;
    return ((std::stoll(m[1]) * 60 + std::stoll(m[2])) * 60 + std::stoll(m[3])) * 1000;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(ProgramFailures, AfterAKillTheLeftoverPartIsNamedAndTheProgrammeRecordsOn) {
    ProgramHome h;
    const std::string first = h.base + "1[1.].mpg";
    {
        BackgroundProgram kelbo(KELBO_PROGRAM, {}, h.home.environment());
        ASSERT_TRUE(h.waitFor(first, 10s)) << "no recording started";
        std::this_thread::sleep_for(2s);
        ASSERT_EQ(kelbo.stop(SIGKILL, 5s), 128 + SIGKILL);
    }
    ASSERT_EQ(h.parts(), std::vector<std::string>{first}) << "the kill leaves the working name";

    BackgroundProgram kelbo(KELBO_PROGRAM, {}, h.home.environment(), h.errorFile);
    EXPECT_TRUE(h.waitFor(h.base + "2[1.].mpg", 10s)) << "the programme records on";
    std::this_thread::sleep_for(2s);
    // What is recorded counts the killed run's part as well as this one.
    const nlohmann::json status = h.status();
    ASSERT_TRUE(status.is_object());
    const std::string counter = status.value("counter", "");
    const long long thisPart = milliseconds(counter.substr(0, counter.find(' ')));
    EXPECT_GE(thisPart, 0) << status.dump();
    EXPECT_GE(milliseconds(status.value("recorded", "")), thisPart + 1000) << status.dump();
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);

    int empty = 0;
    EXPECT_EQ(h.parts(&empty), (std::vector<std::string>{h.base + "1[1.1].mpg", h.base + "2[1.1].mpg"}));
    EXPECT_EQ(empty, 0);
    const auto log = h.home.logFile();
    if (std::filesystem::exists(log)) {
        EXPECT_NE(readFile(log).find(h.base + "1[1.1].mpg"), std::string::npos) << readFile(log);
    }
}

TEST(ProgramFailures, ADiskThatFillsUpEndsTheRecordingWithOneNotice) {
    ProgramHome h;
    SmallDisk disk(h.movies, "64m");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here: " << disk.why();

    BackgroundProgram kelbo(KELBO_PROGRAM, {}, h.home.environment(), h.errorFile);
    ASSERT_TRUE(h.waitFor(h.base + "1[1.].mpg", 10s)) << "no recording started";
    std::this_thread::sleep_for(1s);
    disk.fill(h.movies / "filler");
    // The recording ends and is not started again while the disk is full.
    const std::string named = h.base + "1[1.1].mpg";
    EXPECT_TRUE(h.waitFor(named, 10s)) << h.errors();
    std::this_thread::sleep_for(3s);

    int empty = 0;
    EXPECT_EQ(h.parts(&empty), std::vector<std::string>{named});
    EXPECT_EQ(empty, 0);
    EXPECT_NE(readFile(h.schedule).find("Complete     : Failed\r\n"), std::string::npos);
    const std::string errors = h.errors();
    EXPECT_EQ(count(errors, "kelbo: Recording stopped: "), 1) << errors;
    EXPECT_NE(errors.find(h.movies.string()), std::string::npos) << errors;
    EXPECT_EQ(count(errors, "kelbo: "), 1) << "one notice and nothing else: " << errors;
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
    EXPECT_EQ(h.parts(), std::vector<std::string>{named});
}

// A recordings folder that takes no file: one notice with the folder and the
// system's reason, no "No video Source Detected", and the status says the
// due programme is failing and why.
TEST(ProgramFailures, AFolderThatTakesNoFileIsToldOnceAndTheStatusSaysWhy) {
    ProgramHome h;
    UnwritableFolder folder(h.movies);
    if (!folder.applied()) GTEST_SKIP() << "no unwritable folder here: " << folder.why();

    BackgroundProgram kelbo(KELBO_PROGRAM, {}, h.home.environment(), h.errorFile);
    ASSERT_TRUE(h.waitForError("kelbo: Error creating file: ", 10s)) << h.errors();
    std::this_thread::sleep_for(6s);  // a dozen retries
    const nlohmann::json status = h.status();
    ASSERT_TRUE(status.is_object());
    const std::string state = status.value("state", "");
    EXPECT_EQ(state.rfind("Failing: cannot write in " + h.movies.string(), 0), 0u) << status.dump();
    EXPECT_NE(state.find(folder.reason()), std::string::npos) << status.dump();
    EXPECT_NE(status.value("programme", "").find("Pattern on "), std::string::npos) << status.dump();
    EXPECT_NE(status.value("programme", "").find(" is not recording"), std::string::npos) << status.dump();

    const std::string errors = h.errors();
    EXPECT_EQ(count(errors, "kelbo: "), 1) << "one notice and nothing else: " << errors;
    EXPECT_NE(errors.find(h.movies.string()), std::string::npos) << errors;
    EXPECT_NE(errors.find(folder.reason()), std::string::npos) << errors;
    EXPECT_EQ(errors.find("No video Source Detected"), std::string::npos) << errors;
    folder.release();
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}
