#include "recorder_home.h"

#include <thread>

namespace kelbo::testing {

RecorderHome::RecorderHome(const std::string& templateName) {
    std::filesystem::create_directories(settingsFile().parent_path());
    writeFile(settingsFile(),
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n"
              "Template=" + templateName + "\nStartBuffer=0\nEndBuffer=0\n"
              "ScheduleFile=" + schedule().string() + "\n"
              "FileString=" + (movies() / "%programme%-%starttime%.mpg").string() + "\n"
              "CaptureSource=test\n");
    std::filesystem::create_directory(runtime());
    std::filesystem::permissions(runtime(), std::filesystem::perms::owner_all);
}

Environment RecorderHome::environment() const {
    return {{"XDG_CONFIG_HOME", (home_ / "config").string()},
            {"XDG_DATA_HOME", (home_ / "data").string()},
            {"XDG_STATE_HOME", (home_ / "state").string()},
            {"XDG_RUNTIME_DIR", runtime().string()},
            {"QT_QPA_PLATFORM", "offscreen"}};
}

bool RecorderHome::waitForRecording(std::chrono::seconds timeout) const {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (filesBelow(movies()).empty() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return !filesBelow(movies()).empty();
}

DateTime startOfThisMinute() {
    const auto now = toLocalDateTime(std::chrono::system_clock::now()).civil();
    return DateTime::fromCivil(now.year, now.month, now.day, now.hour, now.minute);
}

GuideRecord recordAt(const std::string& name, DateTime start, int minutes) {
    GuideRecord record;
    record.name = name;
    record.date = start.formatDate();
    record.time = start.formatTime();
    record.duration = std::to_string(minutes);
    return record;
}

}  // namespace kelbo::testing
