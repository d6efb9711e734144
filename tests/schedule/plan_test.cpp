// The plan over random evenings: on one tuner the same next programme and
// clashes as the choice and the clash finder; on one to four tuners its
// marks and its tuners agree with each other and with the rule worked out
// here the slow way.
#include "recorder/schedule/plan.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "support/recording_message_boxes.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <set>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

using Random = std::mt19937;
int pick(Random& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

// An evening as the guide fills it: starts and lengths on the quarter hour
// (many back to back, many overlapping), some added twice, some with
// buffers of their own (a few that do not read), some already recorded,
// failed or stopped.
std::vector<ScheduleItem> randomEvening(Random& random, DateTime night) {
    static const char* const kMarks[] = {"", "", "", "Recorded", "Failed", "Stopped"};
    static const char* const kBuffers[] = {"", "", "0", "2", "1.5", "10", "25", "soon"};
    std::vector<ScheduleItem> items;
    const int count = pick(random, 0, 24);
    for (int n = 0; n < count; ++n) {
        if (!items.empty() && pick(random, 0, 6) == 0) {
            items.push_back(items[static_cast<size_t>(pick(random, 0, n - 1))]);
            if (pick(random, 0, 1)) items.back().ChannelName = "CHANNEL " + items.back().ChannelNumber;
            continue;
        }
        ScheduleItem item;
        const DateTime start = night.plusMinutes(15 * pick(random, -4, 16));
        item.ProgrammeName = "Программа " + std::to_string(n);
        item.StartDate = start.formatDate();
        item.StartTime = start.formatTime();
        item.ChannelNumber = std::to_string(pick(random, 1, 5));
        item.ChannelName = "Channel " + item.ChannelNumber;
        item.Duration = std::to_string(15 * pick(random, 0, 8));
        item.Complete = kMarks[pick(random, 0, 5)];
        item.StartBuffer = kBuffers[pick(random, 0, 7)];
        item.EndBuffer = kBuffers[pick(random, 0, 7)];
        item.IndexString = buildIndexString(item);
        items.push_back(std::move(item));
    }
    return items;
}

struct Evening {
    explicit Evening(Instant now) : clock(now), document(settings, messages, clock) {}
    Schedule& schedule() { return document.schedule(); }
    LiveSettings settings;
    RecordingMessageBoxes messages;
    FixedClock clock;
    ScheduleDocument document;
};

// The rule, slowly: duplicates dropped; recordings of open tuners keep
// them; then in start order a programme still to record gets a tuner
// unless, at one of the instants its window holds, as many of those that
// got one are on as there are open tuners.
std::map<ProgrammeId, PlanState> slowPlan(const Schedule& schedule, Instant now, const std::vector<TunerNow>& tuners,
                                          std::map<ProgrammeId, std::vector<ProgrammeId>>& clashes) {
    std::map<ProgrammeId, PlanState> state;
    std::set<std::string> seen, recordedToItsEnd;
    std::map<ProgrammeId, bool> recordingOpen;  // by programme: on an open tuner
    int open = 0;
    for (const TunerNow& t : tuners) {
        open += t.open;
        if (t.recording && !recordingOpen.contains(t.recording)) recordingOpen[t.recording] = t.open;
        if (const ScheduleItem* item = schedule.stored(t.recordedToItsEnd))
            recordedToItsEnd.insert(item->StartDate + "|" + item->StartTime + "|" + item->ChannelNumber);
    }
    std::vector<ProgrammeId> pinned, rest;
    for (const ProgrammeId id : schedule.inStartOrder()) {
        const ScheduleItem& item = *schedule.stored(id);
        std::string name = item.ChannelName;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto times = schedule.timesOf(id);
        if (!seen.insert(item.StartDate + "|" + item.StartTime + "|" + item.ChannelNumber + "|" + name).second)
            state[id] = PlanState::Duplicate;
        else if (recordingOpen.contains(id)) state[id] = PlanState::Recording;
        else if (item.Complete == "Stopped") state[id] = PlanState::Stopped;
        else if (!times) state[id] = PlanState::NoTimes;
        else if (times->bufferedEnd <= now ||
                 recordedToItsEnd.contains(item.StartDate + "|" + item.StartTime + "|" + item.ChannelNumber))
            state[id] = PlanState::Done;
        else state[id] = PlanState::ToRecord;
        if (state[id] == PlanState::Recording && recordingOpen[id] && times) pinned.push_back(id);
        if (state[id] == PlanState::ToRecord) rest.push_back(id);
    }
    if (open == 1) return state;
    std::vector<RowTimes> holders;
    std::vector<ProgrammeId> holderIds;
    pinned.insert(pinned.end(), rest.begin(), rest.end());
    for (const ProgrammeId id : pinned) {
        const RowTimes w = *schedule.timesOf(id);
        if (w.bufferedEnd <= now) continue;
        const auto on = [](const RowTimes& h, Instant t) { return h.bufferedStart <= t && t < h.bufferedEnd; };
        bool full = false;
        for (const RowTimes& h : holders)
            for (const Instant t : {w.bufferedStart, h.bufferedStart})
                full = full || (on(w, t) && std::count_if(holders.begin(), holders.end(), [&](const RowTimes& o) {
                                                return on(o, t);
                                            }) >= open);
        if (!full) {
            holders.push_back(w);
            holderIds.push_back(id);
            continue;
        }
        state[id] = PlanState::Clash;
        for (size_t h = 0; h < holders.size(); ++h)
            if (holders[h].bufferedStart < w.bufferedEnd && w.bufferedStart < holders[h].bufferedEnd)
                clashes[id].push_back(holderIds[h]);
        std::sort(clashes[id].begin(), clashes[id].end(),
                  [&](ProgrammeId a, ProgrammeId b) { return schedule.position(a) < schedule.position(b); });
    }
    return state;
}

// What the plan says of its tuners holds together: each tuner takes at
// most one programme at any instant from now on, its next is the first it
// takes, and every programme a clash names holds a tuner over it.
void checkTunersAgree(const Schedule& schedule, const Plan& plan, Instant now, const std::vector<TunerNow>& tuners,
                      const std::string& where) {
    const long open = std::count_if(tuners.begin(), tuners.end(), [](const TunerNow& t) { return t.open; });
    std::map<int, std::vector<std::pair<Instant, Instant>>> held;
    std::set<int> nextSeen;
    for (const ProgrammePlan& p : plan.programmes()) {
        const bool holds = p.state == PlanState::ToRecord || p.state == PlanState::Recording;
        ASSERT_EQ(holds, p.tuner >= 1 && p.tuner <= static_cast<int>(tuners.size())) << where << " id " << p.id;
        const TunerNow* tuner = holds ? &tuners[static_cast<size_t>(p.tuner - 1)] : nullptr;
        if (p.state == PlanState::Recording) { EXPECT_EQ(tuner->recording, p.id) << where; }
        if (p.state == PlanState::ToRecord) { EXPECT_TRUE(tuner->open) << where; }
        EXPECT_EQ(p.next, p.state == PlanState::ToRecord && nextSeen.insert(p.tuner).second) << where << " id " << p.id;
        if (p.next) { EXPECT_EQ(plan.nextFor(p.tuner), p.id) << where; }
        if (p.state == PlanState::Duplicate) {
            EXPECT_NE(plan.of(p.duplicateOf)->state, PlanState::Duplicate) << where;
        }
        if (open == 1) continue;
        EXPECT_EQ(p.state == PlanState::Clash, !p.clashesWith.empty()) << where << " id " << p.id;
        const auto times = schedule.timesOf(p.id);
        for (const ProgrammeId other : p.clashesWith) {
            const ProgrammePlan& holder = *plan.of(other);
            EXPECT_TRUE(holder.state == PlanState::ToRecord || holder.state == PlanState::Recording) << where;
            const auto theirs = schedule.timesOf(other);
            EXPECT_TRUE(theirs->bufferedStart < times->bufferedEnd && times->bufferedStart < theirs->bufferedEnd)
                << where;
        }
        if (!holds || !times || !tuner->open) continue;
        const Instant from = p.state == PlanState::Recording ? now : std::max(now, times->bufferedStart);
        if (from >= times->bufferedEnd) continue;  // nothing left to record
        for (const auto& [f, t] : held[p.tuner])
            EXPECT_FALSE(from < t && f < times->bufferedEnd) << where << " tuner " << p.tuner << " id " << p.id;
        held[p.tuner].emplace_back(from, times->bufferedEnd);
    }
}

ProgrammeId anyOf(Random& random, const std::vector<ProgrammeId>& ids) {
    return ids.empty() ? 0 : ids[static_cast<size_t>(pick(random, 0, static_cast<int>(ids.size()) - 1))];
}

void compareOnRandomEvenings(DateTime night, unsigned firstSeed, const char* what) {
    static const char* const kDefaultBuffers[] = {"0", "2", "5"};
    for (unsigned seed = firstSeed; seed < firstSeed + 150; ++seed) {
        Random random(seed);
        Evening evening(toInstant(night));
        evening.settings.StartBuffer = kDefaultBuffers[pick(random, 0, 2)];
        evening.settings.EndBuffer = kDefaultBuffers[pick(random, 0, 2)];
        evening.schedule().load(randomEvening(random, night));
        NextProgramme choice(evening.document, evening.clock);
        choice.setTunerCount([] { return 1; });
        ProgrammeId recordedToItsEnd = 0;
        for (int step = 0; step < 8; ++step) {
            const std::string where =
                std::string(what) + " seed " + std::to_string(seed) + " step " + std::to_string(step);
            evening.schedule().listAll();
            const Instant now = toInstant(night.plusMinutes(pick(random, -60, 300) + pick(random, 0, 59) / 60.0));
            evening.clock.set(now);
            std::uint64_t version = evening.schedule().version();

            // One tuner, nothing recording: today's choice and clashes.
            TunerNow alone;
            alone.recordedToItsEnd = recordedToItsEnd;
            const Plan one(evening.schedule(), now, {alone});
            ASSERT_EQ(evening.schedule().version(), version) << where;
            choice.Find_Next_Schedule();
            ASSERT_EQ(one.nextFor(1), choice.any() ? choice.id() : 0) << where;
            for (const ProgrammePlan& p : one.programmes()) {
                EXPECT_EQ(p.state == PlanState::Duplicate, evening.schedule().position(p.id) < 0) << where;
                EXPECT_EQ(p.clashesWith, choice.clashes().with(p.id)) << where << " id " << p.id;
            }
            if (choice.any() && pick(random, 0, 4) == 0) {
                choice.recordedToItsEnd();
                recordedToItsEnd = choice.id();
            }
            evening.schedule().listAll();

            // One to four tuners, some recording what is due, some closed.
            std::vector<ProgrammeId> due;
            for (const ProgrammePlan& p : one.programmes())
                if (p.state == PlanState::ToRecord && evening.schedule().timesOf(p.id)->bufferedStart <= now)
                    due.push_back(p.id);
            std::vector<TunerNow> tuners(static_cast<size_t>(pick(random, 1, 4)));
            for (TunerNow& t : tuners) {
                t.open = &t == &tuners.front() || pick(random, 0, 5) != 0;
                if (pick(random, 0, 1)) t.recording = anyOf(random, due);
                std::erase(due, t.recording);
                if (pick(random, 0, 6) == 0) t.recordedToItsEnd = recordedToItsEnd;
            }
            version = evening.schedule().version();
            const Plan plan(evening.schedule(), now, tuners);
            ASSERT_EQ(evening.schedule().version(), version) << where;
            checkTunersAgree(evening.schedule(), plan, now, tuners, where + " on " + std::to_string(tuners.size()));
            std::map<ProgrammeId, std::vector<ProgrammeId>> clashes;
            const auto slow = slowPlan(evening.schedule(), now, tuners, clashes);
            const auto open = std::count_if(tuners.begin(), tuners.end(), [](const TunerNow& t) { return t.open; });
            for (const ProgrammePlan& p : plan.programmes()) {
                EXPECT_EQ(p.state, slow.at(p.id)) << where << " id " << p.id;
                if (open > 1) { EXPECT_EQ(p.clashesWith, clashes[p.id]) << where << " id " << p.id; }
            }
        }
    }
}

}  // namespace

TEST(Plan, AgreesWithTheChoiceOnOneTunerAndWithTheRuleOnUpToFour) {
    const ScopedTimeZone london("Europe/London");
    compareOnRandomEvenings(DateTime::fromCivil(2026, 12, 7, 19, 0), 1, "winter evening");
    compareOnRandomEvenings(DateTime::fromCivil(2026, 10, 24, 22, 0), 1000, "clocks back");
}
