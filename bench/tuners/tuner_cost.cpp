// tuner_cost [SECONDS]: recordings at the same time, each on a tuner of its
// own in one process, as the factory makes the tuners' devices (tuner 1
// with its preview branch, the others without), 1, 2 and 4 at once, side
// by side in one run:
//   - the test pattern with the default template (the first shipped one in
//     name order, "DVD Full Quality", as for a new user);
//   - network channels copied as they come ("Original stream (no
//     re-encoding)"), each tuner its own channel from a local head end
//     (bench/record_cost/head_end: H.264 High and AAC at 1280x720).
// For each: CPU seconds per recorded second, in all and per recording,
// against one alone; pictures the encoders skipped; and each file's length
// against the limit. A pattern recording holds real time when none are
// skipped and every length is within 0.5 s; four channels are meant to
// cost under 0.1 CPU-s/s in all. SECONDS defaults to 20. Needs ffmpeg and
// python3 for the channels; the channel's clip is made once and kept under
// TMPDIR/kelbo-tuner-cost.

#include "head_end_channels.h"
#include "bench/quiet_ports.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "recorder/media/gst/tuner_devices.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace kelbo;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

const char kCopyTemplate[] = "Original stream (no re-encoding)";
constexpr int kMostChannels = 4;

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Outcome {
    double cpuPerSecond = 0;  // all recordings together
    std::int64_t skipped = 0;
    double worstLengthError = 0;  // seconds, the file furthest from the limit
    bool allWritten = true;
};

// Records `seconds` on `tuners` tuners at once; with `channels`, tuner i
// copies channel i. The CPU counted runs from the starts to the last file
// closed, so a channel's opening is in it.
Outcome record(int tuners, int seconds, const fs::path& folder, const std::vector<std::string>& channels) {
    QueuedDispatcher ui;
    bench::QuietPorts quiet;
    Outcome outcome;
    DeviceOptions options;
    options.audioMonitor = false;
    auto devices = createTunerDevices(CaptureSource{}, ui, quiet, tuners, options);
    if (static_cast<int>(devices.size()) != tuners) {
        std::fprintf(stderr, "tuner_cost: cannot make %d capture devices\n", tuners);
        std::exit(1);
    }
    std::vector<FileResult> results;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        auto& device = *devices[i];
        device.setFileListener([&results](const FileResult& r) { results.push_back(r); });
        if (!channels.empty()) {
            device.tuneStream({channels[i], {}});
            device.setRecordingTemplate(kCopyTemplate);
        } else {
            device.PrepareDevice();
        }
    }
    const std::string kind = channels.empty() ? "pattern" : "channel";
    const double before = cpuSeconds();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        devices[i]->setCaptureElapsed(0);
        devices[i]->setCaptureLimit(seconds * 1000LL);
        devices[i]->StartCapture((folder / (kind + std::to_string(tuners) + "-" + std::to_string(i + 1) + ".mpg")).string());
    }
    const bool done = ui.runUntil([&] { return results.size() >= static_cast<std::size_t>(tuners); },
                                  std::chrono::milliseconds(seconds * 1000 + 30000));
    outcome.cpuPerSecond = (cpuSeconds() - before) / seconds;
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

// The head end serving kMostChannels channels of one clip, each its own
// paced source, while it lives.
// The channel every tuner copies, made once.
fs::path channelClip(const fs::path& work) {
    const fs::path clip = work / "www" / "h264.ts";
    if (!fs::exists(clip)) {
        std::printf("making a 30 s H.264/AAC channel (720p25, B pictures, groups of 50) ...\n");
        std::fflush(stdout);
        fs::create_directories(clip.parent_path());
        const std::string make =
            "ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=25"
            " -f lavfi -i sine=frequency=440:sample_rate=48000 -t 30 -ac 2"
            " -c:v libx264 -preset veryfast -profile:v high -bf 3 -g 50 -b:v 4M -maxrate 5M -bufsize 4M"
            " -pix_fmt yuv420p -c:a aac -b:a 128k -f mpegts '" + clip.string() + ".part' && mv '" +
            clip.string() + ".part' '" + clip.string() + "'";
        if (std::system(make.c_str()) != 0) return {};
    }
    return clip;
}

void printRows(const char* title, int seconds, const fs::path& folder, const std::vector<std::string>& channels,
               double target) {
    std::printf("\n%s\n", title);
    std::printf("tuners  cpu_s_per_s_all  per_recording  vs_one  skipped  worst_length_error_s  written  verdict\n");
    double one = 0;
    for (int tuners : {1, 2, 4}) {
        const std::vector<std::string> used(channels.begin(), channels.begin() + (channels.empty() ? 0 : tuners));
        const Outcome o = record(tuners, seconds, folder, used);
        const double per = o.cpuPerSecond / tuners;
        if (tuners == 1) one = per;
        const bool whole = o.allWritten && o.skipped == 0 && o.worstLengthError <= 0.5;
        const char* verdict = !whole ? "NOT REAL TIME" : (target > 0 && o.cpuPerSecond >= target ? "OVER TARGET" : "ok");
        std::printf("%6d  %15.3f  %13.3f  %6.2f  %7lld  %20.2f  %7s  %s\n", tuners, o.cpuPerSecond, per,
                    one > 0 ? per / one : 0.0, static_cast<long long>(o.skipped), o.worstLengthError,
                    o.allWritten ? "yes" : "NO", verdict);
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: tuner_cost [SECONDS]\n");
        return 2;
    }
    const char* tmp = std::getenv("TMPDIR");
    const fs::path work = fs::path(tmp && *tmp ? tmp : "/tmp") / "kelbo-tuner-cost";
    for (const char* folder : {"out", "data", "config", "state"}) fs::remove_all(work / folder);
    fs::create_directories(work / "out");
    ::setenv("XDG_DATA_HOME", (work / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);

    printRows("test pattern, default template (real time: nothing skipped, lengths within 0.5 s)", seconds,
              work / "out", {}, 0);
    const bench::HeadEndChannels headEnd(work, channelClip(work), kMostChannels);
    if (headEnd.urls().empty()) {
        std::fprintf(stderr, "tuner_cost: the head end did not come up (needs ffmpeg and python3)\n");
        return 1;
    }
    printRows("network channels copied, one each (target: under 0.1 CPU-s/s in all)", seconds, work / "out",
              headEnd.urls(), 0.1);
    fs::remove_all(work / "out");
    return 0;
}
