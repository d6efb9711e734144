#include "capture_device_fixture.h"

#include <cmath>
#include <cstring>
#include <set>
#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

TEST_F(CaptureDeviceTest, BrightnessChangesTheRecordedPicture) {
    device->StartPreview();
    device->setBrightness(2000);
    record(dir / "dark.mpg", 400);
    device->setBrightness(8000);
    record(dir / "bright.mpg", 400);
    const double dark = meanLuma(dir / "dark.mpg", 5);
    const double bright = meanLuma(dir / "bright.mpg", 5);
    ASSERT_GE(dark, 0);
    EXPECT_GT(bright, dark + 40);
    EXPECT_EQ(device->Brightness(), 8000);
}

TEST_F(CaptureDeviceTest, PreviewFramesArriveWhileRecording) {
    int frames = 0;
    bool wellFormed = true;
    device->setPreviewSink([&](const PreviewFrame& f) {
        ++frames;
        wellFormed = wellFormed && f.width == 320 && f.height == 240 && f.stride >= 1280 &&
                     f.pixels.size() >= static_cast<size_t>(f.stride) * 239 + 1280;
    });
    device->setPreviewWhileCapturing(true);
    device->setCaptureLimit(2000);
    device->StartCapture((dir / "watched.mpg").string());
    ASSERT_TRUE(waitFor([&] { return recording(); }));
    const int before = frames;
    ASSERT_TRUE(waitFor([&] { return !recording(); }));
    // Half the picture rate: 25 in two seconds, give or take the edges.
    EXPECT_GE(frames - before, 15);
    EXPECT_LE(frames - before, 30);
    EXPECT_TRUE(wellFormed);

    // Without preview while capturing, the next recording shows nothing.
    device->setPreviewWhileCapturing(false);
    device->setCaptureElapsed(0);
    device->StartCapture((dir / "unwatched.mpg").string());
    ASSERT_TRUE(waitFor([&] { return recording(); }));
    ui.runFor(100ms);
    const int quiet = frames;
    ASSERT_TRUE(waitFor([&] { return !recording(); }));
    EXPECT_EQ(frames, quiet);
}


// The window asks for pictures at its own size, ready to paint: 32-bit
// 0xffRRGGBB pixels (Qt's Format_RGB32).
TEST_F(CaptureDeviceTest, PreviewFramesComeAtTheSizeTheyAreAskedFor) {
    PreviewFrame last;
    device->setPreviewSink([&](const PreviewFrame& f) { last = f; });
    device->StartPreview();
    ASSERT_TRUE(waitFor([&] { return last.width == 320; }));
    device->setPreviewSize(200, 150);
    ASSERT_TRUE(waitFor([&] { return last.width == 200; })) << last.width;
    EXPECT_EQ(last.height, 150);
    ASSERT_GE(last.stride, 800);
    ASSERT_GE(last.pixels.size(), static_cast<size_t>(last.stride) * 149 + 800);
    bool opaque = true;
    for (int y = 0; y < last.height; ++y)
        for (int x = 0; x < last.width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, last.pixels.data() + y * last.stride + x * 4, 4);
            opaque = opaque && (pixel >> 24) == 0xff;
        }
    EXPECT_TRUE(opaque);

    // The size holds for the next run of the stream.
    device->StopPreview();
    device->StartPreview();
    last = {};
    ASSERT_TRUE(waitFor([&] { return last.width > 0; }));
    EXPECT_EQ(last.width, 200);
}

TEST_F(CaptureDeviceTest, VolumeScalesTheRecordedSoundAndMuteOnlySilencesListening) {
    // A change acts on sound produced after it; let the blocks already on
    // their way pass first.
    device->StartPreview();
    record(dir / "full.mpg", 400);
    device->setVolume(0);
    ui.runFor(100ms);
    record(dir / "none.mpg", 400);
    device->setVolume(10000);
    device->setMuteAudio(true);
    ui.runFor(100ms);
    record(dir / "muted.mpg", 400);

    const double full = maxVolumeDb(dir / "full.mpg");
    EXPECT_GT(full, -20);
    EXPECT_LT(maxVolumeDb(dir / "none.mpg"), -60);
    EXPECT_NEAR(maxVolumeDb(dir / "muted.mpg"), full, 3);
}

TEST_F(CaptureDeviceTest, AMediaFilePlaysAsIfLiveAndStartsOverAtItsEnd) {
    const fs::path sample = dir / "sample.mpg";
    const auto made = runCommand(
        "ffmpeg -v error -f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi "
        "-i sine=frequency=440:sample_rate=48000 -t 1 -ac 2 -c:v mpeg2video -q:v 3 -c:a mp2 "
        "-f vob " + shellQuoted(sample.string()));
    ASSERT_EQ(made.status, 0);
    open(CaptureSource{CaptureSource::Kind::File, sample.string()});
    const auto began = std::chrono::steady_clock::now();
    record(dir / "from-file.mpg", 1800);
    // Paced by the clock, not read as fast as it decodes.
    EXPECT_GE(std::chrono::steady_clock::now() - began, 1700ms);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].elapsedMs, 1800);
    const MediaProbe probe = probeMedia(dir / "from-file.mpg");
    EXPECT_EQ(probe.videoPts.size(), 45u);
    EXPECT_NEAR(probe.duration, 1.8, 0.3);
    EXPECT_GT(maxVolumeDb(dir / "from-file.mpg"), -40);
}

// A file whose pictures stop for a while (pictures 20 to 34 are missing)
// but whose sound goes on: the recording repeats the last picture over the
// gap, so picture and sound stay together. Each picture's brightness tells
// which picture of the file it is.
TEST_F(CaptureDeviceTest, AGapInAFilesPicturesIsFilledWithTheLastPicture) {
    const fs::path sample = dir / "gap.mpg";
    ASSERT_EQ(runCommand("ffmpeg -v error -f lavfi "
                         "-i \"nullsrc=s=720x576:r=25,geq=lum='16+4*N':cb=128:cr=128\" -f lavfi "
                         "-i sine=frequency=440:sample_rate=48000 -t 2 -ac 2 "
                         "-vf \"select='not(between(n,20,34))'\" -fps_mode passthrough "
                         "-c:v mpeg2video -q:v 2 -c:a mp2 -f vob " +
                         shellQuoted(sample.string()))
                  .status,
              0);
    ASSERT_EQ(probeMedia(sample).videoPts.size(), 35u) << "the sample has its gap";
    open(CaptureSource{CaptureSource::Kind::File, sample.string()});
    const fs::path recorded = dir / "gap-recorded.mpg";
    record(recorded, 1800);
    const MediaProbe probe = probeMedia(recorded);
    ASSERT_EQ(probe.videoPts.size(), 45u);
    ASSERT_GE(probe.audioPts.size(), 2u);
    const double pictures =
        static_cast<double>(probe.videoPts.back() - probe.videoPts.front()) / 90000.0 + 0.04;
    const double sound =
        static_cast<double>(probe.audioPts.back() - probe.audioPts.front()) / 90000.0 + 0.024;
    EXPECT_NEAR(sound, pictures, 0.1);

    // meanLuma reads full-range grey: 0 for the file's level 16, 255 for 235.
    auto filePicture = [&](int frame) { return meanLuma(recorded, frame) * 219 / 255 / 4; };
    const double first = filePicture(0);  // the recording starts a little into the file
    ASSERT_GE(first, -0.5);
    ASSERT_LE(first, 8.5);
    const int offset = static_cast<int>(std::lround(first));
    EXPECT_NEAR(filePicture(27 - offset), 19, 0.4) << "the last picture before the gap";
    EXPECT_NEAR(filePicture(40 - offset), 40, 0.4) << "on time after the gap";
}

TEST_F(CaptureDeviceTest, AMissingMediaFileIsNoVideoSource) {
    open(CaptureSource{CaptureSource::Kind::File, (dir / "missing.mpg").string()});
    device->PrepareDevice();
    device->StartPreview();
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Idle);
    EXPECT_NE(device->lastError().find("missing.mpg"), std::string::npos);
    EXPECT_EQ(device->lastFault(), DeviceFault::Source);
}

// The embedded test source replays one precomputed picture and tone: the
// picture must still move from one frame to the next, the tone sound at a
// quarter of full scale (-12 dBFS).
TEST_F(CaptureDeviceTest, TheTestPatternMovesAndSoundsItsTone) {
    record(dir / "pattern.mpg", 400);
    const auto frames = runCommand("ffmpeg -v error -i " + shellQuoted((dir / "pattern.mpg").string()) +
                                   " -map 0:v -f framemd5 - | grep -v '^#' | awk -F, '{print $6}'");
    ASSERT_EQ(frames.status, 0);
    std::istringstream lines(frames.output);
    std::set<std::string> distinct;
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) distinct.insert(line);
    EXPECT_EQ(count, 10);
    EXPECT_EQ(distinct.size(), 10u) << "every picture differs from the others";
    EXPECT_NEAR(maxVolumeDb(dir / "pattern.mpg"), -12, 1.5);
}

TEST_F(CaptureDeviceTest, TheTwoTestInputsShowDifferentPictures) {
    // As the Options dialog applies a new input while previewing.
    device->StartPreview();
    record(dir / "composite.mpg", 400);
    device->StopPreview();
    device->setVideoSource(CaptureDevice::SVideo);
    device->CommitVideoSettings();
    device->PrepareDevice();
    device->StartPreview();
    ASSERT_EQ(device->ReadyState(), CaptureDevice::Previewing);
    record(dir / "svideo.mpg", 400);
    // Colour bars are bright; the bouncing ball moves on black.
    EXPECT_GT(meanLuma(dir / "composite.mpg", 5), meanLuma(dir / "svideo.mpg", 5) + 50);
}

TEST_F(CaptureDeviceTest, AMediaFilesPicturesAreRecordedAsTheyAreInEveryLayout) {
    // Still colour bars, so that any picture of the recording can be
    // compared with the original one: a plane read with the wrong stride or
    // offset shears or shifts the picture and loses the likeness.
    const fs::path still = dir / "still.png";
    ASSERT_EQ(runCommand("ffmpeg -v error -f lavfi -i smptehdbars=size=720x576 -frames:v 1 " +
                         shellQuoted(still.string()))
                  .status,
              0);
    const std::vector<std::pair<std::string, std::string>> layouts = {
        {"planar.mpg", "-c:v mpeg2video -q:v 2 -f vob"},  // the decoder pads its lines
        {"packed.nut", "-c:v rawvideo -pix_fmt yuyv422"},
        {"converted.nut", "-c:v rawvideo -pix_fmt yuv410p"},  // GStreamer does not take it
    };
    for (const auto& [name, options] : layouts) {
        const fs::path sample = dir / name;
        ASSERT_EQ(runCommand("ffmpeg -v error -loop 1 -r 25 -i " + shellQuoted(still.string()) +
                             " -f lavfi -i sine=sample_rate=48000 -t 1 -ac 2 " + options + " " +
                             shellQuoted(sample.string()))
                      .status,
                  0)
            << name;
        open(CaptureSource{CaptureSource::Kind::File, sample.string()});
        const fs::path recorded = dir / (name + ".mpg");
        record(recorded, 1000);
        const auto compared = runCommand(
            "ffmpeg -hide_banner -nostats -i " + shellQuoted(recorded.string()) + " -i " +
            shellQuoted(still.string()) + " -lavfi '[0:v][1:v]psnr' -f null - 2>&1");
        const auto at = compared.output.find("average:");
        ASSERT_NE(at, std::string::npos) << name << "\n" << compared.output;
        EXPECT_GT(std::stod(compared.output.substr(at + 8)), 28) << name;
    }
}
