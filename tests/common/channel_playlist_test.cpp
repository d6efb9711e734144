#include "common/channel_playlist.h"
#include "common/stream_url.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kelbo;
using kelbo::testing::TempDir;
using kelbo::testing::writeFile;

namespace {

const char kPlaylist[] =
    "#EXTM3U x-tvg-url=\"http://example.net/guide.xml\"\n"
    "#EXTINF:-1 tvg-id=\"one.uk\" tvg-chno=\"101\" tvg-name=\"One\" group-title=\"UK, Main\",One HD\n"
    "http://example.net/one.m3u8\n"
    "#EXTINF:-1 tvg-id=\"two.uk\" tvg-name=\"Two\",Two\n"
    "#EXTVLCOPT:http-user-agent=Kelbo\n"
    "udp://239.0.0.2:1234\n"
    "#EXTINF:-1 tvg-chno=\"007\",Film Four\n"
    "rtsp://example.net/film4\n";

}  // namespace

TEST(ChannelPlaylist, ReadsEntriesWithTheirAttributesAndPositions) {
    const auto entries = parseM3u(kPlaylist);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (PlaylistEntry{"One HD", "http://example.net/one.m3u8", "one.uk", "101", "One", 1}));
    // A directive between EXTINF and the URL belongs to the same entry.
    EXPECT_EQ(entries[1].url, "udp://239.0.0.2:1234");
    EXPECT_EQ(entries[1].name, "Two");
    EXPECT_EQ(entries[1].tvgChno, "");
    EXPECT_EQ(entries[1].channelNumber(), "2") << "no tvg-chno: the entry's position";
    EXPECT_EQ(entries[2].channelNumber(), "007");
}

TEST(ChannelPlaylist, ToleratesBomCrLfBlankLinesAndMissingAttributes) {
    const std::string text =
        "\xEF\xBB\xBF#EXTM3U\r\n\r\n#EXTINF:-1,Plain\r\nhttp://a/plain.ts\r\n"
        "#EXTINF:-1 tvg-chno=5 tvg-id=\"\",  Unquoted  \r\nhttp://a/five.ts\r\n";
    const auto entries = parseM3u(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Plain");
    EXPECT_EQ(entries[0].url, "http://a/plain.ts") << "no CR left on the URL";
    EXPECT_EQ(entries[0].tvgId, "");
    EXPECT_EQ(entries[1].tvgChno, "5");
    EXPECT_EQ(entries[1].name, "Unquoted");
}

TEST(ChannelPlaylist, SkipsMalformedLines) {
    const std::string text =
        "#EXTINF:-1 tvg-chno=\"1\" no comma here\n"  // unreadable: its URL stands alone
        "http://a/orphan.ts\n"
        "#EXTINF:-1 tvg-name=\"A, B\",Comma \"inside\"\n"  // comma inside quotes is not the split
        "http://a/ab.ts\n"
        "#EXTINF:-1,Dangling\n";  // no URL follows
    const auto entries = parseM3u(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "http://a/orphan.ts");
    EXPECT_EQ(entries[0].tvgChno, "");
    EXPECT_EQ(entries[1].tvgName, "A, B");
    EXPECT_EQ(entries[1].name, "Comma \"inside\"");
    EXPECT_TRUE(parseM3u("").empty());
}

TEST(ChannelPlaylist, FindsTheChannelByNumberThenByName) {
    const auto entries = parseM3u(kPlaylist);
    ASSERT_EQ(entries.size(), 3u);
    const auto urlOf = [&](std::string_view number, std::string_view name) {
        const PlaylistEntry* e = findChannel(entries, number, name);
        return e ? e->url : std::string("none");
    };
    EXPECT_EQ(urlOf("101", "whatever"), "http://example.net/one.m3u8");
    EXPECT_EQ(urlOf("2", ""), "udp://239.0.0.2:1234") << "position when there is no tvg-chno";
    EXPECT_EQ(urlOf("7", ""), "rtsp://example.net/film4") << "numbers compare by value";
    EXPECT_EQ(urlOf("N/A", "film four"), "rtsp://example.net/film4") << "name, ignoring case";
    EXPECT_EQ(urlOf("999", " ONE "), "http://example.net/one.m3u8") << "tvg-name counts as a name";
    EXPECT_EQ(urlOf("1", ""), "none") << "position 1 has tvg-chno 101, so 1 is not its number";
    EXPECT_EQ(urlOf("999", "Missing"), "none");
    EXPECT_EQ(urlOf("", ""), "none");
}

TEST(ChannelPlaylist, ReadsAFileAndSaysWhenItCannot) {
    TempDir dir;
    writeFile(dir / "tv.m3u", kPlaylist);
    const auto entries = readM3uFile((dir / "tv.m3u").string());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 3u);
    EXPECT_FALSE(readM3uFile((dir / "missing.m3u").string()));
}

TEST(StreamUrl, KnowsTheSchemesItReads) {
    for (const char* url : {"http://a/b.ts", "HTTPS://a/b.m3u8", "rtsp://a:554/x", "udp://@239.0.0.1:1234",
                            "rtp://127.0.0.1:5004", "rtsps://a/x"})
        EXPECT_TRUE(isStreamUrl(url)) << url;
    for (const char* text : {"", "test", "file:/tmp/a.ts", "/dev/video0", "http://", "ftp://a/b"})
        EXPECT_FALSE(isStreamUrl(text)) << text;
}
