// Clashes with several tuners: only the programmes no tuner is left for are
// blue, each naming those that hold the tuners; with one tuner every
// overlapping pair clashes as before.
#include "recorder/schedule/clash_finder.h"
#include "recorder/forms/clash_tags.h"
#include "support/cell_times.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <random>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute) { return DateTime(kToday.days()).plusMinutes(hour * 60 + minute); }

// Guides without channel numbers give every channel the number 0; the
// names tell the channels apart.
GuideRecord onChannel(const std::string& name, DateTime start, int minutes, const std::string& channel) {
    GuideRecord r = programme(name, start, minutes, "0");
    r.channelName = channel;
    return r;
}

// An evening in start order: the first four are all on at 20:45; the last
// starts as the first ends.
const std::vector<GuideRecord> kEvening = {
    onChannel("Новости", at(20, 0), 60, "Первый канал"),
    onChannel("時代劇スペシャル", at(20, 0), 90, "NHK総合"),
    onChannel("Вечерний Ургант", at(20, 15), 60, "Россия 1"),
    onChannel("紅白歌合戦", at(20, 30), 45, "NHK BS"),
    onChannel("Футбол. Лига чемпионов", at(21, 0), 105, "Матч ТВ"),
};

std::string nameOf(const GuideRecord& r) { return r.name + " on " + r.channelName; }

std::string tagNaming(const std::vector<int>& places) {
    std::string tag = "Clash with: ";
    for (int place : places) tag += nameOf(kEvening[static_cast<size_t>(place - 1)]) + " AND ";
    return tag;
}

struct Marked {
    std::vector<int> blue;                     // rows, from 1
    std::vector<std::vector<ProgrammeId>> with;  // per row, from Clashes::with
};

// The first `count` programmes of the evening at noon with `tuners`.
Marked markEvening(RecorderRig& rig, size_t count, int tuners) {
    rig.loadProgrammes({kEvening.begin(), kEvening.begin() + static_cast<long>(count)});
    ScheduleList& list = rig.listing.list();
    const Clashes clashes = FindClash(rig.document.schedule(), list, toInstant(rig.now()), tuners);
    Marked marked;
    for (int row = 1; row <= list.rowCount(); ++row) {
        if (list.rowColour(row) == colour::kBlue) marked.blue.push_back(row);
        else EXPECT_EQ(list.tag(row), "Clash with: ") << "row " << row << " with " << tuners;
        marked.with.push_back(clashes.with(rig.listing.idOfRow(row)));
    }
    return marked;
}

std::vector<ProgrammeId> idsOfRows(const RecorderRig& rig, const std::vector<int>& rows) {
    std::vector<ProgrammeId> ids;
    for (int row : rows) ids.push_back(rig.listing.idOfRow(row));
    return ids;
}

}  // namespace

TEST(TunerClashes, TwoThreeAndFiveOverlappingProgrammesOnOneTwoAndThreeTuners) {
    struct Case {
        size_t programmes;
        int tuners;
        std::vector<int> blue;
        std::vector<std::vector<int>> naming;  // for each blue row
    };
    const std::vector<Case> cases = {
        {2, 1, {1, 2}, {{2}, {1}}},
        {2, 2, {}, {}},
        {2, 3, {}, {}},
        {3, 1, {1, 2, 3}, {{2, 3}, {1, 3}, {1, 2}}},
        {3, 2, {3}, {{1, 2}}},
        {3, 3, {}, {}},
        // One tuner: every pair, the football with the three it overlaps.
        {5, 1, {1, 2, 3, 4, 5}, {{2, 3, 4}, {1, 3, 4, 5}, {1, 2, 4, 5}, {1, 2, 3, 5}, {2, 3, 4}}},
        // The football starts as the news ends: of the holders only the
        // drama overlaps it, and the two that lost hold no tuner.
        {5, 2, {3, 4}, {{1, 2}, {1, 2}}},
        {5, 3, {4}, {{1, 2, 3}}},
    };
    for (const Case& c : cases) {
        RecorderRig rig(at(12, 0));
        const Marked marked = markEvening(rig, c.programmes, c.tuners);
        const std::string what = std::to_string(c.programmes) + " on " + std::to_string(c.tuners);
        ASSERT_EQ(marked.blue, c.blue) << what;
        for (size_t k = 0; k < c.blue.size(); ++k) {
            const int row = c.blue[k];
            std::vector<int> expected = c.naming[k];
            if (c.tuners == 1) {
                // The pair rule names partners in the order its passes find them.
                std::vector<ProgrammeId> got = marked.with[static_cast<size_t>(row - 1)];
                std::sort(got.begin(), got.end());
                std::vector<ProgrammeId> want = idsOfRows(rig, expected);
                std::sort(want.begin(), want.end());
                EXPECT_EQ(got, want) << what << " row " << row;
                continue;
            }
            EXPECT_EQ(rig.listing.list().tag(row), tagNaming(expected)) << what << " row " << row;
            EXPECT_EQ(marked.with[static_cast<size_t>(row - 1)], idsOfRows(rig, expected)) << what;
        }
    }
}

TEST(TunerClashes, ProgrammesThatHaveFinishedHoldNoTuner) {
    RecorderRig rig(at(12, 0));
    rig.loadProgrammes({onChannel("Утренний эфир", at(20, 0), 45, "Россия 24"),
                        onChannel("ニュース7", at(20, 30), 60, "NHK総合"),
                        onChannel("Кино", at(20, 40), 60, "ТНТ")});
    ScheduleList& list = rig.listing.list();
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 2);
    EXPECT_EQ(list.rowColour(3), colour::kBlue) << "three at 20:40 before the first has finished";
    EXPECT_EQ(list.tag(3), "Clash with: Утренний эфир on Россия 24 AND ニュース7 on NHK総合 AND ");

    // At 20:50 the first has ended: the two still to come share the tuners.
    FindClash(rig.document.schedule(), list, toInstant(at(20, 50)), 2);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(list.rowColour(row), colour::kBlack) << row;
        EXPECT_EQ(list.tag(row), "Clash with: ") << row;
    }
    // Its end buffer keeps it on, and so holding a tuner, until 20:55.
    rig.setBuffers(0, "0", "10");
    FindClash(rig.document.schedule(), list, toInstant(at(20, 50)), 2);
    EXPECT_EQ(list.rowColour(3), colour::kBlue);
    // Once all three have ended none is marked, whatever overlapped.
    FindClash(rig.document.schedule(), list, toInstant(at(23, 0)), 2);
    for (int row = 1; row <= 3; ++row) EXPECT_EQ(list.rowColour(row), colour::kBlack) << row;
}

TEST(TunerClashes, AStartBufferReachingIntoTwoRecordingsTakesAThirdTuner) {
    RecorderRig rig(at(12, 0));
    rig.loadProgrammes({onChannel("新闻联播", at(19, 0), 60, "CCTV-1"),
                        onChannel("Время", at(19, 10), 50, "Первый канал"),
                        onChannel("Поле чудес", at(20, 0), 60, "Первый канал HD")});
    ScheduleList& list = rig.listing.list();
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 2);
    EXPECT_EQ(list.rowColour(3), colour::kBlack) << "it starts as the other two end";
    rig.setBuffers(2, "5", "0");
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 2);
    EXPECT_EQ(list.rowColour(3), colour::kBlue);
    EXPECT_EQ(list.tag(3), "Clash with: 新闻联播 on CCTV-1 AND Время on Первый канал AND ");
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 3);
    EXPECT_EQ(list.rowColour(3), colour::kBlack);
}

// The same programme twice (the channel's name in another case) is still
// dropped first, so with two tuners it does not push a third one out.
TEST(TunerClashes, DuplicatesAreDroppedBeforeTunersAreCounted) {
    RecorderRig rig(at(12, 0));
    rig.settings.Tuners = 2;
    rig.loadProgrammes({onChannel("Вести", at(20, 0), 30, "Россия 1"), onChannel("Вести", at(20, 0), 30, "РОССИЯ 1"),
                        onChannel("Сериал", at(20, 10), 50, "НТВ")});
    ScheduleList& list = rig.listing.list();
    ASSERT_EQ(list.rowCount(), 2) << "the load's choice of the next programme dropped it";
    EXPECT_EQ(list.cell(2, Column::Programme), "Сериал");
    EXPECT_EQ(list.rowColour(1), colour::kRed) << "the next programme";
    EXPECT_EQ(list.rowColour(2), colour::kBlack);
    EXPECT_EQ(list.tag(1), "Clash with: ");
    EXPECT_EQ(list.tag(2), "Clash with: ");
    FindClash(rig.document.schedule(), list, toInstant(rig.now()), 1);
    EXPECT_EQ(list.rowColour(2), colour::kBlue);
    EXPECT_EQ(list.tag(2), "Clash with: Вести on Россия 1 AND ");
}

// The next programme's choice reads the tuners from the live settings, so
// the list, and the clashes it reports, follow the setting.
TEST(TunerClashes, TheNextProgrammesChoiceMarksClashesByTheTunersSetting) {
    RecorderRig rig(at(12, 0));
    rig.loadProgrammes({kEvening.begin(), kEvening.begin() + 3});
    ScheduleList& list = rig.listing.list();
    rig.settings.Tuners = 2;
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(list.rowColour(1), colour::kRed);
    EXPECT_EQ(list.rowColour(2), colour::kBlack);
    EXPECT_EQ(list.rowColour(3), colour::kBlue);
    EXPECT_EQ(rig.next.clashes().with(rig.listing.idOfRow(3)), idsOfRows(rig, {1, 2}));
    EXPECT_TRUE(rig.next.clashes().with(rig.listing.idOfRow(2)).empty());

    rig.settings.Tuners = 1;
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(list.rowColour(2), colour::kBlue);
    EXPECT_EQ(rig.next.clashes().with(rig.listing.idOfRow(2)).size(), 2u);
}

// Over random evenings, checked minute by minute from the list's own cells:
// at no instant do more programmes that are not blue and still to come
// overlap than there are tuners; every blue programme found them all taken
// by those before it at some instant, and names exactly those before it
// that hold a tuner and overlap it.
TEST(TunerClashes, BlueProgrammesAreThoseNoTunerIsLeftForOnRandomSchedules) {
    std::mt19937 random(20261207);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 60; ++round) {
        const int tuners = pick(2, 4);
        RecorderRig rig(at(pick(17, 21), 0));
        std::vector<GuideRecord> records;
        for (int n = 0; n < 14; ++n)
            records.push_back(onChannel("Передача " + std::to_string(n) + " 番組", at(pick(17, 22), 5 * pick(0, 11)),
                                        5 * pick(1, 24), "Канал " + std::to_string(n)));
        rig.loadProgrammes(records);
        for (int slot = 0; slot < 14; slot += 2) rig.setBuffers(slot, std::to_string(pick(0, 7)), std::to_string(pick(0, 7)));
        ScheduleList& list = rig.listing.list();
        const Instant now = toInstant(rig.now());
        FindClash(rig.document.schedule(), list, now, tuners);

        const int rows = list.rowCount();
        std::vector<RowTimes> times;
        std::vector<bool> holds;
        for (int row = 1; row <= rows; ++row) {
            times.push_back(*cellTimes(list, row));
            holds.push_back(list.rowColour(row) != colour::kBlue && times.back().bufferedEnd > now);
        }
        const auto on = [&](int i, Instant t) {
            return times[static_cast<size_t>(i)].bufferedStart <= t && t < times[static_cast<size_t>(i)].bufferedEnd;
        };
        for (Instant t = toInstant(at(16, 0)); t < toInstant(at(23, 59)) + std::chrono::hours(2); t += std::chrono::minutes(1)) {
            int recording = 0;
            for (int i = 0; i < rows; ++i) recording += holds[static_cast<size_t>(i)] && on(i, t);
            ASSERT_LE(recording, tuners) << "round " << round;
        }
        for (int i = 0; i < rows; ++i) {
            if (list.rowColour(i + 1) != colour::kBlue) continue;
            const RowTimes& w = times[static_cast<size_t>(i)];
            EXPECT_GT(w.bufferedEnd, now) << "a finished programme needs no tuner";
            bool full = false;
            for (Instant t = w.bufferedStart; t < w.bufferedEnd && !full; t += std::chrono::minutes(1)) {
                int taken = 0;
                for (int j = 0; j < i; ++j) taken += holds[static_cast<size_t>(j)] && on(j, t);
                full = taken >= tuners;
            }
            EXPECT_TRUE(full) << "round " << round << " row " << i + 1 << " blue with a tuner free";
            std::string expected = "Clash with: ";
            for (int j = 0; j < i; ++j)
                if (holds[static_cast<size_t>(j)] && times[static_cast<size_t>(j)].bufferedStart < w.bufferedEnd &&
                    w.bufferedStart < times[static_cast<size_t>(j)].bufferedEnd)
                    expected += list.cell(j + 1, Column::Programme) + " on " + list.cell(j + 1, Column::Channel) + " AND ";
            EXPECT_EQ(list.tag(i + 1), expected) << "round " << round << " row " << i + 1;
        }
    }
}
