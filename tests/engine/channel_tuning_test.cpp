// Recordings tuned by a channel playlist, and the interruptions of a stream
// told in the finish notice. A fixed clock moved tick by tick and a
// scripted device.
#include "support/recorder_rig.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

const char kPlaylist[] =
    "#EXTM3U\r\n"
    "#EXTINF:-1 tvg-id=\"one.uk\" tvg-chno=\"101\",One\r\nhttp://127.0.0.1:1/one.ts\r\n"
    "#EXTINF:-1 tvg-id=\"films.uk\",Film Channel\r\nudp://127.0.0.1:2\r\n";

class ChannelTuningTest : public ::testing::Test {
protected:
    ChannelTuningTest() : rig(kEight.plusMinutes(-60)) {
        writeFile(rig.dir / "tv.m3u", kPlaylist);
        rig.settings.ChannelPlaylist = (rig.dir / "tv.m3u").string();
    }
    GuideRecord on(const std::string& number, const std::string& name) {
        GuideRecord record = programme("News", kEight, 10, number);
        record.channelName = name;
        return record;
    }
    void startAt(DateTime start) {
        rig.clock.set(toInstant(start) + 400ms);
        rig.tick();
    }

    RecorderRig rig;
};

}  // namespace

TEST_F(ChannelTuningTest, TunesToTheEntryOfTheChannelNumberElseItsName) {
    rig.loadProgrammes({on("101", "Something else")});
    startAt(kEight);
    EXPECT_EQ(rig.device.tunedUrl, "http://127.0.0.1:1/one.ts");
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    // Tuned before the capture starts.
    const auto& calls = rig.device.calls;
    const auto tuned = std::find(calls.begin(), calls.end(), "tuneStream http://127.0.0.1:1/one.ts");
    const auto started = std::find_if(calls.begin(), calls.end(),
                                      [](const std::string& c) { return c.rfind("StartCapture", 0) == 0; });
    EXPECT_LT(tuned, started);

    RecorderRig byName(kEight.plusMinutes(-60));
    writeFile(byName.dir / "tv.m3u", kPlaylist);
    byName.settings.ChannelPlaylist = (byName.dir / "tv.m3u").string();
    GuideRecord film = programme("Film", kEight, 10, "N/A");
    film.channelName = "FILM channel";
    byName.loadProgrammes({film});
    byName.clock.set(toInstant(kEight) + 400ms);
    byName.tick();
    EXPECT_EQ(byName.device.tunedUrl, "udp://127.0.0.1:2");
}

TEST_F(ChannelTuningTest, AChannelNotInThePlaylistFailsWithOneNoticeNamingIt) {
    rig.loadProgrammes({on("555", "Nowhere TV")});
    startAt(kEight);
    rig.run(5s);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed\r\n"), std::string::npos);
    EXPECT_EQ(rig.device.count("StartCapture"), 0);
    ASSERT_EQ(rig.messages.shown.size(), 1u) << "told once, not at every tick";
    EXPECT_TRUE(rig.messages.shown[0].notice);
    EXPECT_EQ(rig.messages.shown[0].title, "Channel not found");
    EXPECT_NE(rig.messages.shown[0].text.find("channel 555 \"Nowhere TV\""), std::string::npos)
        << rig.messages.shown[0].text;
}

TEST_F(ChannelTuningTest, WithoutAPlaylistTheDeviceIsNotTuned) {
    rig.settings.ChannelPlaylist.clear();
    rig.loadProgrammes({on("555", "Nowhere TV")});
    startAt(kEight);
    EXPECT_EQ(rig.device.count("tuneStream"), 0);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
}

TEST_F(ChannelTuningTest, TheFinishNoticeCountsTheStreamsGaps) {
    rig.settings.ChannelPlaylist.clear();
    rig.device.gaps = {3, 5000};  // from before this recording
    GuideRecord news = programme("News", kEight, 60);
    rig.loadProgrammes({news});
    startAt(kEight);
    rig.run(30min);
    rig.device.gaps = {5, 5000 + 110'000};  // two more, 1:50 in all
    rig.run(31min);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Recording incomplete");
    // 59:59.6 of media (the first tick came 0.4 s in) less the gaps' 1:50.
    EXPECT_NE(rig.messages.shown[0].text.find("recorded 58:09 of 60:00, 2 gaps"), std::string::npos)
        << rig.messages.shown[0].text;
}
