// The shared files at sizes nobody should reach but someone will:
//  - a settings store of about 10 MB (400,000 keys): reading one value,
//    reading a whole section, writing one value.
//    Target: each under 1 s.
//  - a schedule file of KELBO_BENCH_SCHEDULE_MB megabytes (default 1024) of
//    valid records: loading it, and loading and rewriting it. Target: peak
//    memory (the process's maximum resident size, "peak_MB") under 200 MB.
// Run: build/bench/shared_files_bench  (needs twice the schedule size free
// in the temporary folder; set KELBO_BENCH_SCHEDULE_MB=100 for a quick run)
#include "common/clock.h"
#include "common/settings_store.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/schedule_document.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

using namespace kelbo;

namespace {

const std::filesystem::path& folder() {
    static const auto path = [] {
        auto p = std::filesystem::temp_directory_path() / "kelbo-shared-bench";
        std::filesystem::create_directories(p);
        return p;
    }();
    return path;
}

double peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::filesystem::path bigStore() {
    const auto file = folder() / "registry.ini";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n";
    for (int i = 0; i < 400000; ++i) out << "i_Column" << i << "_Width=" << 1000 + i % 5000 << '\n';
    out << "Template=DVD\n";
    return file;
}

void settingsStoreRead10MB(benchmark::State& state) {
    const SettingsStore store(bigStore());
    for (auto _ : state) benchmark::DoNotOptimize(store.GetSetting("Defaults", "Template"));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(store.file()));
}

void settingsStoreReadSection10MB(benchmark::State& state) {
    const SettingsStore store(bigStore());
    for (auto _ : state) benchmark::DoNotOptimize(store.GetAllSettings("Defaults"));
}

void settingsStoreWrite10MB(benchmark::State& state) {
    SettingsStore store(bigStore());
    int n = 0;
    for (auto _ : state) store.SaveSetting("Defaults", "StartBuffer", std::to_string(++n % 10));
}

class SilentMessages : public MessageBoxes {
public:
    Answer show(const std::string&, const std::string&, Icon, Buttons) override { return Answer::Ok; }
};

std::filesystem::path bigSchedule() {
    const char* mb = std::getenv("KELBO_BENCH_SCHEDULE_MB");
    const std::uintmax_t bytes = (mb ? std::strtoull(mb, nullptr, 10) : 1024) * 1024 * 1024;
    const auto file = folder() / "KelboSchedule.txt";
    std::error_code ec;
    if (std::filesystem::file_size(file, ec) >= bytes && !ec) return file;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::uintmax_t written = 0;
    for (long i = 0; written < bytes; ++i) {
        const std::string record =
            "ProgrammeName: Programme " + std::to_string(i) + "\r\nStartTime    : 20:00\r\n" +
            "StartDate    : " + std::to_string(10 + i % 18) + "-01-2003\r\nChannelNumber: " +
            std::to_string(i % 1000) + "\r\nChannelName  : Main\r\nDuration     : 30\r\n" +
            "Category     : \r\nReminderID   : 0\r\nSmartSearchID: 0\r\nFavouriteID  : 0\r\n" +
            "Description  : An old programme, long recorded.\r\nComplete     : Recorded\r\n" +
            "----------BREAK----------\r\n";
        out << record;
        written += record.size();
    }
    return file;
}

struct Schedule {
    Schedule() : document(settings, messages, clock), next(document, clock), listing(document, next) {
        settings.ScheduleFile = bigSchedule().string();
    }
    LiveSettings settings;
    SilentMessages messages;
    SystemClock clock;
    ScheduleDocument document;
    NextProgramme next;
    ScheduleListing listing;
};

void loadHugeSchedule(benchmark::State& state) {
    Schedule s;
    for (auto _ : state) s.document.Load_Schedule();
    state.counters["left_out"] = static_cast<double>(s.document.recordsLeftOut());
    state.counters["peak_MB"] = peakMegabytes();
}

void loadAndRewriteHugeSchedule(benchmark::State& state) {
    Schedule s;
    for (auto _ : state) {
        s.document.Load_Schedule();
        s.listing.Display_Schedule();
        if (!s.document.Write_Schedule()) state.SkipWithError("the rewrite failed");
    }
    state.counters["peak_MB"] = peakMegabytes();
}

}  // namespace

BENCHMARK(settingsStoreRead10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(settingsStoreReadSection10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(settingsStoreWrite10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(loadHugeSchedule)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(loadAndRewriteHugeSchedule)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_MAIN();
