// The kind of failure the device gives beside its words decides how the
// recording goes on: a full disk waits for room, even one whose free space
// does not show it (a quota); a folder is told as the folder, however
// little room the disk has; a channel the device cannot tune to says why.
// A fixed clock moved tick by tick and a scripted device.
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);
constexpr std::uintmax_t kPlenty = 500ull * 1024 * 1024 * 1024;
// Room for a start, not for a minute at the default template's 6 Mbit/s.
constexpr std::uintmax_t kLittle = 20ull * 1024 * 1024;

class DeviceFaultsTest : public ::testing::Test {
protected:
    DeviceFaultsTest() : rig(kEight.plusMinutes(-60)) {
        rig.session.freeSpace = [this](const std::string&) { return std::optional(freeBytes); };
    }
    void startFilmAtEight(int minutes = 30) {
        rig.loadProgrammes({programme("Film", kEight, minutes)});
        rig.clock.set(toInstant(kEight) + 400ms);
        rig.tick();
    }
    std::string cannotWrite(const std::string& why) const { return "Cannot write " + rig.movies().string() + ": " + why; }
    int starts() const { return rig.device.count("StartCapture"); }
    std::vector<std::string> titles() const { return rig.messages.titles(); }

    std::uintmax_t freeBytes = kPlenty;
    RecorderRig rig;
};

}  // namespace

// The user's quota is used up while the disk has room: the write error is
// told once, and the retries wait a minute each, as the free space cannot
// say when files fit again.
TEST_F(DeviceFaultsTest, AFullDiskTheFreeSpaceDoesNotShowIsToldAndRetriedAfterAWait) {
    startFilmAtEight();
    rig.run(10s);
    ASSERT_EQ(rig.cell(1, Column::Status), "Recording");
    rig.device.failWrite(cannotWrite("Disk quota exceeded"), DeviceFault::DiskFull);
    rig.run(5s);
    ASSERT_EQ(titles(), std::vector<std::string>{"Recording stopped"});
    EXPECT_NE(rig.messages.shown[0].text.find("Disk quota exceeded"), std::string::npos);
    EXPECT_EQ(starts(), 1) << "no restart straight into the same quota";
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_EQ(rig.status.Status(), "Failing: " + cannotWrite("Disk quota exceeded"));

    rig.run(1min);
    EXPECT_EQ(starts(), 2) << "tried again once the wait is over";
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(titles().size(), 1u);
}

// A part the folder stopped taking (an unplugged disk, a lost permission)
// is no full disk, even with little room left: the retry is not held back
// waiting for room, and no "Disk full" is told.
TEST_F(DeviceFaultsTest, AFolderFailureIsNoFullDiskThoughRoomIsShort) {
    freeBytes = kLittle;
    startFilmAtEight(3);
    rig.run(10s);
    rig.device.failWrite(cannotWrite("Input/output error"), DeviceFault::Folder);
    rig.run(2s);
    const auto told = titles();
    EXPECT_EQ(std::count(told.begin(), told.end(), "Recording stopped"), 1) << ::testing::PrintToString(told);
    EXPECT_EQ(std::count(told.begin(), told.end(), "Disk full"), 0) << ::testing::PrintToString(told);
    EXPECT_EQ(starts(), 2) << "the recording is taken up again at once";
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");

    // The same stop without a kind may be a full disk: it waits for room.
    rig.device.failWrite(cannotWrite("Input/output error"));
    rig.run(5s);
    EXPECT_EQ(starts(), 2);
    EXPECT_EQ(rig.status.Status().rfind("Failing: " + (rig.movies() / "").string() + " has only 20", 0), 0u)
        << rig.status.Status();
}

// Starts the device refuses for the folder or the disk: told once as such,
// never as a device without picture.
TEST_F(DeviceFaultsTest, StartsRefusedForTheFolderOrTheDiskAreToldAsSuch) {
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    rig.device.error = cannotWrite("Permission denied");
    rig.device.fault = DeviceFault::Folder;
    startFilmAtEight();
    rig.run(1min);
    ASSERT_EQ(titles(), std::vector<std::string>{"Error creating file"});
    EXPECT_NE(rig.messages.shown[0].text.find("Permission denied"), std::string::npos);
    EXPECT_EQ(rig.status.Status(), "Failing: " + cannotWrite("Permission denied"));
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_GT(starts(), 10) << "the folder is tried again at every tick";

    RecorderRig quota(kEight.plusMinutes(-60));
    quota.session.freeSpace = [](const std::string&) { return std::optional(kPlenty); };
    quota.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    quota.device.error = cannotWrite("Disk quota exceeded");
    quota.device.fault = DeviceFault::DiskFull;
    quota.loadProgrammes({programme("Film", kEight, 30)});
    quota.clock.set(toInstant(kEight) + 400ms);
    quota.run(90s);
    std::vector<std::string> told;
    for (const auto& shown : quota.messages.shown) told.push_back(shown.title);
    ASSERT_EQ(told, std::vector<std::string>{"Disk full"});
    EXPECT_NE(quota.messages.shown[0].text.find("Disk quota exceeded"), std::string::npos);
    EXPECT_EQ(quota.device.count("StartCapture"), 2) << "once, and again after a minute";
    EXPECT_EQ(quota.cell(1, Column::Status), "Failed");
}

// The device's reason for not tuning goes with the channel's notice.
TEST_F(DeviceFaultsTest, AChannelTheDeviceCannotTuneToSaysWhy) {
    writeFile(rig.dir / "tv.m3u", "#EXTM3U\r\n#EXTINF:-1 tvg-chno=\"101\",Channel101\r\nhttp://127.0.0.1:1/one.ts\r\n");
    rig.settings.ChannelPlaylist = (rig.dir / "tv.m3u").string();
    rig.device.tunable = false;
    rig.device.tuneRefusal = "the device is recording another channel";
    startFilmAtEight();
    rig.run(5s);
    ASSERT_EQ(titles(), std::vector<std::string>{"Channel not found"});
    EXPECT_NE(rig.messages.shown[0].text.find("cannot tune to http://127.0.0.1:1/one.ts: the device is recording "
                                              "another channel"),
              std::string::npos)
        << rig.messages.shown[0].text;
    EXPECT_EQ(starts(), 0);
}

// A part that fails before it records anything (a stream whose packets the
// files do not take) is not left running empty: the recorder sees it at
// once, tells it once, and starts again after 1, 2, 4 ... s, not at every tick.
TEST_F(DeviceFaultsTest, APartThatRecordsNothingIsToldOnceAndStartedAgainAfterWaits) {
    startFilmAtEight();
    for (int step = 0; step < 50; ++step) {  // 20 s
        if (rig.device.ReadyState() == CaptureDevice::Recording)
            rig.device.failWrite("the muxer refuses the stream's packets", DeviceFault::Stream);
        rig.clock.advance(400ms);
        rig.tick();
    }
    EXPECT_EQ(titles(), std::vector<std::string>{"Recording stopped"});
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_EQ(starts(), 5) << "at 0 s, then after 1, 2, 4 and 8 s";
}
