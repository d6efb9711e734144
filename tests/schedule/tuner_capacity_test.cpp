// Which programmes a number of tuners leaves without one, as an evening's
// schedule with buffers gives them.
#include "recorder/schedule/tuner_capacity.h"

#include <gtest/gtest.h>

#include <random>

using namespace kelbo;
using namespace std::chrono_literals;

namespace {

const Instant kDay = std::chrono::sys_days{std::chrono::year{2026} / 12 / 8};
const Instant kEvening = kDay + 19h;

// A programme at hh:mm for `minutes`, with two minutes of buffer each side.
TunerWindow programme(int hour, int minute, int minutes) {
    const Instant start = kDay + std::chrono::hours(hour) + std::chrono::minutes(minute);
    return {start - 2min, start + std::chrono::minutes(minutes) + 2min};
}

std::vector<std::size_t> shortOnes(const std::vector<TunerShortage>& shortages) {
    std::vector<std::size_t> found;
    for (const auto& s : shortages) found.push_back(s.programme);
    return found;
}

}  // namespace

TEST(TunerCapacity, OverlappingProgrammesBeyondTheTunersLoseInTheOrderGiven) {
    // News, a film and a match all at 20:00; a late show at 22:00.
    const std::vector<TunerWindow> evening = {programme(20, 0, 30), programme(20, 0, 120),
                                              programme(20, 0, 105), programme(22, 0, 60)};
    // The late show's buffer reaches into the film, which holds no tuner.
    EXPECT_EQ(shortOnes(findTunerShortages(evening, 1, kEvening)), (std::vector<std::size_t>{1, 2}));
    const auto two = findTunerShortages(evening, 2, kEvening);
    ASSERT_EQ(shortOnes(two), (std::vector<std::size_t>{2}));
    EXPECT_EQ(two[0].with, (std::vector<std::size_t>{0, 1}));
    EXPECT_TRUE(findTunerShortages(evening, 3, kEvening).empty());
}

TEST(TunerCapacity, ProgrammesThatOverlapInTurnNeedOnlyAsManyTunersAsAtOneInstant) {
    // Each overlaps the next, but never three at once.
    const std::vector<TunerWindow> chain = {programme(20, 0, 60), programme(20, 30, 60),
                                            programme(21, 10, 60), programme(21, 45, 30)};
    EXPECT_TRUE(findTunerShortages(chain, 2, kEvening).empty());
    // With one, the first takes it; the second is short; the third then
    // overlaps only the first that holds the tuner.
    const auto one = findTunerShortages(chain, 1, kEvening);
    EXPECT_EQ(shortOnes(one), (std::vector<std::size_t>{1, 3}));
    EXPECT_EQ(one[1].with, (std::vector<std::size_t>{2}));
}

TEST(TunerCapacity, FiveAtOnceOnThreeTunersAndWindowsThatOnlyTouch) {
    std::vector<TunerWindow> five(5, programme(21, 0, 45));
    EXPECT_EQ(shortOnes(findTunerShortages(five, 3, kEvening)), (std::vector<std::size_t>{3, 4}));
    // Back to back: the one's end is the other's start.
    const TunerWindow first = programme(20, 0, 60);
    const TunerWindow second{first.bufferedEnd, first.bufferedEnd + 1h};
    EXPECT_TRUE(findTunerShortages({first, second}, 1, kEvening).empty());
}

TEST(TunerCapacity, FinishedProgrammesHoldNoTuner) {
    const std::vector<TunerWindow> day = {programme(19, 0, 60), programme(19, 30, 60), programme(19, 45, 30)};
    const Instant afterFirst = kDay + 20h + 5min;
    // The first has finished: the other two share two tuners.
    EXPECT_TRUE(findTunerShortages(day, 2, afterFirst).empty());
    EXPECT_EQ(shortOnes(findTunerShortages(day, 2, kEvening)), (std::vector<std::size_t>{2}));
    // A programme of no length never needs a tuner.
    const TunerWindow none{kEvening + 1h, kEvening + 1h};
    EXPECT_TRUE(findTunerShortages({programme(20, 0, 60), none}, 1, kEvening).empty());
}

// Whatever the schedule, no instant has more programmes holding tuners than
// there are tuners, and every programme left out had them all taken at some
// instant of its window: checked minute by minute over random evenings.
TEST(TunerCapacity, NeverMoreRecordingsThanTunersAndNoneLeftOutNeedlessly) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 400; ++round) {
        const int tuners = 1 + static_cast<int>(random() % 4);
        std::vector<TunerWindow> windows;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            const auto start = kEvening + std::chrono::minutes(random() % 240);
            windows.push_back({start, start + std::chrono::minutes(random() % 120)});
        }
        std::sort(windows.begin(), windows.end(),
                  [](const TunerWindow& a, const TunerWindow& b) { return a.bufferedStart < b.bufferedStart; });
        const auto shortages = findTunerShortages(windows, tuners, kEvening);
        std::vector<bool> holds(windows.size(), true);
        for (const auto& s : shortages) holds[s.programme] = false;
        const auto recordingAt = [&](Instant t, std::size_t before) {
            int n = 0;
            for (std::size_t i = 0; i < before; ++i)
                n += holds[i] && windows[i].bufferedStart <= t && t < windows[i].bufferedEnd;
            return n;
        };
        for (Instant t = kEvening; t < kEvening + 7h; t += 1min)
            ASSERT_LE(recordingAt(t, windows.size()), tuners) << "round " << round;
        for (const auto& s : shortages) {
            const TunerWindow& w = windows[s.programme];
            bool full = false;
            for (Instant t = w.bufferedStart; t < w.bufferedEnd && !full; t += 1min)
                full = recordingAt(t, s.programme) >= tuners;
            EXPECT_TRUE(full) << "round " << round << ": programme " << s.programme << " left out";
        }
    }
}
