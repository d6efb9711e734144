#include "capture_device_fixture.h"

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

// One second of faint picture noise and a tone, stored uncompressed so that
// playing it costs next to nothing. Every picture is new to the encoder,
// which could spend far more than the template's peak rate on it: only its
// rate control keeps the average.
fs::path makeNoise(const fs::path& folder) {
    const fs::path file = folder / "noise.nut";
    const auto made = runCommand(
        "ffmpeg -v error -f lavfi -i \"nullsrc=s=720x576:r=25,"
        "geq=lum='128+24*(random(1)-0.5)':cb=128:cr=128\" "
        "-f lavfi -i sine=frequency=440:sample_rate=48000 -t 1 -ac 2 -c:v rawvideo "
        "-pix_fmt yuv420p -c:a pcm_s16le " + shellQuoted(file.string()));
    return made.status == 0 ? file : fs::path();
}

// The default template's settings given to ffmpeg, for a fresh encode of
// the same pictures.
double freshEncodeKbps(const fs::path& noise, const fs::path& out, int frames) {
    const auto made = runCommand(
        "ffmpeg -v error -stream_loop -1 -i " + shellQuoted(noise.string()) + " -frames:v " +
        std::to_string(frames) +
        " -an -c:v mpeg2video -threads 1 -b:v 6000k -maxrate 9000k -bufsize 1835008 -g 12 -bf 0"
        " -flags +cgop -sc_threshold 1000000000 -f vob " + shellQuoted(out.string()));
    return made.status == 0 ? probeMedia(out).videoKbps(25) : 0;
}

}  // namespace

TEST_F(CaptureDeviceTest, EveryPartOfASplitRecordingKeepsTheTemplatesAverageRate) {
    const fs::path noise = makeNoise(dir.path());
    ASSERT_FALSE(noise.empty());
    open(CaptureSource{CaptureSource::Kind::File, noise.string()});
    constexpr std::int64_t kPartMs = 3000;
    std::vector<fs::path> files{dir / "part1.mpg"};
    device->setCaptureLimit(3 * kPartMs);
    device->setCaptureElapsed(0);
    device->StartCapture(files.back().string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    while (files.size() < 3) {
        ASSERT_TRUE(waitFor([&] { return device->CaptureElapsed() >= kPartMs; }, 10s));
        const std::int64_t remaining = device->CaptureLimit() - device->CaptureElapsed();
        device->StopCapture();
        files.push_back(dir / ("part" + std::to_string(files.size() + 1) + ".mpg"));
        device->setCaptureElapsed(0);
        device->setCaptureLimit(remaining);
        device->StartCapture(files.back().string());
    }
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 15s));
    ASSERT_EQ(closed.size(), 3u);

    const double fresh = freshEncodeKbps(noise, dir / "fresh.mpg", 75);
    EXPECT_NEAR(fresh, 6000, 300);
    for (const auto& file : files) {
        const MediaProbe probe = probeMedia(file);
        ASSERT_TRUE(probe.ok) << file;
        ASSERT_GE(probe.videoPts.size(), 50u) << file;
        const double kbps = probe.videoKbps(25);
        EXPECT_NEAR(kbps, 6000, 300) << file;
        EXPECT_NEAR(kbps, fresh, fresh * 0.05) << file;
    }
}
