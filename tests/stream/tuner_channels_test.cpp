// Two channels of a playlist, each on a head end of its own, recorded at
// the same time by two tuners, as the original stream.
#include "media/tuner_fixture.h"
#include "stream_servers.h"
#include "support/iptv_playlist.h"
#include "common/channel_match.h"
#include "common/channel_playlist.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

TEST_F(TunerDevicesTest, TwoChannelsOfThePlaylistAreRecordedAtOnceEachByItsTuner) {
    makeClip(dir / "bars.ts", 8);
    makeClip(dir / "dark.ts", 8, true);
    const int barsPort = freePort();
    TestServer bars = TestServer::liveChannel(dir / "bars.ts", barsPort);
    const int darkPort = freePort();
    TestServer dark = TestServer::liveChannel(dir / "dark.ts", darkPort);
    ASSERT_TRUE(bars.running() && dark.running());
    const auto entry = [](const std::string& attributes, const std::string& name, int port) {
        return "#EXTINF:-1 " + attributes + "," + name + "\nhttp://127.0.0.1:" + std::to_string(port) +
               "/live.ts\n";
    };
    const auto playlist = parseM3u(iptvPlaylist(
        {entry("tvg-id=\"Bars.test\" tvg-chno=\"31\" group-title=\"Test\"", "Bars Thirty-One (576p)", barsPort)},
        {entry("tvg-id=\"Dunkel.de\" tvg-chno=\"32\" tvg-name=\"Dunkel\"", "Dunkel HD [Not 24/7]", darkPort)}));
    const ChannelMatch barsChannel = findChannel(playlist, "31", "Bars Thirty-One");
    const ChannelMatch darkChannel = findChannel(playlist, "32", "Dunkel");
    ASSERT_TRUE(barsChannel && darkChannel);

    // The tuners are made on the capture source; each is tuned as its
    // recording starts.
    makeTuners(CaptureSource{}, 2);
    ASSERT_EQ(tuners.size(), 2u);
    const ChannelMatch* channels[] = {&barsChannel, &darkChannel};
    const fs::path files[] = {dir / "bars.mpg", dir / "dark.mpg"};
    for (std::size_t i = 0; i < 2; ++i) {
        const PlaylistEntry& e = *channels[i]->entry;
        ASSERT_TRUE(tuners[i]->device->tuneStream({e.url, e.http}));
        tuners[i]->device->setRecordingTemplate("Original stream (no re-encoding)");
        start(*tuners[i], files[i], 3000);
    }
    bool together = false;
    ASSERT_TRUE(waitFor([&] {
        together = together || (tuners[0]->recording() && tuners[1]->recording());
        return together;
    }, 10s)) << tuners[0]->device->lastError() << " / " << tuners[1]->device->lastError();
    ASSERT_TRUE(waitFor([&] { return allFinished(); }, 15s));

    for (std::size_t i = 0; i < 2; ++i) {
        const auto& tuner = *tuners[i];
        ASSERT_EQ(tuner.closed.size(), 1u);
        EXPECT_TRUE(tuner.closed[0].ok) << tuner.closed[0].error;
        const auto status = tuner.device->streamStatus();
        ASSERT_TRUE(status);
        EXPECT_EQ(status->url, channels[i]->entry->url);
        const MediaProbe probe = probeMedia(files[i]);
        EXPECT_EQ(probe.videoCodec, "mpeg2video");
        EXPECT_EQ(probe.width, 320) << "the channel's own pictures";
        EXPECT_LT(lengthError(files[i], 3.0), 0.5) << files[i];
    }
    // Each file holds its own channel.
    const double barsLuma = meanLuma(files[0], 3), darkLuma = meanLuma(files[1], 3);
    EXPECT_GT(barsLuma, 60);
    EXPECT_GE(darkLuma, 0);
    EXPECT_LT(darkLuma, 30);
}
