// Recording from network streams served by real servers on loopback, each
// started by its test and killed after it.
#include "media/capture_device_fixture.h"
#include "stream_servers.h"
#include "support/scoped_state_home.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

class StreamSourceTest : public CaptureDeviceTest {
protected:
    void SetUp() override { makeClip(dir / "clip.ts", 20); }

    // Records `ms` from `url` and checks the file: its length, a picture
    // that is not black and the tone.
    void recordsTheRightLength(const std::string& url, std::int64_t ms = 4000) {
        open(CaptureSource{CaptureSource::Kind::Stream, url});
        const fs::path file = dir / "out.mpg";
        record(file, ms);
        ASSERT_EQ(closed.size(), 1u);
        EXPECT_TRUE(closed[0].ok) << closed[0].error;
        EXPECT_EQ(closed[0].elapsedMs, ms);
        const MediaProbe probe = probeMedia(file);
        ASSERT_TRUE(probe.ok);
        EXPECT_NEAR(probe.duration, static_cast<double>(ms) / 1000, 0.1);
        EXPECT_EQ(probe.videoCodec, "mpeg2video");
        EXPECT_EQ(probe.width, 720);
        EXPECT_GT(meanLuma(file, static_cast<int>(ms / 40) - 5), 40) << "the stream's own picture";
        EXPECT_GT(maxVolumeDb(file), -30) << "the stream's own sound";
        EXPECT_EQ(device->sourceGaps().count, 0);
    }
};

}  // namespace

TEST_F(StreamSourceTest, AnMpegTsFileOverHttp) {
    const int port = freePort();
    TestServer server = TestServer::http(dir.path(), port);
    ASSERT_TRUE(server.running());
    recordsTheRightLength("http://127.0.0.1:" + std::to_string(port) + "/clip.ts");
}

TEST_F(StreamSourceTest, AnMpegTsFileOverHttps) {
    const int port = freePort();
    TestServer server = TestServer::https(dir.path(), dir / "tls", port);
    ASSERT_TRUE(server.running());
    recordsTheRightLength("https://127.0.0.1:" + std::to_string(port) + "/clip.ts");
}

TEST_F(StreamSourceTest, AnHlsPlaylistWithSegments) {
    fs::create_directories(dir / "hls");
    makeHls(dir / "clip.ts", dir / "hls", "channel");
    ASSERT_TRUE(fs::exists(dir / "hls" / "channel1.ts")) << "more than one segment";
    const int port = freePort();
    TestServer server = TestServer::http(dir / "hls", port);
    ASSERT_TRUE(server.running());
    // Longer than a segment, so the recording runs across segments.
    recordsTheRightLength("http://127.0.0.1:" + std::to_string(port) + "/channel.m3u8", 5000);
}

TEST_F(StreamSourceTest, AnMpegTsSentOverUdp) {
    const int port = freePort(true);
    TestServer sender = TestServer::udp(dir / "clip.ts", port);
    recordsTheRightLength("udp://127.0.0.1:" + std::to_string(port));
}

TEST_F(StreamSourceTest, AnMpegTsSentOverRtp) {
    const int port = freePort(true);
    TestServer sender = TestServer::rtp(dir / "clip.ts", port);
    recordsTheRightLength("rtp://127.0.0.1:" + std::to_string(port));
}

TEST_F(StreamSourceTest, AnRtspServer) {
    const int port = freePort();
    TestServer server = TestServer::rtsp(dir / "clip.ts", 20, port);
    ASSERT_TRUE(server.running());
    recordsTheRightLength("rtsp://127.0.0.1:" + std::to_string(port) + "/x");
}

// The server goes away in the middle of a recording and comes back: the
// recording goes on in the same file, the gap is logged with its length
// and counted, and the file still holds the whole recording's time.
TEST_F(StreamSourceTest, AServerKilledAndRestartedLeavesOnePartWithALoggedGap) {
    ScopedStateHome logHome;
    const int port = freePort();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/live.ts";
    auto server = std::make_unique<TestServer>(TestServer::liveHttp(dir / "clip.ts", port));
    open(CaptureSource{CaptureSource::Kind::Stream, url});
    const fs::path file = dir / "gap.mpg";
    device->setCaptureLimit(12000);
    device->StartCapture(file.string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ui.runFor(3s);
    server->kill();
    ui.runFor(2s);
    server = std::make_unique<TestServer>(TestServer::liveHttp(dir / "clip.ts", port));
    ASSERT_TRUE(server->running());
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 20s));

    ASSERT_EQ(closed.size(), 1u) << "one part file";
    EXPECT_TRUE(closed[0].ok) << closed[0].error;
    EXPECT_EQ(closed[0].elapsedMs, 12000);
    EXPECT_NEAR(probeMedia(file).duration, 12.0, 0.1);
    const CaptureDevice::SourceGaps gaps = device->sourceGaps();
    EXPECT_EQ(gaps.count, 1);
    EXPECT_GT(gaps.ms, 1500);
    EXPECT_LT(gaps.ms, 7000);
    const std::string log = logHome.logText();
    EXPECT_NE(log.find("The stream " + url + " was lost"), std::string::npos) << log;
    EXPECT_NE(log.find("is back after a gap of"), std::string::npos) << log;
    // The stream's picture again after the gap.
    EXPECT_GT(meanLuma(file, 11000 / 40), 40);
}

TEST_F(StreamSourceTest, AStreamThatCannotBeOpenedStopsTheSourceWithTheReason) {
    const std::string url = "http://127.0.0.1:" + std::to_string(freePort()) + "/nothing.ts";
    open(CaptureSource{CaptureSource::Kind::Stream, url});
    device->setCaptureLimit(2000);
    device->StartCapture((dir / "never.mpg").string());
    ASSERT_TRUE(waitFor([&] { return device->ReadyState() == CaptureDevice::Idle; }));
    EXPECT_FALSE(recording());
    EXPECT_NE(device->lastError().find(url + " cannot be opened"), std::string::npos)
        << device->lastError();
}

// A sender that falls silent (no error, no end: no data at all) is given up
// after five seconds and listened for again, and the recording keeps its
// length across the silence.
TEST_F(StreamSourceTest, AStalledSenderIsWaitedOutAndTheRecordingKeepsItsLength) {
    ScopedStateHome logHome;
    const int port = freePort(true);
    const std::string url = "udp://127.0.0.1:" + std::to_string(port);
    auto sender = std::make_unique<TestServer>(TestServer::udp(dir / "clip.ts", port));
    open(CaptureSource{CaptureSource::Kind::Stream, url});
    const fs::path file = dir / "stall.mpg";
    device->setCaptureLimit(14000);
    device->StartCapture(file.string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ui.runFor(2s);
    sender->kill();
    ui.runFor(6500ms);
    sender = std::make_unique<TestServer>(TestServer::udp(dir / "clip.ts", port));
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 20s));

    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0].ok) << closed[0].error;
    EXPECT_NEAR(probeMedia(file).duration, 14.0, 0.1);
    EXPECT_EQ(device->sourceGaps().count, 1);
    EXPECT_GT(device->sourceGaps().ms, 5000) << "five seconds without data before giving up";
    EXPECT_NE(logHome.logText().find("(no data for 5.0 s)"), std::string::npos) << logHome.logText();
    EXPECT_GT(meanLuma(file, 13500 / 40), 40) << "the stream's own picture again at the end";
}

// A sender silent for a moment only is not reopened, but the moment it
// was made up still counts as a gap.
TEST_F(StreamSourceTest, AShortSilenceIsAGapWithoutReopening) {
    ScopedStateHome logHome;
    const int port = freePort(true);
    auto sender = std::make_unique<TestServer>(TestServer::udp(dir / "clip.ts", port));
    open(CaptureSource{CaptureSource::Kind::Stream, "udp://127.0.0.1:" + std::to_string(port)});
    device->setCaptureLimit(8000);
    device->StartCapture((dir / "short.mpg").string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ui.runFor(2s);
    sender->kill();
    ui.runFor(2500ms);
    sender = std::make_unique<TestServer>(TestServer::udp(dir / "clip.ts", port));
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 15s));
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_NEAR(probeMedia(dir / "short.mpg").duration, 8.0, 0.1);
    EXPECT_EQ(device->sourceGaps().count, 1);
    EXPECT_GT(device->sourceGaps().ms, 1500);
    EXPECT_LT(device->sourceGaps().ms, 5000);
    EXPECT_EQ(logHome.logText().find("was lost"), std::string::npos) << "not reopened";
    EXPECT_NE(logHome.logText().find("is back after a gap of"), std::string::npos);
}

TEST(StreamSourceSetting, AUrlIsAStreamSourceAndStoredAsItself) {
    for (const char* url : {"http://tv.example/live.m3u8", "rtsp://10.0.0.2:554/ch1", "udp://@239.1.1.1:1234"}) {
        const auto source = parseCaptureSource(url);
        ASSERT_TRUE(source) << url;
        EXPECT_EQ(source->kind, CaptureSource::Kind::Stream) << url;
        EXPECT_EQ(toString(*source), url);
    }
    EXPECT_EQ(parseCaptureSource("/dev/video0")->kind, CaptureSource::Kind::V4l2);
}
