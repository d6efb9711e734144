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

XmltvListing readText(const std::string& text, XmltvLimits limits = {}) {
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return XmltvReader(std::move(limits)).read(buffer);
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

TEST(GuideSeriesApply, ReadingForTheRulesKeepsWhatTheyMatchAndNumbersChannelsAlike) {
    const Instant now = floor<minutes>(system_clock::now());
    // Channels before and after their programmes, one without a number of
    // its own, and titles that only look alike.
    std::string text = "<tv>\n<channel id='a.example'><display-name>Alpha</display-name></channel>\n";
    const char* titles[] = {"<title>Quiz</title>", "<title lang='en'> QUIZ </title>", "<title>Quiz Night</title>",
                            "<title>News</title>", "<title>News</title><previously-shown/>", "<title>Film</title>"};
    for (int day = 0; day < 4; ++day)
        for (const char* channel : {"a.example", "b.example"})
            for (int i = 0; i < 6; ++i)
                text += xmltvProgramme(channel, now + days(day) + hours(i), 60,
                                       std::string(titles[i]) + "<desc>Day " + std::to_string(day) + "</desc>");
    text += "<channel id='b.example'><display-name>7</display-name><display-name>Beta</display-name></channel></tv>";
    const std::vector<SeriesRule> rules = {{"quiz", "", 0, false}, {"News", "Beta", 1, true}};

    const XmltvListing whole = readText(text);
    const XmltvListing kept = readText(text, limitsForRules(rules));
    ASSERT_TRUE(kept.error.isEmpty()) << kept.error.toStdString();
    ASSERT_EQ(whole.programmes.size(), 48u);
    // Quiz (either way of writing it) on both channels, and News not
    // shown before (the channel is told apart once the listing is read).
    EXPECT_EQ(kept.programmes.size(), 4u * (2 + 2 + 2));
    ASSERT_EQ(kept.channels.size(), whole.channels.size());
    for (size_t c = 0; c < kept.channels.size(); ++c) {
        EXPECT_EQ(kept.channels[c].number, whole.channels[c].number) << kept.channels[c].id;
        EXPECT_EQ(kept.channels[c].name, whole.channels[c].name) << kept.channels[c].id;
    }

    std::vector<std::string> fromWhole, fromKept;
    const auto into = [](std::vector<std::string>& handed) {
        return [&handed](size_t entry, const GuideProgramme& p) {
            handed.push_back(std::to_string(entry) + " " + p.name + " " + p.channelNumber + " " +
                             p.start.formatDateTime() + " " + p.description);
            return true;
        };
    };
    const RulesApplied a = applyRules(whole, rules, "/nonexistent/schedule.txt", now, into(fromWhole));
    const RulesApplied b = applyRules(kept, rules, "/nonexistent/schedule.txt", now, into(fromKept));
    EXPECT_EQ(a.recorded, 4 * 5);
    EXPECT_EQ(b.recorded, a.recorded);
    EXPECT_EQ(fromKept, fromWhole);
}

}  // namespace
