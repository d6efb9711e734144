#pragma once

#include "media_probe.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kelbo::testing {

using namespace std::chrono_literals;

// A device on the test-pattern source (or another), run from the test's
// thread, with its templates in a temporary folder.
class CaptureDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { open(CaptureSource{}); }

    void open(const CaptureSource& source) {
        device.reset();
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.audioMonitor = audioMonitor;
        device = createCaptureDevice(source, ui, boxes, options);
        ASSERT_TRUE(device);
        device->setFileListener([this](const FileResult& r) { closed.push_back(r); });
        device->setStateListener([this] { states.push_back(device->ReadyState()); });
    }

    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
        return ui.runUntil(done, timeout);
    }
    bool recording() const { return device->ReadyState() == CaptureDevice::Recording; }

    // Records `ms` of media into `file` and waits until the file is closed.
    void record(const std::filesystem::path& file, std::int64_t ms) {
        device->setCaptureLimit(0);
        device->setCaptureElapsed(0);
        device->setCaptureLimit(ms);
        device->StartCapture(file.string());
        ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
        ASSERT_TRUE(waitFor([&] { return !recording() && device->openFiles() == 0; }, 10s));
    }

    bool audioMonitor = false;  // the program's loudspeaker branch
    TempDir dir;
    QueuedDispatcher ui;
    RecordingMessageBoxes boxes;
    std::unique_ptr<GstCaptureDevice> device;
    std::vector<FileResult> closed;
    std::vector<int> states;
};

}  // namespace kelbo::testing
