#include "common/channel_names.h"

#include <gtest/gtest.h>

using namespace kelbo;

TEST(ChannelNames, FoldsTheCaseOfLatinGreekAndCyrillicLetters) {
    EXPECT_EQ(foldCase("RTÉ One"), "rté one");
    EXPECT_EQ(foldCase("ПЕРВЫЙ канал"), "первый канал");
    EXPECT_EQ(foldCase("ΕΡΤ1"), "ερτ1");
    EXPECT_EQ(foldCase("Łódź ŻÓŁW"), "łódź żółw");
    EXPECT_EQ(foldCase("الشرقية"), "الشرقية") << "scripts without case stay";
    EXPECT_EQ(foldCase("A\xFF" "B"), "a\xFF" "b") << "bytes that are not UTF-8 stay";
}

TEST(ChannelNames, IgnoreHowAFeedIsSent) {
    EXPECT_EQ(channelNameKey("Al Sharqiya (1080p) [Not 24/7]"), "al sharqiya");
    EXPECT_EQ(channelNameKey("  BBC   One HD "), "bbc one");
    EXPECT_EQ(channelNameKey("Das Erste FHD (720p)"), "das erste");
    EXPECT_EQ(channelNameKey("HD"), "hd") << "a name that is all decoration stays";
    EXPECT_EQ(channelNameKey("(1080p)"), "(1080p)");
    EXPECT_TRUE(sameChannelName("RTÉ ONE (1080p)", "rté one"));
    EXPECT_FALSE(sameChannelName("BBC One", "BBC Two"));
    EXPECT_FALSE(sameChannelName("Film4 +1", "Film4")) << "a time-shifted channel is another station";
    EXPECT_FALSE(sameChannelName("", "")) << "no name names nothing";
}

TEST(ChannelNames, ASlotIsDateTimeNumberAndNameWithoutRegardToCase) {
    const std::string one = programmeSlotKey("01-03-2024", "18:30", "0", "BBC One");
    EXPECT_EQ(one, programmeSlotKey("01-03-2024", "18:30", "0", "bbc one"));
    EXPECT_NE(one, programmeSlotKey("01-03-2024", "18:30", "0", "RTÉ One"));
    EXPECT_NE(one, programmeSlotKey("01-03-2024", "18:30", "1", "BBC One"));
    EXPECT_NE(programmeSlotKey("a", "b", "c", ""), programmeSlotKey("a", "b", "", "c"))
        << "fields cannot run into each other";
}
