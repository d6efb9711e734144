#include "xmltv_sample.h"

#include "listing_programme.h"
#include "series_apply.h"
#include "series_rules.h"
#include "support/temp_dir.h"

#include "common/schedule_format.h"
#include "common/schedule_item.h"
#include "common/settings_store.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::guide;
using namespace kelbo::testing;
using namespace std::chrono;

namespace {

XmltvListing readText(const std::string& text) {
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return XmltvReader().read(buffer);
}

TEST(GuideSeriesRuleStore, AddsListsAndRemovesRulesInItsOwnSection) {
    TempDir dir;
    SettingsStore settings(dir / "registry.ini");
    settings.SaveSetting("DG Templates", "DEFAULT Template", "1");
    SeriesRuleStore store(settings);
    EXPECT_TRUE(store.rules().empty());
    const SeriesRule news{"News", "", 0, false};
    const SeriesRule quiz{"Quiz\tNight = 2", "Channel\tOne", 3, true};
    EXPECT_TRUE(store.add(news));
    EXPECT_TRUE(store.add(quiz));
    EXPECT_FALSE(store.add(news));  // stored already
    EXPECT_FALSE(store.failed());

    const auto rules = store.rules();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0], news);
    EXPECT_EQ(rules[1].title, "Quiz\tNight = 2");  // the title keeps whatever it holds
    EXPECT_EQ(rules[1].channel, "Channel One");
    EXPECT_EQ(rules[1].entry, 3u);
    EXPECT_TRUE(rules[1].newOnly);
    EXPECT_EQ(settings.GetAllSettings("Guide Rules").size(), 2u);
    EXPECT_EQ(settings.GetSetting("DG Templates", "DEFAULT Template"), "1");  // other sections untouched

    EXPECT_FALSE(store.remove(0));
    EXPECT_FALSE(store.remove(3));
    EXPECT_TRUE(store.remove(1));
    ASSERT_EQ(store.rules().size(), 1u);
    EXPECT_EQ(store.rules()[0].channel, "Channel One");
    // Renumbered, so the next `remove 1` takes what `list` shows as 1.
    EXPECT_EQ(settings.GetAllSettings("Guide Rules")[0].first, "Rule1");

    for (const char* damaged : {"", "x\t0\t\tNews", "1\t2\t\tNews", "1\t0\t", "1\t0"})
        EXPECT_FALSE(decodeRule(damaged)) << damaged;
}

TEST(GuideSeriesRule, MatchesTitleIgnoringCaseChannelAndNewEpisodes) {
    const XmltvListing listing = readText(
        "<tv><channel id='one.example'><display-name>1</display-name><display-name>One</display-name></channel>"
        "<programme start='20270101200000' stop='20270101203000' channel='one.example'><title>Quiz</title></programme>"
        "<programme start='20270102200000' stop='20270102203000' channel='one.example'><title>QUIZ</title>"
        "<previously-shown/></programme>"
        "<programme start='20270103200000' stop='20270103203000' channel='two'><title>Quiz</title></programme>"
        "<programme start='20270104200000' stop='20270104203000' channel='one.example'><title>Quiz Night</title></programme>"
        "</tv>");
    ASSERT_EQ(listing.programmes.size(), 4u);
    const auto matching = [&](const SeriesRule& rule) {
        std::string days;
        for (const XmltvProgramme& p : listing.programmes)
            if (rule.matches(listing, p)) days += std::to_string(toLocalDateTime(p.start).civil().day);
        return days;
    };
    EXPECT_EQ(matching({"quiz", "", 0, false}), "123");
    EXPECT_EQ(matching({"quiz", "", 0, true}), "13");
    EXPECT_EQ(matching({"Quiz", "one", 0, false}), "12");  // by name
    EXPECT_EQ(matching({"Quiz", "1", 0, false}), "12");    // by number
    EXPECT_EQ(matching({"Quiz", "two", 0, false}), "3");   // by id
    EXPECT_EQ(matching({"Qui", "", 0, false}), "");
}

TEST(GuideSeriesApply, RecordsWhatIsNotScheduledYetAndNothingTwice) {
    TempDir dir;
    const Instant now = floor<minutes>(system_clock::now());
    std::string text = "<tv><channel id='a'><display-name>5</display-name></channel>";
    text += xmltvProgramme("a", now - hours(2), 60, "<title>Quiz</title>");   // ended
    text += xmltvProgramme("a", now - minutes(10), 30, "<title>Quiz</title>");  // on now
    for (int day = 1; day <= 3; ++day) text += xmltvProgramme("a", now + days(day), 30, "<title>Quiz</title>");
    // The same start and channel twice in the listing.
    text += xmltvProgramme("a", now + days(3), 30, "<title>Quiz</title>");
    text += "</tv>";
    const XmltvListing listing = readText(text);

    // The schedule holds day 1 already, written by hand in the short form.
    const GuideProgramme day1 = guideProgramme(listing, listing.programmes[2]);
    ScheduleItem item;
    item.ProgrammeName = "Quiz";
    item.StartDate = std::to_string(day1.start.civil().day) + "-" + std::to_string(day1.start.civil().month) +
                     "-" + std::to_string(day1.start.civil().year);
    item.StartTime = day1.start.formatTime();
    item.ChannelNumber = "5";
    item.ChannelName = "a";
    item.Duration = "30";
    writeFile(dir / "schedule.txt", formatRecord(item));
    ASSERT_EQ(scheduledKeys((dir / "schedule.txt").string()).size(), 1u);

    std::vector<std::pair<size_t, std::string>> handed;
    const auto record = [&](size_t entry, const GuideProgramme& p) {
        handed.emplace_back(entry, p.start.formatDateTime());
        return entry < 2;
    };
    const RulesApplied applied = applyRules(listing, {{"Quiz", "", 1, false}, {"quiz", "", 0, false}},
                                            (dir / "schedule.txt").string(), now, record);
    ASSERT_EQ(applied.recorded, 3);  // on now, day 2, day 3
    EXPECT_EQ(applied.alreadyScheduled, 2);  // day 1 and the second day 3
    EXPECT_EQ(applied.refused, 0);
    ASSERT_EQ(handed.size(), 3u);
    for (const auto& [entry, start] : handed) EXPECT_EQ(entry, 1u) << "the first matching rule's entry";
    EXPECT_EQ(handed[0].second, toLocalDateTime(now - minutes(10)).formatDateTime());

    // A rule whose entry the add-in lacks records nothing and says so.
    handed.clear();
    const RulesApplied refused = applyRules(listing, {{"Quiz", "", 7, false}}, (dir / "none.txt").string(), now, record);
    EXPECT_EQ(refused.recorded, 0);
    EXPECT_EQ(refused.refused, 5);
}

}  // namespace
