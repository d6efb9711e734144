#include "capture_device_fixture.h"

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

// What the authoring tool said that is not plain progress: its warnings and
// errors, one a line.
std::string complaints(const std::string& output) {
    std::string found;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        if (line.find("WARN") != std::string::npos || line.find("ERR") != std::string::npos)
            found += line + "\n";
        start = end + 1;
    }
    return found;
}

// dvdauthor makes one title of the files, in order, as for a PAL disc.
CommandResult authorDvd(const fs::path& out, const std::vector<fs::path>& files) {
    std::string command = "VIDEO_FORMAT=PAL dvdauthor -o " + shellQuoted(out.string()) + " -t";
    for (const auto& file : files) command += " " + shellQuoted(file.string());
    return runCommand(command + " 2>&1");
}

CommandResult authorVcd(const fs::path& out, const fs::path& file) {
    return runCommand("vcdimager -t vcd2 -c " + shellQuoted((out / "vcd.cue").string()) + " -b " +
                      shellQuoted((out / "vcd.bin").string()) + " " + shellQuoted(file.string()) +
                      " 2>&1");
}

}  // namespace

TEST_F(CaptureDeviceTest, DvdTemplatesRecordWhatDvdauthorTakesWithoutAWarning) {
    for (const std::string name : {"DVD Full Quality", "DVD Half Resolution"}) {
        device->setRecordingTemplate(name);
        const fs::path file = dir / (name + ".mpg");
        record(file, 2000);
        const MediaProbe probe = probeMedia(file);
        EXPECT_EQ(probe.videoCodec, "mpeg2video") << name;
        const auto authored = authorDvd(dir / (name + " disc"), {file});
        EXPECT_EQ(authored.status, 0) << name << "\n" << authored.output;
        EXPECT_EQ(complaints(authored.output), "") << name;
    }
}

TEST_F(CaptureDeviceTest, ThePartsOfASplitDvdRecordingMakeOneTitleInOrder) {
    device->setRecordingTemplate("DVD Full Quality");
    std::vector<fs::path> files{dir / "part1.mpg"};
    device->setCaptureLimit(3000);
    device->setCaptureElapsed(0);
    device->StartCapture(files.back().string());
    ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
    ASSERT_TRUE(waitFor([&] { return device->CaptureElapsed() >= 1500; }));
    const std::int64_t remaining = device->CaptureLimit() - device->CaptureElapsed();
    device->StopCapture();
    files.push_back(dir / "part2.mpg");
    device->setCaptureElapsed(0);
    device->setCaptureLimit(remaining);
    device->StartCapture(files.back().string());
    ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 10s));
    ASSERT_EQ(closed.size(), 2u);

    const auto authored = authorDvd(dir / "disc", files);
    EXPECT_EQ(authored.status, 0) << authored.output;
    EXPECT_EQ(complaints(authored.output), "");
}

TEST_F(CaptureDeviceTest, TheVcdTemplateRecordsWhatVcdimagerTakesWithoutAWarning) {
    device->setRecordingTemplate("VCD Compatible");
    for (const auto standard : {CaptureDevice::PAL, CaptureDevice::NTSC}) {
        device->setVideoStandard(standard);
        device->CommitVideoSettings();
        const bool pal = standard == CaptureDevice::PAL;
        const fs::path file = dir / (pal ? "pal.mpg" : "ntsc.mpg");
        record(file, 2000);
        const MediaProbe probe = probeMedia(file);
        EXPECT_EQ(probe.videoCodec, "mpeg1video");
        EXPECT_EQ(probe.width, 352);
        EXPECT_EQ(probe.height, pal ? 288 : 240);
        EXPECT_EQ(probe.audioCodec, "mp2");
        EXPECT_EQ(probe.sampleRate, 44100);
        // A constant rate, give or take what the player's 40 kB buffer
        // holds at the start of these two seconds.
        const double kbps = probe.videoKbps(pal ? 25 : 30000.0 / 1001);
        EXPECT_GE(kbps, 1150 * 0.95) << file;
        EXPECT_LE(kbps, 1150 + 327.68 / 2) << file;

        const fs::path out = dir / (pal ? "pal disc" : "ntsc disc");
        fs::create_directories(out);
        const auto authored = authorVcd(out, file);
        EXPECT_EQ(authored.status, 0) << authored.output;
        EXPECT_EQ(complaints(authored.output), "") << file;
    }
}
