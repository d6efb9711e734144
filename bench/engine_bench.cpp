// The recording engine with a full schedule (501 rows):
//   one tick with nothing due            target: median under 0.2 ms
//   Display_Schedule + Find_Next_Schedule target: median under 20 ms
//   idle CPU over 60 s of 400 ms ticks    target: under 0.5 % of one core
// Run: build/bench/engine_bench [--idle-seconds=N]
#include "bench/quiet_ports.h"
#include "common/clock.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder/forms/status_panels.h"
#include "recorder/device/capture_device.h"
#include "recorder/engine/recording_session.h"
#include "recorder/engine/scheduler_tick.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/resource.h>
#include <thread>

using namespace kelbo;

namespace {

using Quiet = kelbo::bench::QuietPorts;

// A device that is idle and stays so.
struct IdleDevice : CaptureDevice {
    int ReadyState() const override { return Idle; }
    void StartPreview() override {}
    void StopPreview() override {}
    void PrepareDevice() override {}
    void CommitVideoSettings() override {}
    void StartCapture(const std::string&) override {}
    void StopCapture() override {}
    std::int64_t CaptureLimit() const override { return 0; }
    void setCaptureLimit(std::int64_t) override {}
    std::int64_t CaptureElapsed() const override { return 0; }
    void setCaptureElapsed(std::int64_t) override {}
    std::string RecordingTemplate() const override { return {}; }
    void setRecordingTemplate(const std::string&) override {}
    int Brightness() const override { return 0; }
    void setBrightness(int) override {}
    int Contrast() const override { return 0; }
    void setContrast(int) override {}
    int Saturation() const override { return 0; }
    void setSaturation(int) override {}
    int Tint() const override { return 0; }
    void setTint(int) override {}
    int Volume() const override { return 0; }
    void setVolume(int) override {}
    int VideoSource() const override { return Composite; }
    void setVideoSource(int) override {}
    int VideoStandard() const override { return PAL; }
    void setVideoStandard(int) override {}
    bool MuteAudio() const override { return false; }
    void setMuteAudio(bool) override {}
    bool PreviewWhileCapturing() const override { return false; }
    void setPreviewWhileCapturing(bool) override {}
    void setMember135(bool) override {}
    void setMember116(int) override {}
    void setMember169(bool) override {}
    std::string lastError() const override { return {}; }
    DeviceFault lastFault() const override { return DeviceFault::None; }
    std::string DeviceRegistryKey() const override { return {}; }
    void setStateListener(std::function<void()>) override {}
};

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// 501 programmes over December 2026, some of them overlapping.
std::string scheduleFile() {
    const auto folder = std::filesystem::temp_directory_path() / "kelbo-engine-bench";
    std::filesystem::create_directories(folder);
    const auto file = folder / "KelboSchedule.txt";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (int k = 0; k < 501; ++k)
        out << "ProgrammeName: Programme " << k << "\r\nStartTime    : " << twoDigits(k % 24) << ":"
            << twoDigits((k * 7) % 60) << "\r\nStartDate    : " << twoDigits(1 + (k * 13) % 28)
            << "-12-2026\r\nChannelNumber: " << k % 40 << "\r\nChannelName  : Channel " << k % 40
            << "\r\nDuration     : " << 30 + k % 90 << "\r\n----------BREAK----------\r\n";
    return file.string();
}

// The engine as the window wires it, with the clock one week before the
// first programme.
struct Engine {
    Engine()
        : clock(toInstant(DateTime::fromCivil(2026, 11, 24, 12, 0))),
          document(settings, quiet),
          next(document, clock),
          listing(document, next),
          status(quiet, quiet, quiet),
          session(context()),
          tick(context(), session) {
        next.setChoosingListener([this] { status.nothingChosen(); });
        settings.ScheduleFile = scheduleFile();
        settings.FileString = "/tmp/kelbo-engine-bench/%programme%-%starttime%.mpg";
        settings.Template = "DVD";
        document.Load_Schedule();
        listing.Display_Schedule();
        next.Find_Next_Schedule();
    }
    RecorderContext context() {
        return RecorderContext{document, next, status, device, settings, clock, quiet};
    }
    LiveSettings settings;
    Quiet quiet;
    IdleDevice device;
    FixedClock clock;
    ScheduleDocument document;
    NextProgramme next;
    ScheduleListing listing;
    StatusPanels status;
    RecordingSession session;
    SchedulerTick tick;
};

void tickWithNothingDue(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) engine.tick.Timer1_Timer();
    state.counters["rows"] = engine.listing.list().rowCount();
    state.SetLabel(engine.quiet.panelText(panel::kProgramme));
}

void displayAndFindNext(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) {
        engine.listing.Display_Schedule(engine.listing.NextRow());
        engine.next.Find_Next_Schedule();
    }
    state.counters["rows"] = engine.listing.list().rowCount();
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Real time: the tick every 400 ms, as the running program does it.
void idleCpu(int seconds) {
    Engine engine;
    engine.clock.set(std::chrono::system_clock::now());
    const double before = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    auto due = start;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds)) {
        due += std::chrono::milliseconds(400);
        std::this_thread::sleep_until(due);
        engine.clock.set(std::chrono::system_clock::now());
        engine.tick.Timer1_Timer();
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double used = cpuSeconds() - before;
    std::printf("idle engine: %.4f CPU-s over %.1f s of 400 ms ticks = %.4f %% of one core (target < 0.5 %%)\n",
                used, wall, 100.0 * used / wall);
}

}  // namespace

BENCHMARK(tickWithNothingDue)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(displayAndFindNext)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    int idleSeconds = 60;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--idle-seconds=", 15) == 0) idleSeconds = std::atoi(argv[i] + 15);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (idleSeconds > 0) idleCpu(idleSeconds);
    return 0;
}
