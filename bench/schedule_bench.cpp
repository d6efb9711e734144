// Loading, listing and rewriting a full schedule (501 records), in real
// (wall-clock) time, which is what the window waits for; the CPU column
// leaves out the waits for the disk. Target: all three together under 5 ms.
// The rewrite flushes the file and its folder to the disk (fsync): the same
// rewrite in a folder in memory (/dev/shm, where fsync costs next to
// nothing) beside it shows what the flushing costs.
// Run: build/bench/schedule_bench
#include "common/schedule_format.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/schedule_document.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace kelbo;

namespace {

class SilentMessages : public MessageBoxes {
public:
    Answer show(const std::string&, const std::string&, Icon, Buttons) override { return Answer::Ok; }
};

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Where the schedule lives: on the disk, or in memory.
const char* const kOnDisk = "/var/tmp";
const char* const kInMemory = "/dev/shm";

// 501 guide-style records spread over a month, in no particular order.
std::filesystem::path makeScheduleFile(const std::filesystem::path& base) {
    const auto folder = base / "kelbo-bench";
    std::filesystem::create_directories(folder);
    const auto file = folder / "KelboSchedule.txt";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 501; ++i) {
        const int k = (i * 37) % 501;
        out << "ProgrammeName: Programme number " << k << "\r\n"
            << "StartTime    : " << twoDigits(k % 24) << ":" << twoDigits((k * 7) % 60) << "\r\n"
            << "StartDate    : " << twoDigits(1 + k % 28) << "-12-2026\r\n"
            << "ChannelNumber: " << 100 + k % 40 << "\r\n"
            << "ChannelName  : Channel " << k % 40 << "\r\n"
            << "Duration     : " << 30 + k % 90 << "\r\n"
            << "Category     : Drama\r\nReminderID   : " << k << "\r\nSmartSearchID: 0\r\n"
            << "FavouriteID  : 0\r\nDescription  : A description of some length for programme "
            << k << ", as a guide would write it.\r\n----------BREAK----------\r\n";
    }
    return file;
}

struct Fixture {
    explicit Fixture(const char* base = kOnDisk)
        : document(settings, messages), next(document, ScheduleDocument::systemClock()), listing(document, next) {
        settings.ScheduleFile = makeScheduleFile(base).string();
        settings.FileString = "/tmp/kelbo-bench/movies/%startdate%/%programme%-%starttime%.mpg";
        settings.Template = "DVD";
    }
    LiveSettings settings;
    SilentMessages messages;
    ScheduleDocument document;
    NextProgramme next;
    ScheduleListing listing;
};

void loadSchedule(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) f.document.Load_Schedule();
    state.counters["rows"] = f.document.table().LastIndex + 1;
}

void displaySchedule(benchmark::State& state) {
    Fixture f;
    f.document.Load_Schedule();
    for (auto _ : state) f.listing.Display_Schedule();
    state.counters["rows"] = f.listing.list().rowCount();
}

void writeSchedule(benchmark::State& state, const char* base) {
    Fixture f(base);
    f.document.Load_Schedule();
    f.listing.Display_Schedule();
    for (auto _ : state) f.document.Write_Schedule();
}

void loadDisplayWrite(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        f.document.Load_Schedule();
        f.listing.Display_Schedule();
        f.document.Write_Schedule();
    }
}

}  // namespace

BENCHMARK(loadSchedule)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(displaySchedule)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(writeSchedule, onDisk, kOnDisk)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(writeSchedule, inMemoryNoDiskFlush, kInMemory)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(loadDisplayWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
