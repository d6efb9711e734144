#include "addin_fixture.h"

#include "common/schedule_format.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/schedule_document.h"
#include "support/recording_message_boxes.h"

#include <atomic>
#include <chrono>
#include <map>
#include <new>
#include <random>
#include <sstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kelbo::testing;

namespace {

// Shared between the two processes.
struct RaceState {
    std::atomic<int> rewrites{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
};

// The recorder in a second process: loads and rewrites the schedule file
// as fast as it can until told to stop.
void rewriteUntilStopped(const std::filesystem::path& schedule, RaceState& race) {
    kelbo::LiveSettings settings;
    settings.ScheduleFile = schedule.string();
    RecordingMessageBoxes messages;
    kelbo::ScheduleDocument document(settings, messages);
    while (!race.stop) {
        document.Load_Schedule();
        document.schedule().listAll();
        if (!document.Write_Schedule()) race.failed = true;
        ++race.rewrites;
    }
}

class AddinRace : public AddinTest {};

TEST_F(AddinRace, AppendsRacingRecorderRewritesAreNeverLost) {
    // Appends at random moments over about half a second, so that they fall
    // before, during and after the recorder's rewrites.
    constexpr int kAppends = 200;
    store({}, useSchedule());
    void* shared = ::mmap(nullptr, sizeof(RaceState), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* race = new (shared) RaceState;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rewriteUntilStopped(schedule(), *race);
        ::_exit(0);
    }
    while (race->rewrites == 0) std::this_thread::yield();

    std::mt19937 random(7);
    for (int i = 0; i < kAppends; ++i) {
        KelboProgramme p = example();
        const std::string name = "Race " + std::to_string(i);
        p.name = name.c_str();
        p.start.day = static_cast<uint16_t>(1 + i % 28);
        p.start.month = static_cast<uint16_t>(1 + i / 28);
        record(0, p);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 5000));
    }
    race->stop = true;
    int status = 0;
    ::waitpid(child, &status, 0);
    const int rewrites = race->rewrites;
    EXPECT_FALSE(race->failed) << "a recorder rewrite failed";
    ::munmap(shared, sizeof(RaceState));
    EXPECT_GE(rewrites, 20) << "the two processes hardly overlapped";

    std::istringstream in(readFile(schedule()));
    kelbo::ScheduleReader reader(in);
    std::map<std::string, int> seen;
    while (auto r = reader.next())
        if (r->accepted) ++seen[r->item.ProgrammeName];
    for (int i = 0; i < kAppends; ++i)
        EXPECT_EQ(seen["Race " + std::to_string(i)], 1) << "Race " << i << ", " << rewrites << " rewrites";
    EXPECT_EQ(seen.size(), static_cast<size_t>(kAppends));
}

}  // namespace
