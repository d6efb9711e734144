#pragma once

#include "program_process.h"
#include "schedule_text.h"
#include "temp_dir.h"
#include "common/date_time.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace kelbo::testing {

// The folders of a recorder run as a user runs it, below a fresh folder:
// its settings store (the test pattern as source, no buffers, `Template`
// as given), schedule file, movies folder, log and a file for standard
// error.
class RecorderHome {
public:
    explicit RecorderHome(const std::string& templateName = "DVD Full Quality");

    const std::filesystem::path& path() const { return home_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return home_ / name; }
    std::filesystem::path schedule() const { return home_ / "KelboSchedule.txt"; }
    std::filesystem::path movies() const { return home_ / "movies"; }
    std::filesystem::path settingsFile() const { return home_.path() / "config" / "kelbo" / "registry.ini"; }
    std::filesystem::path logFile() const { return home_.path() / "state" / "kelbo" / "kelbo.log"; }
    std::filesystem::path errorFile() const { return home_ / "stderr.txt"; }
    // The user's runtime folder, where the command socket is.
    std::filesystem::path runtime() const { return home_ / "runtime"; }

    // Settings, data, state and runtime folders below the home; offscreen.
    Environment environment() const;
    // Waits until some file is below the movies folder.
    bool waitForRecording(std::chrono::seconds timeout) const;

private:
    TempDir home_;
};

// The start of the current minute, local time: a programme starting then
// and lasting two minutes is due whatever the second.
DateTime startOfThisMinute();

// A guide record of `minutes` from `start` on the default channel.
GuideRecord recordAt(const std::string& name, DateTime start, int minutes);

}  // namespace kelbo::testing
