#include "xmltv_sample.h"

#include "listing_model.h"
#include "listing_programme.h"
#include "common/channel_match.h"
#include "playlist_channels.h"
#include "support/time_zone.h"
#include "xmltv_reader.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace kelbo;
using namespace kelbo::guide;
using namespace std::chrono;

namespace {

XmltvListing readText(const std::string& text, XmltvLimits limits = {}) {
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return XmltvReader(limits).read(buffer);
}

Instant utc(int y, unsigned m, unsigned d, int h, int min, int s = 0) {
    return time_point_cast<Instant::duration>(sys_days{year{y} / month{m} / day{d}} + hours{h} +
                                              minutes{min} + seconds{s});
}

TEST(XmltvTime, ReadsFullAndShortFormsWithTheirOffsets) {
    EXPECT_EQ(parseXmltvTime("20030305080500 +0100"), utc(2003, 3, 5, 7, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 -0230"), utc(2003, 3, 5, 10, 35));
    EXPECT_EQ(parseXmltvTime("200303050805"), utc(2003, 3, 5, 8, 5));
    EXPECT_EQ(parseXmltvTime("2003030508 UTC"), utc(2003, 3, 5, 8, 0));
    EXPECT_EQ(parseXmltvTime("20030305"), utc(2003, 3, 5, 0, 0));
    EXPECT_EQ(parseXmltvTime("20030305000000 +0100"), utc(2003, 3, 4, 23, 0));
    for (const char* bad : {"", "2003", "200303050", "20030231120000", "20030305250000",
                            "20030305080500 XYZ", "20030305080500 +01", "tomorrow",
                            "20030305080500 Mars/Olympus", "20030305080500 ../../etc/passwd",
                            "20030305080500 IST"})
        EXPECT_FALSE(parseXmltvTime(bad)) << bad;
}

TEST(XmltvTime, ReadsZoneAbbreviationsWithTheirFixedOffsets) {
    // The example the XMLTV format itself gives.
    EXPECT_EQ(parseXmltvTime("200007281733 BST"), utc(2000, 7, 28, 16, 33));
    EXPECT_EQ(parseXmltvTime("20030305080500 GMT"), utc(2003, 3, 5, 8, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 CET"), utc(2003, 3, 5, 7, 5));
    EXPECT_EQ(parseXmltvTime("20030705080500 CEST"), utc(2003, 7, 5, 6, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 EET"), utc(2003, 3, 5, 6, 5));
    EXPECT_EQ(parseXmltvTime("20030705080500 EEST"), utc(2003, 7, 5, 5, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 EST"), utc(2003, 3, 5, 13, 5));
    EXPECT_EQ(parseXmltvTime("20030705080500 EDT"), utc(2003, 7, 5, 12, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 CST"), utc(2003, 3, 5, 14, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 MDT"), utc(2003, 3, 5, 14, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 PST"), utc(2003, 3, 5, 16, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 pdt"), utc(2003, 3, 5, 15, 5));
}

TEST(XmltvTime, ReadsTzDatabaseNamesByTheRulesOfTheDay) {
    EXPECT_EQ(parseXmltvTime("20270115200000 Europe/London"), utc(2027, 1, 15, 20, 0));
    EXPECT_EQ(parseXmltvTime("20270715200000 Europe/London"), utc(2027, 7, 15, 19, 0));
    EXPECT_EQ(parseXmltvTime("20270715200000 America/New_York"), utc(2027, 7, 16, 0, 0));
    EXPECT_EQ(parseXmltvTime("20270115200000 Australia/Sydney"), utc(2027, 1, 15, 9, 0));
    EXPECT_EQ(parseXmltvTime("20270115200000 UTC"), utc(2027, 1, 15, 20, 0));
    // 01:30 on the autumn change day happens twice: the first run is meant.
    EXPECT_EQ(parseXmltvTime("20271031013000 Europe/London"), utc(2027, 10, 31, 0, 30));
    EXPECT_EQ(parseXmltvTime("20271031023000 Europe/London"), utc(2027, 10, 31, 2, 30));
    // 01:30 on the spring change day never happens: read with the winter offset.
    EXPECT_EQ(parseXmltvTime("20270328013000 Europe/London"), utc(2027, 3, 28, 1, 30));
    EXPECT_EQ(parseXmltvTime("20270328023000 Europe/London"), utc(2027, 3, 28, 1, 30));
}

TEST(XmltvReader, ReadsTheSampleSortedWithChannelsAndSkips) {
    const XmltvListing listing = readText(kelbo::testing::kXmltvSample);
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    EXPECT_EQ(listing.withoutStop, 1);
    EXPECT_EQ(listing.badTimes, 1);
    EXPECT_EQ(listing.outsideWindow, 0);
    ASSERT_EQ(listing.programmes.size(), 2u);

    const XmltvProgramme& early = listing.programmes[0];
    EXPECT_EQ(listing.text(early.title), "Early Show");
    EXPECT_EQ(early.start, utc(2003, 3, 5, 6, 0));
    EXPECT_EQ(early.durationMinutes, 30);
    // Declared after its programme; no numeric display name: a number of
    // its own, which no other channel has.
    EXPECT_EQ(listing.channelName(early), "Named");
    EXPECT_TRUE(isChannelNumber(listing.channelNumber(early))) << listing.channelNumber(early);
    EXPECT_NE(listing.channelNumber(early), "4");

    const XmltvProgramme& news = listing.programmes[1];
    EXPECT_EQ(listing.text(news.title), "Morning News");  // the first of several
    EXPECT_EQ(listing.text(news.category), "News");
    EXPECT_EQ(listing.text(news.categories), "News, Current affairs");
    EXPECT_EQ(listing.text(news.description), "Headlines & weather.\nDirector: Ann Lee");
    EXPECT_EQ(news.start, utc(2003, 3, 5, 7, 5));
    EXPECT_EQ(news.durationMinutes, 90);
    EXPECT_EQ(listing.channelName(news), "Channel Four");
    EXPECT_EQ(listing.channelNumber(news), "4");
}

TEST(XmltvReader, RejectsWhatIsNotAnXmltvListing) {
    for (const std::string& text :
         {std::string("this is not XML at all"), std::string(""),
          std::string("<tv><programme start='20030305' stop='20030306'></tv>"),
          std::string("<html><body>listing</body></html>")}) {
        const XmltvListing listing = readText(text);
        EXPECT_FALSE(listing.error.isEmpty()) << text;
        EXPECT_TRUE(listing.programmes.empty()) << text;
    }
    EXPECT_FALSE(XmltvReader().readFile("/no/such/listing.xml").error.isEmpty());
}

TEST(XmltvReader, KeepsEveryChannelOfALargeListingAndSharesRepeatedTexts) {
    // Grabbers write one channel after another: a listing with more than
    // 100000 programmes must still have its last channels.
    const int channels = 42, perChannel = 2500;
    std::string text = "<tv>";
    const Instant from = utc(2027, 1, 1, 0, 0);
    for (int c = 0; c < channels; ++c) {
        const std::string id = "ch" + std::to_string(c);
        text += "<channel id='" + id + "'><display-name>" + std::to_string(c + 1) + "</display-name></channel>";
        for (int i = 0; i < perChannel; ++i)
            text += kelbo::testing::xmltvProgramme(id, from + minutes(30 * i), 30,
                                                   "<title>Show " + std::to_string(i % 50) +
                                                       "</title><desc>Same text.</desc><category>Film</category>");
    }
    text += "</tv>";
    const XmltvListing listing = readText(text);
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    ASSERT_EQ(listing.programmes.size(), size_t(channels * perChannel));
    EXPECT_EQ(listing.outsideWindow, 0);
    std::vector<int> perChannelKept(channels);
    for (const XmltvProgramme& p : listing.programmes) ++perChannelKept[p.channel];
    for (int c = 0; c < channels; ++c) EXPECT_EQ(perChannelKept[size_t(c)], perChannel) << "channel " << c;
    EXPECT_EQ(listing.channelNumber(listing.programmes.back()), std::to_string(channels));
    // 50 titles, one description, one category: each held once.
    EXPECT_LT(listing.texts.size(), 60u);
    EXPECT_LE(sizeof(XmltvProgramme), 64u);
}

TEST(XmltvReader, KeepsTheSameWindowOfTimeForEveryChannel) {
    std::string text = "<tv>";
    const Instant from = utc(2027, 1, 1, 0, 0);
    for (const char* channel : {"a", "b", "c"})
        for (int day = 0; day < 20; ++day)
            text += kelbo::testing::xmltvProgramme(channel, from + days(day), 60,
                                                   "<title>" + std::string(channel) + "</title>");
    text += "</tv>";
    XmltvLimits limits;
    limits.windowStart = from + days(2) + minutes(30);  // the day-2 programme is still on
    limits.windowEnd = *limits.windowStart + days(14);
    const XmltvListing listing = readText(text, limits);
    ASSERT_EQ(listing.programmes.size(), 3u * 15);
    EXPECT_EQ(listing.outsideWindow, 3 * 5);
    for (const XmltvProgramme& p : listing.programmes) {
        EXPECT_GE(p.start, from + days(2));
        EXPECT_LE(p.start, from + days(16));
    }
    EXPECT_EQ(listing.channels.size(), 3u);
}

TEST(XmltvReader, CutsLongTextsWithoutSplittingACharacter) {
    const std::string text = "<tv><programme start='20030305081000' stop='20030305090000' channel='c'>"
                             "<title>T</title><desc>" + std::string(30, 'd') + "\xC3\xA9</desc></programme></tv>";
    XmltvLimits limits;
    limits.maxDescriptionBytes = 31;  // the cut would split the two-byte character
    const XmltvListing listing = readText(text, limits);
    ASSERT_EQ(listing.programmes.size(), 1u);
    EXPECT_EQ(listing.text(listing.programmes[0].description), std::string(30, 'd'));
    EXPECT_EQ(listing.channelName(listing.programmes[0]), "c");  // no channel element: its id
}

TEST(XmltvReader, ReadsSubTitlesCreditsEpisodesAndCategories) {
    const XmltvListing listing = readText(R"(<tv><channel id='c'><display-name>7</display-name></channel>
        <programme start='20030305200000' stop='20030305210000' channel='c'>
          <title>Detectives</title><sub-title>The Last Train</sub-title><desc>A body on the line.</desc>
          <credits><director>Ann Lee</director><director>Bo Chan</director><actor role='Inspector'>Cy Dunn</actor>
            <actor>Di Egan</actor><writer>Ed Fox</writer><presenter>Flo Gray</presenter></credits>
          <category>Drama</category><category>Crime</category>
          <episode-num system='xmltv_ns'>2.5.0/2</episode-num><episode-num system='onscreen'>S03E06</episode-num>
          <previously-shown start='20020101'/>
        </programme>
        <programme start='20030305210000' stop='20030305220000' channel='c'>
          <title>Detectives</title><episode-num system='xmltv_ns'>2 . 6/10 .</episode-num></programme>
        </tv>)");
    ASSERT_EQ(listing.programmes.size(), 2u);
    const XmltvProgramme& first = listing.programmes[0];
    EXPECT_EQ(listing.text(first.subTitle), "The Last Train");
    EXPECT_EQ(listing.text(first.directors), "Ann Lee, Bo Chan");
    EXPECT_EQ(listing.text(first.actors), "Cy Dunn, Di Egan");
    EXPECT_EQ(listing.text(first.category), "Drama");
    EXPECT_EQ(listing.text(first.categories), "Drama, Crime");
    EXPECT_EQ(listing.text(first.episode), "S03E06");  // what the viewer sees on screen wins
    EXPECT_TRUE(first.previouslyShown);
    EXPECT_EQ(listing.text(listing.programmes[1].episode), "S3 E7/10");
    EXPECT_FALSE(listing.programmes[1].previouslyShown);

    EXPECT_EQ(guideDescription(listing, first),
              "The Last Train. A body on the line.\nDirector: Ann Lee, Bo Chan\nStarring: Cy Dunn, Di Egan\n (S03E06)");
    const GuideProgramme g = guideProgramme(listing, first);
    EXPECT_EQ(g.category, "Drama");
    EXPECT_EQ(g.description, guideDescription(listing, first));
    EXPECT_EQ(guideDescription(listing, listing.programmes[1]), " (S3 E7/10)");

    ListingModel model(readText(R"(<tv><programme start='20030305200000' stop='20030305210000' channel='c'>
        <title>Detectives</title><category>Drama</category><category>Crime</category>
        <episode-num system='xmltv_ns'>0.0.</episode-num></programme></tv>)"));
    EXPECT_EQ(model.cell(0, ListingModel::Episode), "S1 E1");
    EXPECT_EQ(model.cell(0, ListingModel::Category), "Drama, Crime");
}

TEST(XmltvEpisode, ReadsXmltvNsNumbers) {
    EXPECT_EQ(episodeFromXmltvNs("0.0.0/1"), "S1 E1 P1/1");
    EXPECT_EQ(episodeFromXmltvNs(".12."), "E13");
    EXPECT_EQ(episodeFromXmltvNs("3/5.."), "S4/5");
    EXPECT_EQ(episodeFromXmltvNs(""), "");
    EXPECT_EQ(episodeFromXmltvNs("x.y.z"), "");
}

TEST(ListingProgramme, NamesTheTrueStartInTheRepeatedHour) {
    kelbo::testing::ScopedTimeZone london("Europe/London");  // back to GMT on 31-10-2027 at 02:00 BST
    ListingModel model(readText(R"(<tv><channel id='c'><display-name>4</display-name></channel>
        <programme start='20271031003000 +0000' stop='20271031010000 +0000' channel='c'><title>First</title><desc>One.</desc></programme>
        <programme start='20271031013000 +0000' stop='20271031020000 +0000' channel='c'><title>Second</title><desc>Two.</desc></programme>
        <programme start='20271031020000 +0000' stop='20271031023000 +0000' channel='c'><title>After</title></programme>
        </tv>)"));
    const GuideProgramme first = model.programme(0), second = model.programme(1), after = model.programme(2);
    // Both runs of 01:30 reach the guide record as the same local start...
    EXPECT_EQ(first.start.formatTime(), "01:30");
    EXPECT_EQ(second.start.formatTime(), "01:30");
    EXPECT_EQ(first.start.formatDate(), second.start.formatDate());
    // ...so the second says when it really starts.
    EXPECT_EQ(first.description, "One.");
    EXPECT_EQ(second.description, "Starts 01:30 GMT. Two.");
    EXPECT_EQ(after.description, "");
    EXPECT_EQ(model.cell(0, ListingModel::Start), "31-10-2027 01:30");
    EXPECT_EQ(model.cell(1, ListingModel::Start), "31-10-2027 01:30 GMT");
    EXPECT_EQ(model.cell(2, ListingModel::Start), "31-10-2027 02:00");
}

TEST(ListingModel, HandsTheGuideALocalStartAndTheChannelNumber) {
    const char* saved = std::getenv("TZ");
    const std::string savedTz = saved ? saved : "UTC";
    setenv("TZ", "Europe/London", 1);  // summer time from 30 March 2003
    tzset();
    ListingModel model(readText(R"(<tv><channel id='c'><display-name>101</display-name></channel>
        <programme start='20030305070500 +0000' stop='20030305083500 +0000' channel='c'><title>Winter</title></programme>
        <programme start='20030601200000 +0200' stop='20030601210000 +0200' channel='c'><title>Summer</title></programme>
        </tv>)"));
    const GuideProgramme winter = model.programme(0);
    const GuideProgramme summer = model.programme(1);
    const QString summerStart = model.cell(1, ListingModel::Start);
    setenv("TZ", savedTz.c_str(), 1);
    tzset();

    const KelboProgramme w = winter.record();
    EXPECT_EQ(std::string(w.name), "Winter");
    EXPECT_EQ(std::string(w.channelNumber), "101");
    EXPECT_EQ(w.duration, 90u);
    EXPECT_EQ(w.start.year, 2003);
    EXPECT_EQ(w.start.month, 3);
    EXPECT_EQ(w.start.day, 5);
    EXPECT_EQ(w.start.dayOfWeek, 3);  // a Wednesday
    EXPECT_EQ(w.start.hour, 7);
    EXPECT_EQ(w.start.minute, 5);
    const KelboProgramme s = summer.record();
    EXPECT_EQ(s.start.hour, 19);  // 18:00 UTC is 19:00 British Summer Time
    EXPECT_EQ(s.start.dayOfWeek, 0);  // a Sunday
    EXPECT_EQ(summerStart, "01-06-2003 19:00");
    EXPECT_EQ(model.cell(0, ListingModel::Channel), "101 c");
}

}  // namespace

// The recorder's channel playlist numbers the listing's channels by tvg-id,
// so a programme recorded from the guide tunes to the playlist's stream;
// a number the listing gives comes first.
TEST(PlaylistChannels, TvgIdGivesTheChannelItsPlaylistNumber) {
    XmltvListing listing = readText(kelbo::testing::kXmltvSample);
    const auto find = [&](const std::string& id) -> const XmltvChannel* {
        for (const auto& c : listing.channels)
            if (c.id == id) return &c;
        return nullptr;
    };
    ASSERT_TRUE(find("four.example"));
    ASSERT_TRUE(find("named.example"));
    const auto playlist = parseM3u(
        "#EXTM3U\n#EXTINF:-1 tvg-id=\"FOUR.example\" tvg-chno=\"104\",Four HD\nhttp://a/4\n"
        "#EXTINF:-1 tvg-id=\"NAMED.example\" tvg-chno=\"12\",Named (1080p)\nhttp://a/n\n"
        "#EXTINF:-1 tvg-id=\"other.example\",Other\nhttp://a/o\n");
    numberChannelsFromPlaylist(listing, playlist);
    EXPECT_EQ(find("four.example")->number, "4") << "the listing's own number";
    EXPECT_EQ(find("four.example")->entryName, "Four HD") << "\"Channel Four\" does not name the entry";
    EXPECT_EQ(find("named.example")->number, "12") << "tvg-id matched, ignoring case";
    EXPECT_EQ(find("named.example")->entryName, "") << "\"Named (1080p)\" is the listing's channel";

    // The recording finds the entry the guide matched, by the name it hands over.
    const PlaylistEntry* entry = findChannel(playlist, find("four.example")->number, "Four HD").entry;
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->url, "http://a/4");
}
