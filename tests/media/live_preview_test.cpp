#include "recorder/engine/live_preview.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_capture_device.h"

#include <gtest/gtest.h>

using namespace kelbo;
using kelbo::testing::RecordingMessageBoxes;
using kelbo::testing::ScriptedCaptureDevice;
using Calls = std::vector<std::string>;

namespace {

struct LivePreviewTest : ::testing::Test {
    ScriptedCaptureDevice device;
    RecordingMessageBoxes boxes;
    LivePreview preview{device, boxes};
};

}  // namespace

TEST_F(LivePreviewTest, TickingStartsThePreviewOnce) {
    preview.IsLivePreview_Click();
    EXPECT_TRUE(preview.isTicked());
    EXPECT_EQ(device.calls, (Calls{"PrepareDevice", "StartPreview"}));
    EXPECT_EQ(device.state, CaptureDevice::Previewing);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LivePreviewTest, TickingWhileStreamReadyAlsoStartsThePreview) {
    device.state = CaptureDevice::StreamReady;
    preview.IsLivePreview_Click();
    EXPECT_EQ(device.calls, (Calls{"PrepareDevice", "StartPreview"}));
}

TEST_F(LivePreviewTest, APreviewThatNeverComesUpIsTriedFourTimesThenReported) {
    device.previewWorks = false;
    preview.IsLivePreview_Click();
    EXPECT_EQ(device.calls, (Calls{"PrepareDevice", "StartPreview", "PrepareDevice", "StartPreview",
                                   "PrepareDevice", "StartPreview", "PrepareDevice", "StartPreview"}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "No video Source Detected");
    EXPECT_EQ(boxes.shown[0].text, "There is no video source for the Dazzle DVCII");
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_FALSE(preview.isTicked());
}

TEST(LivePreview, TheThreeRetriesDoNotLookAtTheState) {
    // The preview comes up on the second try; the retries still run and
    // the message still comes, as the first look decided.
    struct SecondTimeLucky : ScriptedCaptureDevice {
        void StartPreview() override {
            ScriptedCaptureDevice::StartPreview();
            previewWorks = true;
        }
    } device;
    device.previewWorks = false;
    RecordingMessageBoxes boxes;
    LivePreview preview(device, boxes);
    preview.IsLivePreview_Click();
    EXPECT_EQ(device.count("StartPreview"), 4);
    EXPECT_EQ(device.count("PrepareDevice"), 4);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(preview.isTicked());
}

TEST_F(LivePreviewTest, TickingWhilePreviewingOrRecordingChangesOnlyTheTick) {
    device.state = CaptureDevice::Previewing;
    preview.IsLivePreview_Click();
    EXPECT_TRUE(preview.isTicked());
    EXPECT_TRUE(device.calls.empty());

    preview.setTicked(false);
    device.state = CaptureDevice::Recording;
    preview.IsLivePreview_Click();
    EXPECT_TRUE(preview.isTicked());
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LivePreviewTest, UntickingStopsOnlyARunningPreview) {
    preview.setTicked(true);
    device.state = CaptureDevice::Previewing;
    preview.IsLivePreview_Click();
    EXPECT_FALSE(preview.isTicked());
    EXPECT_EQ(device.calls, (Calls{"StopPreview"}));

    device.calls.clear();
    for (int state : {CaptureDevice::StreamReady, CaptureDevice::Recording, CaptureDevice::Idle}) {
        preview.setTicked(true);
        device.state = state;
        preview.IsLivePreview_Click();
        EXPECT_FALSE(preview.isTicked());
        EXPECT_TRUE(device.calls.empty()) << "state " << state;
    }
}
