// What the recorder may rely on from any capture device, checked on the
// scripted fake the engine's tests use and on the GStreamer device (test
// pattern, real time), so the fake cannot drift from the real one.
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_capture_device.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

using Condition = std::function<bool()>;

// The fake: media time passes only when the test says so, and its reports
// reach the listener when the script delivers them.
struct ScriptedRig {
    ScriptedCaptureDevice device;

    void open(const fs::path&) {}
    CaptureDevice& dut() { return device; }
    // Lets media time pass in picture-sized steps until `done` holds.
    bool waitFor(const Condition& done, std::chrono::milliseconds mediaTime) {
        for (auto t = 0ms; t < mediaTime && !done(); t += 40ms) {
            device.advance(40);
            device.notify();
        }
        return done();
    }
    void deliverReports() { device.notify(); }
    bool filesClosed() const { return true; }
};

// The GStreamer device on the test pattern, driven from this thread.
struct GstRig {
    QueuedDispatcher ui;
    RecordingMessageBoxes boxes;
    std::unique_ptr<GstCaptureDevice> device;

    void open(const fs::path& dir) {
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.audioMonitor = false;
        device = createCaptureDevice(CaptureSource{}, ui, boxes, options);
        ASSERT_TRUE(device);
    }
    CaptureDevice& dut() { return *device; }
    bool waitFor(const Condition& done, std::chrono::milliseconds mediaTime) {
        return ui.runUntil(done, mediaTime + 1s);
    }
    void deliverReports() { ui.runFor(50ms); }
    bool filesClosed() const { return device->openFiles() == 0; }
};

template <typename Rig>
class CaptureDeviceContract : public ::testing::Test {
protected:
    void SetUp() override {
        rig.open(dir.path());
        device().setStateListener([this] { reported.push_back(device().ReadyState()); });
    }

    CaptureDevice& device() { return rig.dut(); }
    int state() { return device().ReadyState(); }
    bool recording() { return state() == CaptureDevice::Recording; }
    bool waitFor(const Condition& done, std::chrono::milliseconds mediaTime = 1s) {
        return rig.waitFor(done, mediaTime);
    }
    // A capture into `name` with the given limit, as the recorder starts one.
    void startCapture(const std::string& name, std::int64_t limitMs) {
        device().setCaptureLimit(limitMs);
        device().setCaptureElapsed(0);
        device().StartCapture((dir / name).string());
    }
    // Every file the device wrote is closed and holds something.
    void expectFilesWritten(std::initializer_list<const char*> names) {
        ASSERT_TRUE(waitFor([&] { return rig.filesClosed(); }, 3s));
        for (const char* name : names) {
            const fs::path file = dir / name;
            EXPECT_GT(fs::is_regular_file(file) ? fs::file_size(file) : 0u, 0u) << name;
        }
    }

    TempDir dir;
    Rig rig;
    std::vector<int> reported;
};

using Devices = ::testing::Types<ScriptedRig, GstRig>;
class DeviceNames {
public:
    template <typename T>
    static std::string GetName(int) {
        return std::is_same_v<T, ScriptedRig> ? "Scripted" : "GStreamer";
    }
};
TYPED_TEST_SUITE(CaptureDeviceContract, Devices, DeviceNames);

}  // namespace

TYPED_TEST(CaptureDeviceContract, ReadyStateFollowsPreparationAndPreviewAndIsReported) {
    EXPECT_EQ(this->state(), CaptureDevice::Idle);
    this->device().PrepareDevice();
    EXPECT_EQ(this->state(), CaptureDevice::StreamReady);
    this->device().StartPreview();
    EXPECT_EQ(this->state(), CaptureDevice::Previewing);
    this->device().PrepareDevice();  // while previewing: no change
    EXPECT_EQ(this->state(), CaptureDevice::Previewing);
    this->rig.deliverReports();
    ASSERT_FALSE(this->reported.empty());
    EXPECT_EQ(this->reported.back(), CaptureDevice::Previewing);

    this->device().StopPreview();
    EXPECT_EQ(this->state(), CaptureDevice::Idle);
    this->rig.deliverReports();
    EXPECT_EQ(this->reported.back(), CaptureDevice::Idle);
}

TYPED_TEST(CaptureDeviceContract, ACaptureRecordsWithinASecondAndItsStopLeavesTheStreamReady) {
    this->startCapture("one.mpg", 0);
    ASSERT_TRUE(this->waitFor([&] { return this->recording(); })) << this->device().lastError();
    EXPECT_EQ(this->device().lastError(), "");
    EXPECT_EQ(this->device().lastFault(), DeviceFault::None);
    ASSERT_TRUE(this->waitFor([&] { return this->device().CaptureElapsed() >= 200; }));
    this->rig.deliverReports();
    EXPECT_EQ(this->reported.back(), CaptureDevice::Recording);

    this->device().StopCapture();
    EXPECT_EQ(this->state(), CaptureDevice::StreamReady);
    this->rig.deliverReports();
    EXPECT_EQ(this->reported.back(), CaptureDevice::StreamReady);
    this->expectFilesWritten({"one.mpg"});
}

TYPED_TEST(CaptureDeviceContract, ACaptureStopsByItselfAtItsLimitWhichCanMoveWhileRecording) {
    this->startCapture("limited.mpg", 400);
    ASSERT_TRUE(this->waitFor([&] { return this->recording(); }));
    this->device().setCaptureLimit(600);
    ASSERT_TRUE(this->waitFor([&] { return !this->recording(); }, 2s));
    this->rig.deliverReports();
    EXPECT_EQ(this->device().CaptureElapsed(), 600);
    EXPECT_EQ(this->device().CaptureLimit(), 600);
    EXPECT_EQ(this->state(), CaptureDevice::StreamReady);
    EXPECT_EQ(this->reported.back(), CaptureDevice::StreamReady);
    this->expectFilesWritten({"limited.mpg"});
}

// The recorder's split: StopCapture, the counters reset, StartCapture into
// the next part, which records at once.
TYPED_TEST(CaptureDeviceContract, ASplitRecordsTheNextPartAtOnce) {
    this->startCapture("part1.mpg", 800);
    ASSERT_TRUE(this->waitFor([&] { return this->recording(); }));
    ASSERT_TRUE(this->waitFor([&] { return this->device().CaptureElapsed() >= 200; }));
    const std::int64_t remaining = this->device().CaptureLimit() - this->device().CaptureElapsed();
    this->device().StopCapture();
    this->startCapture("part2.mpg", remaining);
    EXPECT_EQ(this->state(), CaptureDevice::Recording);
    EXPECT_LT(this->device().CaptureElapsed(), 200);
    ASSERT_TRUE(this->waitFor([&] { return !this->recording(); }, 2s));
    EXPECT_EQ(this->device().CaptureElapsed(), remaining);
    this->expectFilesWritten({"part1.mpg", "part2.mpg"});
}

TYPED_TEST(CaptureDeviceContract, ThePreviewIsSwitchedUnderARecordingAndResumesAfterIt) {
    this->device().StartPreview();
    this->startCapture("watched.mpg", 0);
    ASSERT_TRUE(this->waitFor([&] { return this->recording(); }));
    this->device().StopPreview();  // the recording goes on
    EXPECT_EQ(this->state(), CaptureDevice::Recording);
    this->device().StartPreview();
    EXPECT_EQ(this->state(), CaptureDevice::Recording);
    ASSERT_TRUE(this->waitFor([&] { return this->device().CaptureElapsed() >= 200; }));
    this->device().StopCapture();
    EXPECT_EQ(this->state(), CaptureDevice::Previewing);

    // Preview stopped during the next capture: the stream stays ready.
    this->startCapture("unwatched.mpg", 0);
    ASSERT_TRUE(this->waitFor([&] { return this->device().CaptureElapsed() >= 200; }));
    this->device().StopPreview();
    this->device().StopCapture();
    EXPECT_EQ(this->state(), CaptureDevice::StreamReady);
    this->device().StopPreview();
    EXPECT_EQ(this->state(), CaptureDevice::Idle);
    this->expectFilesWritten({"watched.mpg", "unwatched.mpg"});
}

TYPED_TEST(CaptureDeviceContract, AStartThatCannotCreateItsFileSaysWhyAndNeverRecords) {
    writeFile(this->dir / "plain-file", "x");
    this->device().StartPreview();
    this->startCapture("plain-file/out.mpg", 0);
    EXPECT_EQ(this->device().lastError(),
              "Cannot write " + (this->dir / "plain-file").string() + ": Not a directory");
    EXPECT_EQ(this->device().lastFault(), DeviceFault::Folder);
    EXPECT_FALSE(this->waitFor([&] { return this->recording(); }, 400ms));
    EXPECT_EQ(this->state(), CaptureDevice::Previewing);

    // The next start that works clears the reason.
    this->startCapture("after.mpg", 0);
    ASSERT_TRUE(this->waitFor([&] { return this->recording(); }));
    EXPECT_EQ(this->device().lastError(), "");
    ASSERT_TRUE(this->waitFor([&] { return this->device().CaptureElapsed() >= 200; }));
    this->device().StopCapture();
    this->expectFilesWritten({"after.mpg"});
}
