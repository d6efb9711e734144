// failing_start_memory [STARTS]: resident memory over starts that keep
// failing, with the real capture device on the test pattern, side by side:
//   device   STARTS failing StartCaptures into a folder that takes no file
//            (what every retry cost while the recorder left the judging to
//            the device), then STARTS more;
//   missing  the same with a V4L2 device that is not there;
//   recorder an hour of 400 ms ticks, on a clock moved on at once, with a
//            programme due whose folder takes no file: the recorder as it
//            runs now.
// Each line: RSS after a warm-up, after STARTS, after twice STARTS, and the
// growth per hour at one start every 1.2 s (the tick's pace of retries).
// STARTS defaults to 1500. The folder is made unwritable with the immutable
// attribute when run as root, by its permissions otherwise.

#include "bench/quiet_ports.h"
#include "common/clock.h"
#include "recorder/engine/recorder.h"
#include "recorder/forms/status_panels.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/ui_ports.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <map>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace kelbo;
using namespace std::chrono_literals;

namespace {

using Quiet = kelbo::bench::QuietPorts;

double residentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

bool setImmutable(const std::filesystem::path& folder, bool on) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

// A folder that takes no new file while this lives.
struct Unwritable {
    explicit Unwritable(std::filesystem::path f) : folder(std::move(f)) {
        std::filesystem::create_directories(folder);
        if (::geteuid() == 0) ok = setImmutable(folder, true);
        else std::filesystem::permissions(folder, std::filesystem::perms::owner_all |
                                                      std::filesystem::perms::group_read);
        if (::geteuid() != 0) ok = ::access(folder.c_str(), W_OK) != 0;
    }
    ~Unwritable() {
        if (::geteuid() == 0) setImmutable(folder, false);
        else std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    }
    std::filesystem::path folder;
    bool ok = false;
};

void report(const char* name, double warm, double half, double full, int starts) {
    const double perStart = (full - warm) / (2.0 * starts);
    std::printf("%-9s rss_mb warm %.1f  after %d %.1f  after %d %.1f  growth_mb_per_hour %.2f\n", name,
                warm, starts, half, 2 * starts, full, perStart * 3000.0);
}

// STARTS failing StartCaptures twice over on a fresh device.
bool deviceStarts(const char* name, const CaptureSource& source, const std::string& file, int starts) {
    QueuedDispatcher ui;
    Quiet quiet;
    DeviceOptions options;
    options.audioMonitor = false;
    auto device = createCaptureDevice(source, ui, quiet, options);
    if (!device) return false;
    const auto attempt = [&] {
        device->setCaptureElapsed(0);
        device->setCaptureLimit(60000);
        device->StartCapture(file);
        ui.runPending();
        device->StopCapture();
        ui.runPending();
    };
    for (int i = 0; i < 50; ++i) attempt();
    const double warm = residentMb();
    for (int i = 0; i < starts; ++i) attempt();
    const double half = residentMb();
    for (int i = 0; i < starts; ++i) attempt();
    report(name, warm, half, residentMb(), starts);
    if (device->ReadyState() == CaptureDevice::Recording) std::printf("%s: a start succeeded\n", name);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int starts = argc > 1 ? std::atoi(argv[1]) : 1500;
    if (starts <= 0) {
        std::fprintf(stderr, "usage: failing_start_memory [STARTS]\n");
        return 2;
    }
    const auto home = std::filesystem::temp_directory_path() / ("kelbo-failing-start-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    int status = 0;
    {
        Unwritable movies(home / "movies");
        if (!movies.ok) {
            std::fprintf(stderr, "failing_start_memory: cannot make %s unwritable\n", movies.folder.c_str());
            status = 1;
        } else {
            if (!deviceStarts("device", CaptureSource{}, (movies.folder / "Film-20001[1.].mpg").string(), starts))
                status = 1;
            if (!deviceStarts("missing", CaptureSource{CaptureSource::Kind::V4l2, "/dev/video-kelbo-none"},
                              (home / "Film-20001[1.].mpg").string(), starts))
                status = 1;

            // The recorder: a programme due for the whole hour.
            QueuedDispatcher ui;
            Quiet quiet;
            DeviceOptions options;
            options.audioMonitor = false;
            auto device = createCaptureDevice(CaptureSource{}, ui, quiet, options);
            const DateTime start = DateTime::fromCivil(2026, 12, 7, 20, 0);
            FixedClock clock(toInstant(start.plusMinutes(-1)));
            StatusPanels panels(quiet, quiet, quiet);
            Recorder recorder(RecorderPorts{panels, quiet, clock, *device});
            recorder.settings().ScheduleFile = (home / "KelboSchedule.txt").string();
            recorder.settings().FileString = (movies.folder / "%programme%-%starttime%.mpg").string();
            std::ofstream(home / "KelboSchedule.txt", std::ios::binary)
                << "ProgrammeName: Film\r\nStartTime    : 20:00\r\nStartDate    : 07-12-2026\r\n"
                   "ChannelNumber: 1\r\nChannelName  : One\r\nDuration     : 90\r\n----------BREAK----------\r\n";
            recorder.reloadSchedule();
            const auto tick = [&] {
                clock.advance(400ms);
                recorder.Timer1_Timer();
                ui.runPending();
            };
            for (int i = 0; i < 300; ++i) tick();
            const double warm = residentMb();
            const auto schedule = home / "KelboSchedule.txt";
            const auto written = std::filesystem::last_write_time(schedule);
            const int ticksPerHalf = 4500;  // half an hour of ticks
            for (int i = 0; i < ticksPerHalf; ++i) tick();
            const double half = residentMb();
            for (int i = 0; i < ticksPerHalf; ++i) tick();
            const double full = residentMb();
            std::printf("%-9s rss_mb warm %.1f  after 30 min %.1f  after 60 min %.1f  growth_mb_per_hour %.2f"
                        "  notices %d  schedule_rewritten_in_the_hour %s  status \"%s\"\n",
                        "recorder", warm, half, full, full - warm, quiet.notices,
                        std::filesystem::last_write_time(schedule) == written ? "no" : "yes",
                        quiet.panelText(panel::kStatus).c_str());
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return status;
}
