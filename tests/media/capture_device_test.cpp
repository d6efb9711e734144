#include "capture_device_fixture.h"
#include "support/small_disk.h"
#include "recorder/media/gst/pipeline_description.h"

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

TEST_F(CaptureDeviceTest, RecordsAProgramStreamAsLongAsTheLimit) {
    record(dir / "limit.mpg", 2000);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0].ok);
    EXPECT_EQ(closed[0].elapsedMs, 2000);
    EXPECT_EQ(device->CaptureElapsed(), 2000);
    EXPECT_EQ(device->ReadyState(), CaptureDevice::StreamReady);
    EXPECT_TRUE(boxes.shown.empty());

    const MediaProbe probe = probeMedia(dir / "limit.mpg");
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.formatName, "mpeg");
    EXPECT_EQ(probe.videoCodec, "mpeg2video");
    EXPECT_EQ(probe.audioCodec, "mp2");
    EXPECT_EQ(probe.width, 720);
    EXPECT_EQ(probe.height, 576);
    EXPECT_EQ(probe.sampleRate, 48000);
    EXPECT_NEAR(probe.duration, 2.0, 0.3);
    EXPECT_EQ(probe.videoPts.size(), 50u);
}

TEST_F(CaptureDeviceTest, StandardAndTemplateChooseTheEncoding) {
    device->setVideoStandard(CaptureDevice::NTSC);
    device->CommitVideoSettings();
    device->setRecordingTemplate("VCD Compatible");
    record(dir / "vcd.mpg", 1001);
    const MediaProbe probe = probeMedia(dir / "vcd.mpg");
    EXPECT_EQ(probe.width, 352);
    EXPECT_EQ(probe.height, 240);
    EXPECT_EQ(probe.sampleRate, 44100);
    EXPECT_EQ(probe.videoPts.size(), 30u);  // 29.97 frames a second

    device->setRecordingTemplate("no such template");  // the first precanned one
    device->setVideoStandard(CaptureDevice::PAL);
    device->CommitVideoSettings();
    record(dir / "dvd.mpg", 400);
    EXPECT_EQ(probeMedia(dir / "dvd.mpg").height, 576);
}

TEST_F(CaptureDeviceTest, SplitPartsPlayAloneAndJoinWithoutGapOrOverlap) {
    // A plain program stream: the DVD layout starts every file's clock anew.
    device->setRecordingTemplate("Long Play");
    device->StartPreview();
    ASSERT_EQ(device->ReadyState(), CaptureDevice::Previewing);
    std::vector<fs::path> files{dir / "part1.mpg"};
    device->setCaptureLimit(3000);
    device->setCaptureElapsed(0);
    device->StartCapture(files.back().string());
    ASSERT_TRUE(waitFor([&] { return recording(); }));
    while (files.size() < 3) {
        ASSERT_TRUE(waitFor([&] { return device->CaptureElapsed() >= 1000; }));
        const std::int64_t remaining = device->CaptureLimit() - device->CaptureElapsed();
        device->StopCapture();
        files.push_back(dir / ("part" + std::to_string(files.size() + 1) + ".mpg"));
        device->setCaptureElapsed(0);
        device->setCaptureLimit(remaining);
        device->StartCapture(files.back().string());
        EXPECT_EQ(device->ReadyState(), CaptureDevice::Recording);
        EXPECT_LT(device->CaptureElapsed(), 200);
    }
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 10s));
    ASSERT_EQ(closed.size(), 3u);
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Previewing);

    std::int64_t totalMs = 0;
    std::vector<MediaProbe> parts;
    for (const auto& file : files) {
        parts.push_back(probeMedia(file));
        ASSERT_TRUE(parts.back().ok) << file;
        ASSERT_FALSE(parts.back().videoPts.empty()) << file;
        // Decodes on its own without a single error.
        const auto decoded = runCommand("ffmpeg -v error -i " + shellQuoted(file.string()) +
                                        " -f null - 2>&1");
        EXPECT_EQ(decoded.status, 0);
        EXPECT_EQ(decoded.output, "") << file;
    }
    for (const auto& r : closed) totalMs += r.elapsedMs;
    EXPECT_EQ(totalMs, 3000);
    size_t frames = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        frames += parts[i].videoPts.size();
        const auto& pts = parts[i].videoPts;
        for (size_t k = 1; k < pts.size(); ++k) ASSERT_EQ(pts[k] - pts[k - 1], 3600);
        if (i == 0) continue;
        // The next part's first picture follows the last one of the part before.
        EXPECT_EQ(pts.front(), parts[i - 1].videoPts.back() + 3600);
        // Its sound starts within one layer II frame (24 ms) of where the
        // part before ended; that frame is padded with silence.
        const long long soundEnd = parts[i - 1].audioPts.back() + 2160;
        EXPECT_LE(std::llabs(parts[i].audioPts.front() - soundEnd), 2160);
    }
    EXPECT_EQ(frames, 75u);
}

TEST_F(CaptureDeviceTest, AnUnwritablePathNeverRecordsAndTheDeviceCarriesOn) {
    writeFile(dir / "plain-file", "x");
    device->StartCapture((dir / "plain-file" / "out.mpg").string());
    EXPECT_EQ(device->lastError(), "Cannot write " + (dir / "plain-file").string() + ": Not a directory");
    EXPECT_EQ(device->lastFault(), DeviceFault::Folder);
    ui.runFor(1200ms);
    EXPECT_NE(device->ReadyState(), CaptureDevice::Recording);
    EXPECT_EQ(std::count(states.begin(), states.end(), CaptureDevice::Recording), 0);
    EXPECT_EQ(device->openFiles(), 0);

    record(dir / "after.mpg", 400);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(closed[0].ok);
}

TEST_F(CaptureDeviceTest, AFullDiskEndsTheRecording) {
    const fs::path disk = dir / "disk";
    SmallDisk small(disk, "64k");
    if (!small.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here: " << small.why();
    device->StartPreview();
    device->setCaptureLimit(0);
    device->StartCapture((disk / "full.mpg").string());
    ASSERT_TRUE(waitFor([&] { return closed.size() == 1; }, 10s));
    EXPECT_FALSE(closed[0].ok);
    EXPECT_TRUE(waitFor([&] { return !recording(); }, 2s));
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Previewing);
    EXPECT_EQ(device->lastError(), "Cannot write " + disk.string() + ": No space left on device");
    EXPECT_EQ(device->lastFault(), DeviceFault::DiskFull);
    EXPECT_EQ(closed[0].error, device->lastError());
    EXPECT_EQ(closed[0].fault, DeviceFault::DiskFull);
    EXPECT_GT(fs::file_size(disk / "full.mpg"), 0u) << "what reached the disk is kept";
}

// A part stopped before its first picture leaves no file and frees its
// name at once; one stopped later keeps its file, and a part started under
// that name meanwhile is refused rather than emptying it. A part whose file
// was renamed never removes what stands under its old name.
TEST_F(CaptureDeviceTest, APartNeverTakesAnotherPartsFile) {
    device->StartPreview();
    const fs::path file = dir / "Show1[1.].mpg";
    device->setCaptureLimit(0);
    device->StartCapture(file.string());
    device->StopCapture();
    EXPECT_FALSE(fs::exists(file)) << "stopped before its first picture";
    record(file, 2000);
    ASSERT_EQ(closed.size(), 2u);
    EXPECT_TRUE(closed[1].ok) << closed[1].error;
    EXPECT_NEAR(probeMedia(file).duration, 2.0, 0.3);

    fs::rename(file, dir / "Show1[1.1].mpg");
    device->setCaptureLimit(0);
    device->StartCapture(file.string());
    ASSERT_TRUE(waitFor([&] { return recording(); }));
    ui.runFor(300ms);
    device->StopCapture();
    device->StartCapture(file.string());
    EXPECT_NE(device->lastError().find("exists already"), std::string::npos) << device->lastError();
    EXPECT_TRUE(waitFor([&] { return device->openFiles() == 0; }));
    EXPECT_GT(probeMedia(file).duration, 0.1) << "the stopped part's file is whole";
    EXPECT_NEAR(probeMedia(dir / "Show1[1.1].mpg").duration, 2.0, 0.3);
}

// A source that fails during a recording, as a capture card does when it
// is unplugged: what was recorded is finished and plays, and the device no
// longer reports recording.
TEST_F(CaptureDeviceTest, ASourceThatFailsMidRecordingFinishesTheFile) {
    PipelineSpec spec;
    spec.format = videoFormatFor(CaptureDevice::PAL);
    std::string description = describePipeline(spec);
    const auto balance = description.find("! videobalance");
    ASSERT_NE(balance, std::string::npos);
    description.insert(balance, "! identity error-after=60 ");
    device.reset();
    DeviceOptions options;
    options.registryKey = (dir / "device").string();
    options.audioMonitor = false;
    options.pipelineDescription = description;
    device = createCaptureDevice(CaptureSource{}, ui, boxes, options);
    ASSERT_TRUE(device);
    device->setFileListener([this](const FileResult& r) { closed.push_back(r); });

    device->setCaptureLimit(0);
    device->StartCapture((dir / "unplugged.mpg").string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ASSERT_TRUE(waitFor([&] { return closed.size() == 1; }, 10s));
    EXPECT_TRUE(waitFor([&] { return !recording(); }, 2s));
    EXPECT_NE(device->ReadyState(), CaptureDevice::Recording);
    EXPECT_EQ(device->lastFault(), DeviceFault::Source) << device->lastError();
    const MediaProbe probe = probeMedia(dir / "unplugged.mpg");
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.videoCodec, "mpeg2video");
    EXPECT_GT(probe.videoPts.size(), 10u);
    EXPECT_LE(probe.videoPts.size(), 60u);
}

TEST_F(CaptureDeviceTest, ReadyStateFollowsPreviewAndPreparation) {
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Idle);
    device->PrepareDevice();
    EXPECT_EQ(device->ReadyState(), CaptureDevice::StreamReady);
    device->StartPreview();
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Previewing);
    device->PrepareDevice();  // while previewing: no change
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Previewing);
    device->StopPreview();
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Idle);
    // One notice per change, each on this thread once it runs its tasks.
    EXPECT_TRUE(states.empty());
    ui.runFor(50ms);
    EXPECT_EQ(states.size(), 3u);
}

TEST(CaptureDeviceFactory, ShowsTheMissingCardMessageWhenElementsAreMissing) {
    TempDir dir;
    QueuedDispatcher ui;
    for (const char* description : {"videotestsrc ! kelbo_no_such_element ! fakesink",
                                    "videotestsrc ! fakesink"}) {
        RecordingMessageBoxes boxes;
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.pipelineDescription = description;
        EXPECT_FALSE(createCaptureDevice(CaptureSource{}, ui, boxes, options)) << description;
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(boxes.shown[0].text, "You do not have a Dazzle DVCII card installed!");
        EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
        EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    }
}
