// tuner_starts [TUNERS] [SECONDS] [recorder|cold]: that many tuners
// (default 8), each on its own channel of a local head end (bench/
// record_cost/head_end), start recording with the default template at the
// same moment. The channel is a broadcast's shape, H.264/AAC MPEG-TS at
// 720x576 with a key picture every 5 s, whose picture turns white for one
// frame while it beeps for one frame every 5 s (2 s after each key picture).
//   recorder: the whole recorder, a programme on each channel at one
//             buffered start, the recorder running from 15 s before and
//             ticking every 400 ms at a random phase;
//   cold:     StartCapture on idle devices, which opens the channels (what
//             every re-encoded start cost before the recorder opened them
//             ahead).
// Prints for every tuner how long after the start it recorded (its first
// picture taken; negative when before), its file's length, where its sound
// starts and ends against its pictures, and the offset of each beep from
// its flash (sound later positive). The aim: every tuner within 0.5 s of
// the start, and sound and pictures within 40 ms. SECONDS defaults to 20;
// the clip is made once and kept under TMPDIR/kelbo-tuner-starts.

#include "head_end_channels.h"
#include "bench/quiet_ports.h"
#include "common/clock.h"
#include "recorder/engine/recorder.h"
#include "recorder/forms/status_panels.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/media_length.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "recorder/media/gst/tuner_devices.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace kelbo;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

using Steady = std::chrono::steady_clock;

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string run(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        ::pclose(pipe);
    }
    return out;
}

// The times (s) after which each detector's `key` line says the event began.
std::vector<double> eventTimes(const std::string& log, const std::string& key) {
    std::vector<double> times;
    for (std::size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
        times.push_back(std::atof(log.c_str() + at + key.size()));
    return times;
}

// Each flash of the file with the beep nearest to it: beep minus flash, ms.
// The end of the file ends the black and the silence as well: no flash there.
std::vector<double> flashBeepOffsets(const fs::path& file, double length) {
    const std::string log = run(
        "ffmpeg -nostats -i " + shellQuoted(file.string()) +
        " -filter_complex '[0:v]blackdetect=d=1:pix_th=0.3[v];[0:a]silencedetect=n=-30dB:d=1[a]'"
        " -map '[v]' -map '[a]' -f null - 2>&1");
    const std::vector<double> flashes = eventTimes(log, "black_end:");
    const std::vector<double> beeps = eventTimes(log, "silence_end: ");
    std::vector<double> offsets;
    for (double flash : flashes) {
        double best = 1e9;
        for (double beep : beeps)
            if (std::abs(beep - flash) < std::abs(best)) best = beep - flash;
        if (std::abs(best) < 1.0 && flash < length - 0.2) offsets.push_back(best * 1000);
    }
    return offsets;
}

// Where the file's sound starts and ends against its pictures, ms (sound
// later is positive): each stream ends a packet's length after its last.
std::pair<double, double> soundAgainstPictures(const fs::path& file) {
    double first[2] = {0, 0}, last[2] = {0, 0};
    for (int kind = 0; kind < 2; ++kind) {
        const std::string out = run(std::string("ffprobe -v error -fflags +genpts -select_streams ") +
                                    (kind ? "a" : "v") + " -show_entries packet=pts_time -of csv=p=0 " +
                                    shellQuoted(file.string()));
        std::vector<double> times;
        for (std::size_t at = 0; at < out.size();) {
            const std::size_t eol = out.find('\n', at);
            if (std::isdigit(static_cast<unsigned char>(out[at]))) times.push_back(std::atof(out.c_str() + at));
            at = eol == std::string::npos ? out.size() : eol + 1;
        }
        std::sort(times.begin(), times.end());
        if (times.size() < 2) return {NAN, NAN};
        first[kind] = times.front();
        last[kind] = 2 * times.back() - times[times.size() - 2];
    }
    return {(first[1] - first[0]) * 1000, (last[1] - last[0]) * 1000};
}

// The flash-and-beep channel, made once.
fs::path flashAndBeepClip(const fs::path& work) {
    const fs::path clip = work / "flash_beep.ts";
    if (!fs::exists(clip)) {
        std::printf("making the flash-and-beep channel (30 s, 720x576 H.264/AAC, key every 5 s) ...\n");
        std::fflush(stdout);
        const std::string make =
            "ffmpeg -v error -y -f lavfi -i \"color=c=black:s=720x576:r=25,format=yuv420p,"
            "geq=lum='if(eq(mod(N\\,125)\\,50)\\,235\\,16)':cb=128:cr=128\""
            " -f lavfi -i \"aevalsrc=exprs='if(lt(mod(t-2\\,5)\\,0.04)\\,0.5*sin(2*PI*1000*t)\\,0)'"
            ":s=48000:c=stereo\" -t 30 -c:v libx264 -preset veryfast -g 125 -keyint_min 125"
            " -sc_threshold 0 -c:a aac -b:a 128k -f mpegts " + shellQuoted(clip.string() + ".part") +
            " && mv " + shellQuoted(clip.string() + ".part") + " " + shellQuoted(clip.string());
        if (std::system(make.c_str()) != 0) return {};
    }
    return clip;
}

struct Started {
    double after = NAN;  // s after the start the device recorded
    std::string path;
    bool ok = false;
};

// StartCapture on idle devices, each tuned to its channel: the channel is
// opened by the start itself.
std::vector<Started> coldStarts(const std::vector<std::string>& urls, int seconds, const fs::path& out) {
    const int tuners = static_cast<int>(urls.size());
    QueuedDispatcher ui;
    bench::QuietPorts quiet;
    DeviceOptions options;
    options.audioMonitor = false;
    auto devices = createTunerDevices(CaptureSource{}, ui, quiet, tuners, options);
    std::vector<Started> started(urls.size());
    if (static_cast<int>(devices.size()) != tuners) return started;
    int closed = 0;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        devices[i]->setFileListener([&started, &closed, i](const FileResult& r) {
            started[i].path = r.path;
            started[i].ok = r.ok;
            ++closed;
        });
        devices[i]->tuneStream({urls[i], {}});
    }
    const auto start = Steady::now();
    for (std::size_t i = 0; i < urls.size(); ++i) {
        devices[i]->setCaptureElapsed(0);
        devices[i]->setCaptureLimit(seconds * 1000LL);
        devices[i]->StartCapture((out / ("tuner" + std::to_string(i + 1) + ".mpg")).string());
    }
    ui.runUntil([&] {
        for (std::size_t i = 0; i < urls.size(); ++i)
            if (std::isnan(started[i].after) && devices[i]->ReadyState() == CaptureDevice::Recording)
                started[i].after = std::chrono::duration<double>(Steady::now() - start).count();
        return closed >= tuners;
    }, std::chrono::milliseconds(seconds * 1000 + 30000));
    return started;
}

// The whole recorder: a programme on each channel at 20:00, the recorder
// running from 15 s before on a clock moved with real time, ticking every
// 400 ms at a random phase, each tuner's recording ended after `seconds`.
std::vector<Started> recorderStarts(const std::vector<std::string>& urls, int seconds, const fs::path& work) {
    const int tuners = static_cast<int>(urls.size());
    std::string playlist = "#EXTM3U\n", schedule;
    for (int i = 1; i <= tuners; ++i) {
        const std::string n = std::to_string(i);
        playlist += "#EXTINF:-1 tvg-chno=\"" + n + "\",Channel " + n + "\n" + urls[static_cast<std::size_t>(i - 1)] + "\n";
        schedule += "ProgrammeName: Programme " + n + "\r\nStartTime    : 20:00\r\nStartDate    : 07-12-2026\r\n"
                    "ChannelNumber: " + n + "\r\nChannelName  : Channel " + n + "\r\nDuration     : 5\r\n"
                    "----------BREAK----------\r\n";
    }
    std::ofstream(work / "tv.m3u") << playlist;
    std::ofstream(work / "KelboSchedule.txt", std::ios::binary) << schedule;
    QueuedDispatcher ui;
    bench::QuietPorts quiet;
    DeviceOptions options;
    options.audioMonitor = false;
    auto first = createCaptureDevice(CaptureSource{}, ui, quiet, options);
    const Instant start = toInstant(DateTime::fromCivil(2026, 12, 7, 20, 0));
    std::random_device random;
    const auto phase = std::chrono::milliseconds(random() % 400);
    FixedClock clock(start - 15s - phase);
    StatusPanels panels(quiet, quiet, quiet);
    Recorder recorder(RecorderPorts{panels, quiet, clock, *first});
    LiveSettings& settings = recorder.settings();
    settings.ScheduleFile = (work / "KelboSchedule.txt").string();
    settings.FileString = (work / "out" / "%programme%.mpg").string();
    settings.ChannelPlaylist = (work / "tv.m3u").string();
    settings.Tuners = tuners;
    recorder.setTunerOpener([&](int number) { return createOtherTuner(CaptureSource{}, ui, number, options); });
    recorder.reloadSchedule();
    std::printf("the recorder's first tick after the start comes %lld ms after it\n",
                static_cast<long long>((400 - (15000 + phase.count()) % 400) % 400));
    std::vector<Started> started(urls.size());
    const auto device = [&](int n) -> GstCaptureDevice& {
        return dynamic_cast<GstCaptureDevice&>(recorder.tunerDevice(n));
    };
    for (int slice = 0; slice < (15 + seconds + 30) * 100; ++slice) {
        ui.runFor(10ms);
        clock.advance(10ms);
        if (slice % 40 == 0) recorder.Timer1_Timer();
        bool more = recorder.tunerCount() < tuners;
        for (int n = 1; n <= recorder.tunerCount(); ++n) {
            Started& s = started[static_cast<std::size_t>(n - 1)];
            if (std::isnan(s.after) && device(n).ReadyState() == CaptureDevice::Recording)
                s.after = std::chrono::duration<double>(clock.now() - start).count();
            more = more || std::isnan(s.after) || device(n).CaptureElapsed() < seconds * 1000;
        }
        if (!more) break;
    }
    recorder.shutDown();
    ui.runUntil([&] {
        int open = 0;
        for (int n = 1; n <= recorder.tunerCount(); ++n) open += device(n).openFiles();
        return open == 0;
    }, 30s);
    for (int i = 1; i <= tuners; ++i) {
        Started& s = started[static_cast<std::size_t>(i - 1)];
        s.path = (work / "out" / ("Programme " + std::to_string(i) + "1[1.1].mpg")).string();
        s.ok = fs::exists(s.path);
    }
    return started;
}

}  // namespace

int main(int argc, char** argv) {
    const int tuners = argc > 1 ? std::atoi(argv[1]) : 8;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    const bool cold = argc > 3 && std::strcmp(argv[3], "cold") == 0;
    if (tuners < 1 || tuners > kMostTuners || seconds < 12 || seconds > 240) {
        std::fprintf(stderr, "usage: tuner_starts [TUNERS 1-8] [SECONDS 12-240] [recorder|cold]\n");
        return 2;
    }
    const char* tmp = std::getenv("TMPDIR");
    const fs::path work = fs::path(tmp && *tmp ? tmp : "/tmp") / "kelbo-tuner-starts";
    for (const char* folder : {"out", "data", "config", "state"}) fs::remove_all(work / folder);
    fs::create_directories(work / "out");
    ::setenv("XDG_DATA_HOME", (work / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);

    const bench::HeadEndChannels headEnd(work, flashAndBeepClip(work), tuners);
    if (headEnd.urls().empty()) {
        std::fprintf(stderr, "tuner_starts: the head end did not come up (needs ffmpeg and python3)\n");
        return 1;
    }
    std::printf("%d tuners starting together, %s, %d s each\n", tuners,
                cold ? "StartCapture on idle devices" : "the whole recorder", seconds);
    const std::vector<Started> started =
        cold ? coldStarts(headEnd.urls(), seconds, work / "out") : recorderStarts(headEnd.urls(), seconds, work);
    std::printf("tuner  recording_after_s  length_s  sound_start_ms  sound_end_ms  offset_first_ms  offset_last_ms  offsets\n");
    bool met = true;
    for (std::size_t i = 0; i < started.size(); ++i) {
        const Started& r = started[i];
        const auto length = mediaLengthOf(r.path);
        const double played = length ? static_cast<double>(*length) / 1000.0 : 0.0;
        const std::vector<double> offsets = flashBeepOffsets(r.path, played);
        const auto [soundStart, soundEnd] = soundAgainstPictures(r.path);
        std::string all;
        for (double o : offsets) all += (all.empty() ? "" : ",") + std::to_string(static_cast<int>(std::lround(o)));
        const double firstOffset = offsets.empty() ? NAN : offsets.front();
        const double lastOffset = offsets.empty() ? NAN : offsets.back();
        std::printf("%5zu  %17.3f  %8.2f  %14.0f  %12.0f  %15.0f  %14.0f  %s%s\n", i + 1, r.after, played, soundStart,
                    soundEnd, firstOffset, lastOffset, all.c_str(), r.ok ? "" : "  NOT WRITTEN");
        const bool synced = !offsets.empty() && std::all_of(offsets.begin(), offsets.end(),
                                                            [](double o) { return std::abs(o) <= 40; });
        const bool together = std::abs(soundStart) <= 40 && std::abs(soundEnd) <= 40;
        met = met && r.ok && std::abs(r.after) <= 0.5 && synced && together;
    }
    std::printf("verdict: %s\n", met ? "ok (every start within 0.5 s, every offset within 40 ms)" : "NOT MET");
    fs::remove_all(work / "out");
    return 0;
}
