// Which entry of a real-world IPTV playlist a schedule item's channel
// means: never one whose name says it is another station.
#include "common/channel_match.h"
#include "support/iptv_playlist.h"

#include <gtest/gtest.h>

using namespace kelbo;
using kelbo::testing::iptvPlaylist;
using kelbo::testing::lineOf;

namespace {

// The head of a playlist as the public lists have it: the first entries
// carry tvg-chno values that are no numbers, the third is another station
// numbered 1.
const std::vector<std::string> kHead = {
    "#EXTINF:-1 tvg-id=\"AlSharqiya.iq\" tvg-chno=\"BS191\" group-title=\"General\","
    "Al Sharqiya (1080p) [Not 24/7]\nhttps://5d8c.example/sharqiya/index.m3u8\n",
    "#EXTINF:-1 tvg-id=\"\" tvg-chno=\"#\",Euronews (720p)\nhttps://euronews.example/en/master.m3u8\n",
    "#EXTINF:-1 tvg-id=\"TG4.ie\" tvg-chno=\"1\",TG4 (720p)\nhttps://tg4.example/live/index.m3u8\n",
};

const std::vector<std::string> kSpread = {
    "#EXTINF:-1 tvg-id=\"RTEOne.ie\",RTÉ One (1080p) [Geo-blocked]\nhttps://rte.example/rte1/master.m3u8\n",
    "#EXTINF:-1 tvg-id=\"BBCOne.uk\" tvg-chno=\"101\" tvg-name=\"BBC One\",BBC One HD\n"
    "http://bbc.example/one/hd.ts\n",
    "#EXTINF:-1 tvg-id=\"BBCOne.uk\",BBC One (576p)\nhttp://mirror.example/bbc1.ts\n",
    "#EXTINF:-1 tvg-id=\"BBCTwo.uk\" tvg-chno=\"102\",BBC Two England\nhttp://bbc.example/two.ts\n",
    "#EXTINF:-1 tvg-id=\"Channel4Plus1.uk\" tvg-chno=\"4\",Channel 4 +1\nhttp://c4.example/plus1.ts\n",
    "#EXTINF:-1 tvg-id=\"Five.uk\" tvg-chno=\"5\",Five (720p)\nhttp://five.example/a.ts\n",
    "#EXTINF:-1 tvg-id=\"5USA.uk\" tvg-chno=\"5\",5 USA\nhttp://five.example/usa.ts\n",
    "#EXTINF:-1 tvg-id=\"Channel1.ru\" tvg-chno=\"0021\",Первый канал HD\nhttp://ru.example/1tv.m3u8\n",
    "#EXTINF:-1 tvg-id=\"AlJazeera.qa\",الجزيرة (1080p)\nhttps://aj.example/ar/index.m3u8\n",
    "#EXTINF:-1 tvg-id=\"Euronews.fr\",Euronews [Not 24/7]\nhttps://euronews.example/en/master.m3u8\n",
    "#EXTINF:-1 tvg-id=\"France24.fr\",France 24 (1080p)\nhttps://f24.example/en.m3u8\n",
    "#EXTINF:-1 tvg-id=\"France24.fr\",France 24 (480p)\nhttps://f24.example/en-low.m3u8\n",
};

class ChannelMatchTest : public ::testing::Test {
protected:
    ChannelMatchTest() : text(iptvPlaylist(kHead, kSpread)), entries(parseM3u(text)) {}

    // The line of the entry chosen, 0 for none.
    int lineFor(std::string_view number, std::string_view name) const {
        const ChannelMatch match = findChannel(entries, number, name);
        return match ? match.entry->line : 0;
    }
    std::string reasonFor(std::string_view number, std::string_view name) const {
        const ChannelMatch match = findChannel(entries, number, name);
        return match ? reasonText(match.reason) : "none";
    }

    std::string text;
    std::vector<PlaylistEntry> entries;
};

}  // namespace

// The programme "on RTÉ One, channel 1": the third line is TG4, numbered 1,
// another station.
TEST_F(ChannelMatchTest, ANumberNeverOpensAnotherStation) {
    ASSERT_GT(entries.size(), 300u);
    const int rte = lineOf(text, "RTÉ One (1080p)");
    ASSERT_GT(rte, 6) << "after TG4's line";
    EXPECT_EQ(lineFor("1", "RTÉ One"), rte);
    EXPECT_EQ(reasonFor("1", "RTÉ One"), "name");
    EXPECT_EQ(lineFor("1", "rté one"), rte) << "the name ignoring case";

    // Without RTÉ One in the playlist, channel 1 is TG4 by number alone:
    // refused, with TG4 named as the candidate.
    const auto withoutRte = parseM3u(iptvPlaylist(kHead, {kSpread.begin() + 1, kSpread.end()}));
    const ChannelMatch refused = findChannel(withoutRte, "1", "RTÉ One");
    EXPECT_FALSE(refused);
    ASSERT_EQ(refused.candidates.size(), 1u);
    EXPECT_EQ(describeEntry(*refused.candidates[0]), "line 6 \"TG4 (720p)\" tvg-id \"TG4.ie\" tvg-chno \"1\"");
    // A programme with no channel name at all takes the number's one stream.
    EXPECT_EQ(findChannel(withoutRte, "1", "").entry->url, "https://tg4.example/live/index.m3u8");

    // "Channel 4" is not "Channel 4 +1", which shows it an hour late.
    EXPECT_EQ(lineFor("4", "Channel 4"), 0);
}

TEST_F(ChannelMatchTest, NumberAndNameWinOverNameAlone) {
    const int hd = lineOf(text, "BBC One HD");
    EXPECT_EQ(lineFor("101", "BBC One"), hd) << "two streams named BBC One: the one numbered 101";
    EXPECT_EQ(reasonFor("101", "BBC One"), "number and name");
    EXPECT_EQ(lineFor("5", "5 USA"), lineOf(text, "5 USA"));
    // Named BBC One twice and numbered otherwise: the one without a number.
    EXPECT_EQ(lineFor("999", "BBC One"), lineOf(text, "BBC One (576p)"));
    EXPECT_EQ(reasonFor("999", "BBC One"), "name");
    EXPECT_EQ(lineFor("", "BBC One"), 0) << "no number to tell the two apart";
    EXPECT_EQ(findChannel(entries, "", "BBC One").candidates.size(), 2u);
}

TEST_F(ChannelMatchTest, ANumberAloneOpensOnlyOneStreamWhoseNameAgrees) {
    EXPECT_EQ(lineFor("102", "BBC Two"), lineOf(text, "BBC Two England")) << "more words: the same station";
    EXPECT_EQ(reasonFor("102", "BBC Two"), "number");
    EXPECT_EQ(lineFor("0102", ""), lineOf(text, "BBC Two England")) << "numbers by value";
    // Number 5 is two streams, number 700 a dozen: none is opened on a guess.
    EXPECT_EQ(lineFor("5", ""), 0);
    EXPECT_EQ(findChannel(entries, "5", "").candidates.size(), 2u);
    const ChannelMatch many = findChannel(entries, "700", "Something");
    EXPECT_FALSE(many);
    EXPECT_EQ(many.candidates.size(), 12u);
    // tvg-chno values that are no numbers are nobody's number.
    EXPECT_EQ(lineFor("191", ""), 0);
    EXPECT_EQ(lineFor("BS191", ""), 0);
    EXPECT_TRUE(findChannel(entries, "#", "").candidates.empty());
    // A place in a playlist that numbers its channels is no number: the
    // second entry has no tvg-chno.
    EXPECT_EQ(lineFor("2", ""), 0);
}

TEST_F(ChannelMatchTest, NamesMatchWithoutDecorationsInAnyScript) {
    EXPECT_EQ(lineFor("0", "Al Sharqiya"), lineOf(text, "Al Sharqiya (1080p) [Not 24/7]"))
        << "no tvg-name: the decorated name";
    EXPECT_EQ(lineFor("0", "ПЕРВЫЙ КАНАЛ"), lineOf(text, "Первый канал HD"));
    EXPECT_EQ(lineFor("21", "Первый канал"), lineOf(text, "Первый канал HD"));
    EXPECT_EQ(reasonFor("21", "Первый канал"), "number and name");
    EXPECT_EQ(lineFor("0", "الجزيرة"), lineOf(text, "الجزيرة (1080p)"));
    // Two entries of one stream are one candidate; two streams of one name
    // are two.
    EXPECT_EQ(lineFor("0", "euronews"), lineOf(text, "Euronews (720p)"));
    EXPECT_EQ(lineFor("0", "France 24"), 0);
    EXPECT_EQ(findChannel(entries, "0", "France 24").candidates.size(), 2u);
    EXPECT_EQ(lineFor("", "Nowhere TV"), 0);
    EXPECT_TRUE(findChannel(entries, "", "Nowhere TV").candidates.empty());
    EXPECT_EQ(lineFor("", ""), 0);
}

// A playlist without any tvg-chno is numbered by its order, as small
// hand-made lists expect; places never beat a name that disagrees.
TEST(ChannelMatch, APlaylistWithoutNumbersIsNumberedByPlace) {
    const auto entries = parseM3u(
        "#EXTM3U\n#EXTINF:-1,One\nhttp://a/1.ts\n#EXTINF:-1,Two (720p)\nhttp://a/2.ts\n"
        "http://a/unnamed.ts\n#EXTINF:-1 tvg-chno=\"-\",Four\nhttp://a/4.ts\n");
    ASSERT_EQ(entries.size(), 4u);
    const auto urlOf = [&](std::string_view number, std::string_view name) {
        const ChannelMatch match = findChannel(entries, number, name);
        return match ? match.entry->url : std::string("none");
    };
    EXPECT_EQ(urlOf("2", "Two"), "http://a/2.ts");
    EXPECT_EQ(urlOf("2", ""), "http://a/2.ts");
    EXPECT_EQ(urlOf("2", "Three"), "none");
    EXPECT_EQ(urlOf("3", "Anything"), "http://a/unnamed.ts") << "an entry without a name contradicts nothing";
    EXPECT_EQ(urlOf("4", ""), "http://a/4.ts");
    EXPECT_EQ(urlOf("1", "Four"), "http://a/4.ts") << "a name match beats a place";
}

TEST(ChannelMatch, WhenNamesContradict) {
    EXPECT_FALSE(channelNamesContradict("BBC One", "bbc one hd"));
    EXPECT_FALSE(channelNamesContradict("BBC One", "BBC One London"));
    EXPECT_FALSE(channelNamesContradict("BBC One London (1080p)", "BBC One"));
    EXPECT_FALSE(channelNamesContradict("", "TG4"));
    EXPECT_TRUE(channelNamesContradict("RTÉ One", "RTÉ2"));
    EXPECT_TRUE(channelNamesContradict("RTÉ One", "TG4 (720p)"));
    EXPECT_TRUE(channelNamesContradict("Channel 4", "Channel 4 +1"));
    EXPECT_TRUE(channelNamesContradict("Channel 4", "Channel 4+1"));
    EXPECT_TRUE(channelNamesContradict("BBC", "BBCi"));
}
