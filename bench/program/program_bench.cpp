// The whole recorder with a full schedule (501 programmes, none due) and the
// built-in test-pattern source, offscreen:
//   start-up, from main() to the first tick        target: under 1 s
//   idle CPU of build/kelbo over 60 s               target: under 0.5 % of one core
//   resident memory of build/kelbo while idle       target: under 150 MB
// Run: build/bench/program_bench [--idle-seconds=N]
#include "common/clock.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/app/recorder_program.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/ui/main_window.h"
#include "recorder/ui/qt_dispatcher.h"
#include "recorder/ui/qt_message_boxes.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo;
namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {

const auto kLaunched = Steady::now();

// A settings store and a schedule of 501 programmes, half an hour apart from
// tomorrow on, in `home`.
void prepare(const fs::path& home) {
    fs::create_directories(home / "config" / "kelbo");
    SettingsStore store(home / "config" / "kelbo" / "registry.ini");
    const auto set = [&](const std::string& k, const std::string& v) {
        store.SaveSetting(settings::kDefaults, k, v);
    };
    set(settings::kTemplate, "DVD Full Quality");
    set(settings::kScheduleFile, (home / "KelboSchedule.txt").string());
    set(settings::kFileString, (home / "movies" / "%programme%.mpg").string());
    set(settings::kCaptureSource, "test");
    std::ofstream schedule(home / "KelboSchedule.txt", std::ios::binary);
    const auto now = toLocalDateTime(std::chrono::system_clock::now()).civil();
    const DateTime first = DateTime::fromCivil(now.year, now.month, now.day).plusMinutes(24 * 60);
    for (int i = 0; i < 501; ++i) {
        const DateTime start = first.plusMinutes(30 * i);
        schedule << "ProgrammeName: Programme " << i << "\r\nStartTime    : " << start.formatTime()
                 << "\r\nStartDate    : " << start.formatDate() << "\r\nChannelNumber: " << i % 9 + 1
                 << "\r\nChannelName  : Channel " << i % 9 + 1 << "\r\nDuration     : 30\r\n"
                 << "Category     : Film\r\nDescription  : A programme to fill the schedule.\r\n"
                 << "----------BREAK----------\r\n";
    }
}

double startUpToFirstTickMs(int argc, char** argv, const fs::path& home) {
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    SettingsStore store(SettingsStore::defaultLocation());
    ui::QtMessageBoxes messages;
    SystemClock clock;
    ui::QtDispatcher dispatcher(&app);
    ui::MainWindow window({messages, clock});
    app::RecorderProgram program({store, messages, clock, (home / "data").string(), {}});
    double ms = -1;
    const bool started = program.startUp(window, [&]() -> std::unique_ptr<CaptureDevice> {
        return createCaptureDevice(store, dispatcher, messages);
    });
    if (!started) return -1;
    QObject::connect(&window.tickTimer(), &QTimer::timeout, &app, [&] {
        if (ms < 0) ms = std::chrono::duration<double, std::milli>(Steady::now() - kLaunched).count();
        app.exit(0);  // quit() would ask the windows, and the docked preview says no
    });
    app.exec();
    window.close();
    return ms;
}

long ticksOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) fields >> skip;  // state .. cmajflt
    long utime = 0, stime = 0;
    fields >> utime >> stime;
    return utime + stime;
}

double memoryMb(pid_t pid, const char* key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key)) / 1024.0;
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int idleSeconds = 60;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--idle-seconds=", 15) == 0) idleSeconds = std::atoi(argv[i] + 15);

    const fs::path home = fs::temp_directory_path() / ("kelbo-program-bench-" + std::to_string(::getpid()));
    prepare(home);
    const double startUp = startUpToFirstTickMs(argc, argv, home);
    std::printf("start-up to first tick  %8.1f ms   target 1000 ms   ratio %.2f\n", startUp, startUp / 1000.0);

    const fs::path program = fs::canonical("/proc/self/exe").parent_path().parent_path() / "kelbo";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(5));  // past start-up
    const long before = ticksOf(pid);
    const auto began = Steady::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const long cpuTicks = ticksOf(pid) - before;
    const double seconds = std::chrono::duration<double>(Steady::now() - began).count();
    const double cpu = 100.0 * static_cast<double>(cpuTicks) / static_cast<double>(::sysconf(_SC_CLK_TCK)) / seconds;
    const double rss = memoryMb(pid, "VmRSS:");
    const double peak = memoryMb(pid, "VmHWM:");
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    fs::remove_all(home);

    std::printf("idle CPU over %3d s     %8.2f %%    target 0.5 %%    ratio %.2f\n", idleSeconds, cpu, cpu / 0.5);
    std::printf("resident memory         %8.1f MB   target 150 MB   ratio %.2f  (peak %.1f MB)\n", rss,
                rss / 150.0, peak);
    std::printf("program ended with status %d after SIGTERM\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
