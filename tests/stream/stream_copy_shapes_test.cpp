// "Original stream (no re-encoding)" recorded with kelbo-capture, as a user
// would, from the shapes broadcasts have: long groups of pictures, B
// pictures, HLS with 6 s segments, an HLS discontinuity. Each file is held
// against what the server sent, packet by packet.
#include "copy_check.h"
#include "media/media_probe.h"
#include "stream_servers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;

namespace fs = std::filesystem;

namespace {

constexpr double kSoundPacketSeconds = 1024.0 / 48000;

struct Capture {
    int status = -1;
    std::string output;                                     // standard output and error
    std::vector<std::pair<std::int64_t, fs::path>> files;   // printed media time and path
};

Capture kelboCapture(const TempDir& dir, const std::string& url, const std::string& options,
                     const fs::path& file) {
    Capture capture;
    const auto result = runCommand(
        "XDG_DATA_HOME=" + shellQuoted(dir.path().string()) + " XDG_CONFIG_HOME=" +
        shellQuoted(dir.path().string()) + " XDG_STATE_HOME=" + shellQuoted(dir.path().string()) +
        " " KELBO_BUILD_DIR "/kelbo-capture --source " + shellQuoted(url) +
        " --template 'Original stream (no re-encoding)' " + options + " " + shellQuoted(file.string()) + " 2>&1");
    capture.status = result.status;
    capture.output = result.output;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || line.find_first_not_of("0123456789") != tab) continue;
        capture.files.emplace_back(std::stoll(line.substr(0, tab)), line.substr(tab + 1));
    }
    return capture;
}

// One file recorded for `seconds`: its length, what the tool printed, and
// its packets against the source's.
void expectWholeCopy(const Capture& capture, double seconds, const std::vector<PacketPrint>& source,
                     const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(capture.status, 0) << capture.output;
    ASSERT_EQ(capture.files.size(), 1u) << capture.output;
    const fs::path& file = capture.files[0].second;
    const MediaProbe probe = probeMedia(file);
    ASSERT_TRUE(probe.ok);
    EXPECT_NEAR(probe.duration, seconds, 0.5) << "the whole limit, on every group length";
    EXPECT_NEAR(static_cast<double>(capture.files[0].first) / 1000, probe.duration, 0.1)
        << "the printed time is the media in the file";
    const DecodedMedia decoded = decodeMedia(file);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.errors, "");
    const auto prints = packetPrints(file);
    const CopyCheck check = compareWithSource(prints, source);
    EXPECT_EQ(check.problem, "");
    EXPECT_NEAR(static_cast<double>(check.pictures), seconds * 25, 13) << "each picture at its own time";
    long long sound = -1;
    for (const auto& packet : prints) {
        if (packet.video) continue;
        EXPECT_GT(packet.pts, sound) << "the sound's time stamps rise";
        sound = packet.pts;
    }
    EXPECT_NEAR(static_cast<double>(check.sounds) * kSoundPacketSeconds, static_cast<double>(check.pictures) / 25,
                0.15)
        << "every sound packet that goes with the pictures";
}

// A channel's shape, and whether the preview is on while it is copied.
struct Shape {
    int keyEverySeconds;
    bool bFrames;
    bool preview;
    bool throughClockWrap = false;  // MPEG's 33-bit clock wraps round 4 s into the channel
};

std::string nameOf(const ::testing::TestParamInfo<Shape>& info) {
    return "KeyEvery" + std::to_string(info.param.keyEverySeconds) + "s" +
           (info.param.bFrames ? "WithBPictures" : "") + (info.param.preview ? "Watched" : "Unwatched") +
           (info.param.throughClockWrap ? "ThroughTheClockWrap" : "");
}

class CopyOfAChannel : public ::testing::TestWithParam<Shape> {};

}  // namespace

// A head end's H.264/AAC channel with a key picture every 2, 5 or 6 s, or
// with B pictures, joined between two key pictures. Without preview nothing
// is decoded and the start must not wait for a key picture (or for a B
// picture's reordering); with preview no sound packet may be lost. Either
// way the file holds the limit's length. Joined just before MPEG's clock
// wraps round (FFmpeg gives the times before the wrap below zero), the
// copy is whole all the same.
TEST_P(CopyOfAChannel, HoldsTheWholeLimitAndEveryPacket) {
    const Shape shape = GetParam();
    TempDir dir;
    const fs::path clip = dir / "channel.ts";
    makeBroadcastClip(clip, {.seconds = 20, .keyEverySeconds = shape.keyEverySeconds, .bFrames = shape.bFrames});
    const int port = freePort();
    // 2^33 ticks of 90 kHz are 95443.7 s; the sender adds 1.4 s.
    const std::vector<std::string> clockAt{"-output_ts_offset", "95438"};
    TestServer server = TestServer::liveChannel(clip, port, {}, shape.throughClockWrap ? clockAt : std::vector<std::string>{});
    ASSERT_TRUE(server.running());
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/live.ts";
    expectWholeCopy(kelboCapture(dir, url, shape.preview ? "--seconds 5" : "--no-preview --seconds 5",
                                 dir / "show.mpg"),
                    5, packetPrints(clip), nameOf({shape, 0}));
}

INSTANTIATE_TEST_SUITE_P(Shapes, CopyOfAChannel,
                         ::testing::Values(Shape{2, false, false}, Shape{2, false, true}, Shape{5, false, false},
                                           Shape{5, false, true}, Shape{6, false, false}, Shape{6, false, true},
                                           Shape{2, true, false}, Shape{2, true, true}, Shape{2, false, false, true}),
                         nameOf);

TEST(CopyShapes, HlsWithSixSecondSegmentsStartsAtOnce) {
    TempDir dir;
    const fs::path clip = dir / "channel.ts";
    makeBroadcastClip(clip, {.seconds = 24, .keyEverySeconds = 6});
    fs::create_directories(dir / "hls");
    makeHls(clip, dir / "hls", "channel", 6);
    const int port = freePort();
    TestServer server = TestServer::http(dir / "hls", port);
    ASSERT_TRUE(server.running());
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/channel.m3u8";
    expectWholeCopy(kelboCapture(dir, url, "--no-preview --seconds 8", dir / "hls.mpg"), 8, packetPrints(clip),
                    "HLS");
}

// The second half of the playlist is another encoding: a smaller picture,
// sound at 44.1 kHz, time stamps 1000 s on, and B pictures throughout. The
// recording carries on through it in the same file (MPEG-TS carries both
// changes), with every packet of both halves.
TEST(CopyShapes, AnHlsDiscontinuityContinuesTheRecording) {
    TempDir dir;
    const fs::path first = dir / "first.ts", second = dir / "second.ts";
    makeBroadcastClip(first, {.seconds = 6, .keyEverySeconds = 2, .bFrames = true});
    makeBroadcastClip(second, {.seconds = 12, .keyEverySeconds = 2, .bFrames = true, .size = "256x144",
                               .sampleRate = 44100, .timeOffsetSeconds = 1000});
    fs::create_directories(dir / "hls");
    makeHlsWithDiscontinuity(first, second, dir / "hls", "channel", 6);
    auto source = packetPrints(first);
    const auto more = packetPrints(second);
    source.insert(source.end(), more.begin(), more.end());
    const int port = freePort();
    TestServer server = TestServer::http(dir / "hls", port);
    ASSERT_TRUE(server.running());
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/channel.m3u8";
    const Capture capture = kelboCapture(dir, url, "--no-preview --seconds 10", dir / "through.mpg");
    ASSERT_EQ(capture.status, 0) << capture.output;
    ASSERT_EQ(capture.files.size(), 1u) << capture.output;
    const fs::path file = capture.files[0].second;
    EXPECT_NEAR(probeMedia(file).duration, 10, 0.5);
    EXPECT_NEAR(static_cast<double>(capture.files[0].first) / 1000, 10, 0.5);
    const DecodedMedia decoded = decodeMedia(file);
    EXPECT_EQ(decoded.errors, "");
    EXPECT_EQ(decoded.sizes, (std::vector<std::pair<int, int>>{{320, 180}, {256, 144}}));
    EXPECT_EQ(decoded.sampleRates, (std::vector<int>{48000, 44100}));
    EXPECT_NEAR(decoded.soundSeconds, static_cast<double>(decoded.pictures) / 25, 0.15)
        << "no sound lost at the discontinuity";
    const auto recorded = packetPrints(file);
    EXPECT_EQ(compareWithSource(recorded, source).problem, "");
    long long last = -1;
    for (const auto& packet : recorded) {
        if (packet.video) continue;
        EXPECT_GT(packet.pts, last) << "the sound's time stamps rise through the discontinuity";
        last = packet.pts;
    }
}

// A server that takes the connection and then says nothing.
TEST(CopyShapes, AStartThatFailsSaysWhy) {
    TempDir dir;
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t size = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/silent.ts";
    const fs::path file = dir / "silent.mpg";
    const Capture capture = kelboCapture(dir, url, "--no-preview --seconds 3", file);
    ::close(listener);
    EXPECT_EQ(capture.status, 1);
    const std::string prefix = "kelbo-capture: cannot record to " + file.string() + ": ";
    const auto at = capture.output.find(prefix);
    ASSERT_NE(at, std::string::npos) << capture.output;
    const std::string reason = capture.output.substr(at + prefix.size(), capture.output.find('\n', at) - at - prefix.size());
    EXPECT_FALSE(reason.empty()) << capture.output;
    EXPECT_FALSE(fs::exists(file)) << "no empty file is left behind";
}
