// The device belongs to the thread that built it: in debug builds a call
// from any other thread aborts at once instead of racing with it.
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

// Builds a device on this thread and calls `member` on another.
[[maybe_unused]] void callFromAnotherThread(const std::function<void(GstCaptureDevice&)>& member) {
    TempDir dir;
    QueuedDispatcher ui;
    RecordingMessageBoxes boxes;
    DeviceOptions options;
    options.registryKey = (dir / "device").string();
    options.audioMonitor = false;
    auto device = createCaptureDevice(CaptureSource{}, ui, boxes, options);
    if (!device) return;
    std::thread([&] { member(*device); }).join();
}

}  // namespace

TEST(GstCaptureDeviceThreadDeathTest, MembersCalledOffTheThreadThatBuiltTheDeviceAbort) {
#ifdef NDEBUG
    GTEST_SKIP() << "checked in debug builds only";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* why = "called off the user-interface thread";
    EXPECT_DEATH(callFromAnotherThread([](GstCaptureDevice& d) { d.ReadyState(); }), why);
    EXPECT_DEATH(callFromAnotherThread([](GstCaptureDevice& d) { d.StartCapture("/tmp/x.mpg"); }),
                 why);
    EXPECT_DEATH(callFromAnotherThread([](GstCaptureDevice& d) { d.setPreviewSink({}); }), why);
    // The same calls on the device's own thread are fine.
    TempDir dir;
    QueuedDispatcher ui;
    RecordingMessageBoxes boxes;
    DeviceOptions options;
    options.registryKey = (dir / "device").string();
    options.audioMonitor = false;
    auto device = createCaptureDevice(CaptureSource{}, ui, boxes, options);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Idle);
#endif
}
