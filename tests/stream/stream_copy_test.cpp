// "Original stream (no re-encoding)": the stream's own packets in the part
// files, split at key pictures.
#include "copy_check.h"
#include "media/capture_device_fixture.h"
#include "stream_servers.h"
#include "support/scoped_state_home.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

const char kCopyTemplate[] = "Original stream (no re-encoding)";

// Where a recording's pictures leave a hole of over a second: each next picture.
std::vector<std::size_t> picturesAfterHoles(const std::vector<PacketPrint>& prints) {
    std::vector<std::size_t> found;
    long long last = -1;
    for (std::size_t i = 0; i < prints.size(); ++i) {
        if (!prints[i].video) continue;
        if (last >= 0 && prints[i].pts - last > 90000) found.push_back(i);
        last = prints[i].pts;
    }
    return found;
}

class StreamCopyTest : public CaptureDeviceTest {
protected:
    void SetUp() override {}

    void openServed(const fs::path& clip) {
        port = freePort();
        server = std::make_unique<TestServer>(TestServer::http(clip.parent_path(), port));
        ASSERT_TRUE(server->running());
        open(CaptureSource{CaptureSource::Kind::Stream,
                           "http://127.0.0.1:" + std::to_string(port) + "/" + clip.filename().string()});
        device->setRecordingTemplate(kCopyTemplate);
    }

    // A head end's channel, its clip playing from the server's start.
    std::string openChannel(const fs::path& clip, const std::string& offAir = {}) {
        port = freePort();
        server = std::make_unique<TestServer>(TestServer::liveChannel(clip, port, offAir));
        started = std::chrono::steady_clock::now();
        EXPECT_TRUE(server->running());
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/live.ts";
        open(CaptureSource{CaptureSource::Kind::Stream, url});
        device->setRecordingTemplate(kCopyTemplate);
        return url;
    }
    // Waits until the channel has played `seconds` since it went on the air
    // (its server listens from then on).
    void runUntilChannelAt(double seconds) {
        const auto at = started + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        waitFor([&] { return std::chrono::steady_clock::now() >= at; }, 30s);
    }

    int port = 0;
    std::unique_ptr<TestServer> server;
    std::chrono::steady_clock::time_point started;
};

}  // namespace

TEST_F(StreamCopyTest, MpegTwoWithMpegAudioIsCopiedIntoProgramStreamPartsThatJoinAtAKeyPicture) {
    makeClip(dir / "clip.ts", 20);
    openServed(dir / "clip.ts");
    // Unwatched, only the key pictures are decoded: the parts must not mind.
    device->setPreviewWhileCapturing(false);
    const fs::path first = dir / "part1.mpg", second = dir / "part2.mpg";
    device->setCaptureElapsed(0);
    device->setCaptureLimit(6000);
    device->StartCapture(first.string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ASSERT_TRUE(waitFor([&] { return device->CaptureElapsed() >= 3000; }, 10s));
    // The recorder's split: the rest of the limit into the next part.
    const std::int64_t left = device->CaptureLimit() - device->CaptureElapsed();
    device->StopCapture();
    device->setCaptureElapsed(0);
    device->setCaptureLimit(left);
    device->StartCapture(second.string());
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 15s));
    ASSERT_EQ(closed.size(), 2u);
    for (const auto& result : closed) EXPECT_TRUE(result.ok) << result.error;

    const MediaProbe one = probeMedia(first), two = probeMedia(second);
    ASSERT_TRUE(one.ok && two.ok);
    EXPECT_EQ(one.formatName, "mpeg");
    EXPECT_EQ(one.videoCodec, "mpeg2video");
    EXPECT_EQ(one.audioCodec, "mp2");
    EXPECT_EQ(one.width, 320) << "the stream's own pictures, not scaled and encoded again";
    EXPECT_EQ(two.formatName, "mpeg");
    ASSERT_FALSE(one.videoPts.empty());
    ASSERT_FALSE(two.videoPts.empty());
    // The second part begins with the picture after the first part's last.
    EXPECT_EQ(two.videoPts.front() - one.videoPts.back(), 3600);
    // All but the wait for the first key picture (a group is 12 pictures).
    const double total = one.duration + two.duration;
    EXPECT_GT(total, 6.0 - 0.6);
    EXPECT_LT(total, 6.0 + 0.6);
    EXPECT_GT(maxVolumeDb(second), -30);
}

TEST_F(StreamCopyTest, CodecsAProgramStreamCannotHoldGoIntoMpegTs) {
    makeH264Clip(dir / "h264.ts", 20);
    openServed(dir / "h264.ts");
    record(dir / "copy.mpg", 4000);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0].ok) << closed[0].error;
    const MediaProbe probe = probeMedia(dir / "copy.mpg");
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.formatName, "mpegts");
    EXPECT_EQ(probe.videoCodec, "h264");
    EXPECT_EQ(probe.audioCodec, "aac");
    ASSERT_GE(probe.videoPts.size(), 2u);
    const double span = static_cast<double>(probe.videoPts.back() - probe.videoPts.front()) / 90000;
    EXPECT_GT(span, 4.0 - 1.1) << "all but the wait for the first key picture (one a second)";
    EXPECT_LT(span, 4.0 + 1.1);
}

TEST_F(StreamCopyTest, OtherSourcesEncodeWithTheCopyTemplate) {
    open(CaptureSource{});
    device->setRecordingTemplate(kCopyTemplate);
    record(dir / "pattern.mpg", 1000);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0].ok) << closed[0].error;
    const MediaProbe probe = probeMedia(dir / "pattern.mpg");
    EXPECT_EQ(probe.videoCodec, "mpeg2video");
    EXPECT_EQ(probe.width, 720);
    EXPECT_NEAR(probe.duration, 1.0, 0.1);
}

// Watched for a while, a channel with a key picture every 5 s is recorded
// from 7.5 s into its clip: the file begins with the key picture at 5 s
// (the one at or before the start), not the one at 10 s, and holds the
// limit's length.
TEST_F(StreamCopyTest, ARecordingBeginsWithTheKeyPictureAtOrBeforeItsStart) {
    const fs::path clip = dir / "channel.ts";
    makeBroadcastClip(clip, {.seconds = 20, .keyEverySeconds = 5});
    openChannel(clip);
    device->PrepareDevice();
    device->StartPreview();
    ASSERT_EQ(device->ReadyState(), CaptureDevice::Previewing) << device->lastError();
    runUntilChannelAt(7.5);
    device->setPreviewWhileCapturing(false);
    device->setCaptureElapsed(0);
    device->setCaptureLimit(4000);
    const auto requested = std::chrono::steady_clock::now();
    device->StartCapture((dir / "show.mpg").string());
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Recording)
        << "the stream delivers packets: the part records at once";
    ASSERT_TRUE(waitFor([&] { return !recording(); }, 10s));
    EXPECT_LT(std::chrono::steady_clock::now() - requested, 4s)
        << "begun before its start, the part reaches its limit before 4 s have passed";
    EXPECT_NEAR(static_cast<double>(device->CaptureElapsed()), 4000, 40);
    ASSERT_TRUE(waitFor([&] { return device->openFiles() == 0; }, 5s));
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0].ok) << closed[0].error;
    EXPECT_NEAR(static_cast<double>(closed[0].elapsedMs), 4000, 40);
    EXPECT_NEAR(probeMedia(dir / "show.mpg").duration, 4.0, 0.1);
    const CopyCheck check = compareWithSource(packetPrints(dir / "show.mpg"), packetPrints(clip));
    EXPECT_EQ(check.problem, "");
    EXPECT_EQ(check.firstPicture, 125u) << "the key picture at 5 s (the clip's 125th picture)";
}

// The recorder's split on a B-picture channel: the next part carries on
// with the key picture after the stop, and the two parts hold every packet
// the server sent between their ends, none twice.
TEST_F(StreamCopyTest, ASplitLosesNoPacketAndRepeatsNone) {
    const fs::path clip = dir / "channel.ts";
    makeBroadcastClip(clip, {.seconds = 20, .keyEverySeconds = 2, .bFrames = true});
    openChannel(clip);
    device->setPreviewWhileCapturing(false);
    const fs::path first = dir / "part1.mpg", second = dir / "part2.mpg";
    device->setCaptureElapsed(0);
    device->setCaptureLimit(6000);
    device->StartCapture(first.string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ASSERT_TRUE(waitFor([&] { return device->CaptureElapsed() >= 2500; }, 10s));
    const std::int64_t left = device->CaptureLimit() - device->CaptureElapsed();
    device->StopCapture();
    device->setCaptureElapsed(0);
    device->setCaptureLimit(left);
    device->StartCapture(second.string());
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Recording) << "a part that carries on records at once";
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 15s));
    ASSERT_EQ(closed.size(), 2u);
    for (const auto& result : closed) EXPECT_TRUE(result.ok) << result.error;
    const double one = probeMedia(first).duration, two = probeMedia(second).duration;
    EXPECT_NEAR(one + two, 6.0, 0.5);
    EXPECT_NEAR(static_cast<double>(closed[0].elapsedMs + closed[1].elapsedMs) / 1000, one + two, 0.15);
    const CopyCheck check = compareWithSource(packetPrintsOf({first, second}), packetPrints(clip));
    EXPECT_EQ(check.problem, "");
    EXPECT_TRUE(packetPrints(second).front().key) << "the second part begins with a key picture";
    EXPECT_EQ(decodeMedia(second).errors, "") << "and plays alone";
}

// A channel off the air for a while (viewers cut off, then refused) is asked
// for every second: the copy goes on in the same file from the first key
// picture back, the outage a hole that counts as a gap and as time gone by.
TEST_F(StreamCopyTest, ADroppedChannelGoesOnInTheSameFileFromItsFirstKeyPictureBack) {
    const fs::path clip = dir / "channel.ts", file = dir / "show.mpg";
    makeBroadcastClip(clip, {.seconds = 30, .keyEverySeconds = 5});
    openChannel(clip, "9-12.8");  // back 2.2 s before the key picture at 15 s
    device->setCaptureLimit(60000);
    device->StartCapture(file.string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    runUntilChannelAt(10);
    const std::int64_t atTen = device->CaptureElapsed();
    runUntilChannelAt(12.5);
    EXPECT_GT(device->CaptureElapsed() - atTen, 2000) << "the outage counts as time gone by";
    runUntilChannelAt(16.5);
    device->StopCapture();
    ASSERT_TRUE(waitFor([&] { return device->openFiles() == 0; }, 5s));
    ASSERT_EQ(closed.size(), 1u) << "one file";
    const auto prints = packetPrints(file);
    const auto back = picturesAfterHoles(prints);
    ASSERT_EQ(back.size(), 1u);
    const CopyCheck after =
        compareWithSource({prints.begin() + static_cast<long>(back[0]), prints.end()}, packetPrints(clip));
    EXPECT_EQ(after.firstPicture, 375u) << "the key picture at 15 s";
    EXPECT_EQ(decodeMedia(file).errors, "");
    EXPECT_EQ(device->sourceGaps().count, 1);
    EXPECT_NEAR(static_cast<double>(device->sourceGaps().ms), 6000, 700);
}

// An HLS live window (2-s segments, 4 of them) copied while this process
// stands still, as under SIGSTOP: for less than the window the copy holds
// every segment; for longer, what left the window is a gap, told and counted.
class FrozenHlsCopyTest : public StreamCopyTest, public ::testing::WithParamInterface<int> {};

TEST_P(FrozenHlsCopyTest, KeepsWhatIsStillInTheWindowAndTellsWhatLeftIt) {
    ScopedStateHome logHome;
    const int frozen = GetParam();
    const fs::path clip = dir / "clip.ts", file = dir / "copy.mpg", playlist = dir / "hls" / "live.m3u8";
    makeBroadcastClip(clip, {.seconds = 24, .keyEverySeconds = 2});
    fs::create_directories(dir / "hls");
    BackgroundProgram producer(findProgram("ffmpeg"), {"-v", "error", "-re", "-i", clip.string(), "-c", "copy", "-f",
                               "hls", "-hls_time", "2", "-hls_list_size", "4", "-hls_flags", "delete_segments+temp_file",
                               playlist.string()}, {});
    ASSERT_TRUE(waitFor([&] { return fs::exists(playlist); }, 10s));
    openServed(playlist);
    device->setCaptureLimit(60000);
    device->StartCapture(file.string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ui.runFor(1s);
    const std::string pid = std::to_string(::getpid()), sleep = std::to_string(frozen);
    BackgroundProgram freezer("/bin/sh", {"-c", "kill -STOP " + pid + "; sleep " + sleep + "; kill -CONT " + pid}, {});
    ui.runFor(std::chrono::seconds(frozen + 2));
    device->StopCapture();
    ASSERT_TRUE(waitFor([&] { return device->openFiles() == 0; }, 5s));
    const bool expired = frozen > 10;
    const auto prints = packetPrints(file);
    EXPECT_EQ(picturesAfterHoles(prints).size(), expired ? 1u : 0u) << logHome.logText();
    const CopyCheck check = compareWithSource(prints, packetPrints(clip));
    EXPECT_EQ(check.problem.empty(), !expired) << "every segment, unless some expired: " << check.problem;
    EXPECT_EQ(device->sourceGaps().count, expired ? 1 : 0);
    EXPECT_EQ(logHome.logText().find("skipped ahead: a gap of") != std::string::npos, expired);
}

INSTANTIATE_TEST_SUITE_P(LessAndMoreThanTheWindow, FrozenHlsCopyTest, ::testing::Values(3, 11));
