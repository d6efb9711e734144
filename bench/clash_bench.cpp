// Finding clashes in a full schedule (501 records), all at the same time on
// different channels, so with one tuner every row clashes with every other
// one: the worst case for the tag texts. Beside it the same with 2 and 4
// tuners, where all but the holders clash, each naming the holders.
// Target: under 20 ms each. Run: build/bench/clash_bench
#include "recorder/ports/message_boxes.h"
#include "recorder/forms/clash_tags.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/schedule_document.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

using namespace kelbo;

namespace {

class SilentMessages : public MessageBoxes {
public:
    Answer show(const std::string&, const std::string&, Icon, Buttons) override { return Answer::Ok; }
};

std::filesystem::path makeScheduleFile() {
    const auto folder = std::filesystem::temp_directory_path() / "kelbo-clash-bench";
    std::filesystem::create_directories(folder);
    const auto file = folder / "KelboSchedule.txt";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (int k = 0; k < 501; ++k)
        out << "ProgrammeName: Programme number " << k << "\r\nStartTime    : 20:00\r\n"
            << "StartDate    : 24-12-2099\r\nChannelNumber: " << 100 + k << "\r\n"
            << "ChannelName  : Channel " << k << "\r\nDuration     : 60\r\n"
            << "----------BREAK----------\r\n";
    return file;
}

void findClashAllOverlapping(benchmark::State& state) {
    LiveSettings settings;
    SilentMessages messages;
    ScheduleDocument document(settings, messages);
    NextProgramme next(document, ScheduleDocument::systemClock());
    ScheduleListing listing(document, next);
    settings.ScheduleFile = makeScheduleFile().string();
    settings.FileString = "/tmp/kelbo-clash-bench/%programme%.mpg";
    settings.Template = "DVD";
    document.Load_Schedule();
    listing.Display_Schedule();
    const Instant now = std::chrono::system_clock::now();
    const int tuners = static_cast<int>(state.range(0));
    for (auto _ : state) FindClash(document.schedule(), listing.list(), now, tuners);
    state.counters["rows"] = listing.list().rowCount();
    state.counters["tag_chars"] = static_cast<double>(listing.list().tag(1).size());
}

}  // namespace

BENCHMARK(findClashAllOverlapping)
    ->ArgName("tuners")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
