// The shared files at sizes nobody should reach but someone will:
//  - a settings store of about 10 MB (400,000 keys): reading one value,
//    reading a whole section, writing one value.
//    Target: each under 1 s.
//  - a schedule file of KELBO_BENCH_SCHEDULE_MB megabytes (default 1024) of
//    records as a guide appends them: loading it, loading and rewriting it,
//    and `kelbo-schedule list` of it. Target: peak memory (the process's
//    maximum resident size, "peak_MB") under 200 MB.
// Run: build/bench/shared_files_bench  (needs twice the schedule size free
// in the temporary folder; KELBO_BENCH_SCHEDULE_MB=150 for a quick run)
#include "common/clock.h"
#include "common/settings_store.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/schedule_document.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::string twoDigits(long n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Records as a guide appends them over the years: Cyrillic and Greek titles
// and channels, a description of some length, and one record in four the
// same programme appended again (a series rule applied twice), which a load
// drops and tells of.
std::filesystem::path bigSchedule() {
    const char* mb = std::getenv("KELBO_BENCH_SCHEDULE_MB");
    const std::uintmax_t bytes = (mb ? std::strtoull(mb, nullptr, 10) : 1024) * 1024 * 1024;
    const auto file = folder() / "KelboSchedule-guide.txt";
    std::error_code ec;
    if (std::filesystem::file_size(file, ec) >= bytes && !ec) return file;
    const char* const titles[] = {"Новости", "Вечерний Ургант", "Ειδήσεις", "Доктор Хаус", "Ταινία", "Время"};
    const char* const channels[] = {"Первый канал", "Россия 1", "ΕΡΤ1", "НТВ"};
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::uintmax_t written = 0;
    for (long i = 0; written < bytes; ++i) {
        const long n = i % 4 == 3 ? i - 2 : i;  // the same programme as two records before
        const long day = n / 96, quarter = n % 96;  // a programme every quarter of an hour
        const std::string record =
            std::string("ProgrammeName: ") + titles[n % 6] + " " + std::to_string(n % 300) +
            "\r\nStartTime    : " + twoDigits(quarter / 4) + ":" + twoDigits(quarter % 4 * 15) +
            "\r\nStartDate    : " + twoDigits(day % 28 + 1) + "-" + twoDigits(day / 28 % 12 + 1) + "-" +
            std::to_string(2003 + day / 336) +
            "\r\nChannelNumber: " + std::to_string(n % 4 + 1) + "\r\nChannelName  : " + channels[n % 4] +
            "\r\nDuration     : 30\r\nCategory     : Новости\r\nReminderID   : 0\r\nSmartSearchID: 0\r\n"
            "FavouriteID  : 0\r\nDescription  : В этом выпуске ведущие расскажут о главных событиях дня в "
            "стране и мире. Погода, спорт и культура.\r\nComplete     : Recorded\r\n"
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

// `kelbo-schedule list` of the same file as a user runs it: the tool's own
// peak memory.
void listHugeScheduleWithTheTool(benchmark::State& state) {
    const std::string file = bigSchedule().string();
    double peak = 0;
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::execl(KELBO_SCHEDULE_TOOL, "kelbo-schedule", "list", file.c_str(), nullptr);
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("kelbo-schedule list failed");
        peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
    state.counters["peak_MB"] = peak;
}

}  // namespace

BENCHMARK(settingsStoreRead10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(settingsStoreReadSection10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(settingsStoreWrite10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(loadHugeSchedule)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(loadAndRewriteHugeSchedule)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(listHugeScheduleWithTheTool)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_MAIN();
