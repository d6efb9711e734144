// tuner_cost [SECONDS]: recordings at the same time, each on a device of its
// own in one process, as tuners record them: the test pattern with the
// default template, 1, 2 and 4 at once, side by side in one run. For each:
// CPU seconds per recorded second, per recording and in all, against the
// one recording alone; pictures the encoders skipped; and each file's
// length against the limit (a recording holds real time when none are
// skipped and every length is within 0.5 s). SECONDS defaults to 20.
// Templates and settings go to a folder of its own under TMPDIR.

#include "bench/quiet_ports.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kelbo;
using namespace std::chrono_literals;

namespace {

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Outcome {
    int tuners = 0;
    double cpuPerSecond = 0;  // all recordings together
    std::int64_t skipped = 0;
    double worstLengthError = 0;  // seconds, the file furthest from the limit
    bool allWritten = true;
};

Outcome record(int tuners, int seconds, const std::filesystem::path& folder) {
    QueuedDispatcher ui;
    bench::QuietPorts quiet;
    Outcome outcome;
    outcome.tuners = tuners;
    std::vector<std::unique_ptr<GstCaptureDevice>> devices;
    std::vector<FileResult> results;
    for (int i = 0; i < tuners; ++i) {
        DeviceOptions options;
        options.audioMonitor = false;
        auto device = createCaptureDevice(CaptureSource{}, ui, quiet, options);
        if (!device) {
            std::fprintf(stderr, "tuner_cost: no capture device\n");
            std::exit(1);
        }
        device->setFileListener([&results](const FileResult& r) { results.push_back(r); });
        device->PrepareDevice();
        devices.push_back(std::move(device));
    }
    const double before = cpuSeconds();
    for (int i = 0; i < tuners; ++i) {
        devices[i]->setCaptureElapsed(0);
        devices[i]->setCaptureLimit(seconds * 1000LL);
        devices[i]->StartCapture((folder / ("tuner" + std::to_string(tuners) + "-" + std::to_string(i + 1) + ".mpg")).string());
    }
    const bool done = ui.runUntil([&] { return results.size() >= static_cast<std::size_t>(tuners); },
                                  std::chrono::milliseconds(seconds * 1000 + 30000));
    const double used = cpuSeconds() - before;
    outcome.cpuPerSecond = used / seconds;
    outcome.allWritten = done;
    for (const auto& device : devices) outcome.skipped += device->skippedPictures().count;
    for (const FileResult& r : results) {
        outcome.allWritten = outcome.allWritten && r.ok;
        const auto length = devices.front()->mediaLength(r.path);
        const double played = length ? static_cast<double>(*length) / 1000.0 : 0.0;
        outcome.worstLengthError = std::max(outcome.worstLengthError, std::abs(played - seconds));
    }
    return outcome;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: tuner_cost [SECONDS]\n");
        return 2;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path work = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / "kelbo-tuner-cost";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work / "out");
    ::setenv("XDG_DATA_HOME", (work / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);

    std::printf("tuners  cpu_s_per_s_all  per_recording  vs_one  skipped  worst_length_error_s  written  real_time\n");
    double one = 0;
    for (int tuners : {1, 2, 4}) {
        const Outcome o = record(tuners, seconds, work / "out");
        const double per = o.cpuPerSecond / tuners;
        if (tuners == 1) one = per;
        const bool realTime = o.allWritten && o.skipped == 0 && o.worstLengthError <= 0.5;
        std::printf("%6d  %15.3f  %13.3f  %6.2f  %7lld  %20.2f  %7s  %9s\n", tuners, o.cpuPerSecond, per,
                    one > 0 ? per / one : 0.0, static_cast<long long>(o.skipped), o.worstLengthError,
                    o.allWritten ? "yes" : "NO", realTime ? "yes" : "NO");
        std::fflush(stdout);
    }
    std::filesystem::remove_all(work / "out");
    return 0;
}
