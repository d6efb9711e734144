// Radio (AAC in MPEG-TS from a head end, MP3 as Icecast serves it) copied and
// encoded, split as the recorder splits: sound alone of its length.
#include "media/capture_device_fixture.h"
#include "recorder/forms/preview_caption.h"
#include "stream_servers.h"

using namespace kelbo;
using namespace kelbo::testing;

struct Station {
    std::string clip, encoder, templateName, holds;  // the clip's extension says what the server sends
    std::int64_t splitAtMs;                          // 0: one part
};
class RadioTest : public CaptureDeviceTest, public ::testing::WithParamInterface<Station> {};

TEST_P(RadioTest, IsRecordedAsSoundAloneOfItsLength) {
    const Station& s = GetParam();
    const std::filesystem::path clip = dir / s.clip, parts[] = {dir / "radio.mpg", dir / "radio-2.mpg"};
    ASSERT_EQ(runCommand("ffmpeg -v error -f lavfi -i sine=r=44100 -t 20 -b:a 128k -c:a " + s.encoder + " " +
                         shellQuoted(clip.string())).status, 0);
    const int port = freePort();
    TestServer station = TestServer::liveChannel(clip, port);
    open({CaptureSource::Kind::Stream, "http://127.0.0.1:" + std::to_string(port) + "/live" + clip.extension().string()});
    device->setRecordingTemplate(s.templateName);
    device->setCaptureLimit(4000);
    device->StartCapture(parts[0].string());
    ASSERT_TRUE(waitFor([&] { return recording(); }, 10s)) << device->lastError();
    EXPECT_EQ(previewCaption(*device, false), "Radio \u2014 sound only");
    if (s.splitAtMs) {
        ASSERT_TRUE(waitFor([&] { return device->CaptureElapsed() >= s.splitAtMs; }, 10s));
        const std::int64_t left = device->CaptureLimit() - device->CaptureElapsed();
        device->StopCapture();
        device->setCaptureElapsed(0);
        device->setCaptureLimit(left);
        device->StartCapture(parts[1].string());
    }
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 15s));
    ASSERT_EQ(closed.size(), s.splitAtMs ? 2u : 1u);
    double seconds = 0;
    for (std::size_t i = 0; i < closed.size(); ++i) {
        const MediaProbe probe = probeMedia(parts[i]);
        const DecodedMedia sound = decodeMedia(parts[i]);
        EXPECT_TRUE(closed[i].ok && sound.errors.empty()) << closed[i].error << sound.errors;
        EXPECT_EQ(probe.formatName + " " + probe.videoCodec + "/" + probe.audioCodec, s.holds);
        EXPECT_NEAR(probe.duration, sound.soundSeconds, 0.25) << "the length it plays, as ffprobe reads it";
        seconds += sound.soundSeconds;
    }
    EXPECT_NEAR(seconds, 4.0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Stations, RadioTest, ::testing::Values(
    Station{"aac.ts", "aac", "Original stream (no re-encoding)", "mpegts /aac", 0},
    Station{"icecast.mp3", "libmp3lame", "Original stream (no re-encoding)", "mpeg /mp3", 2000},
    Station{"aac.ts", "aac", "DVD Full Quality", "mpeg /mp2", 2000},
    Station{"icecast.mp3", "libmp3lame", "VCD Compatible", "mpeg /mp2", 0}));
