#include "live_preview.h"

#include "capture_device.h"
#include "recorder/core/message_boxes.h"

namespace kelbo {

bool startPreviewWithRetries(CaptureDevice& device) {
    device.PrepareDevice();
    device.StartPreview();
    if (device.ReadyState() == CaptureDevice::Previewing) return true;
    for (int i = 0; i < 3; ++i) {
        device.PrepareDevice();
        device.StartPreview();
    }
    return false;
}

void reportNoVideoSource(MessageBoxes& boxes) {
    boxes.show("No video Source Detected", "There is no video source for the Dazzle DVCII",
               MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
}

void LivePreview::IsLivePreview_Click() {
    ticked_ = !ticked_;
    const int state = device_.ReadyState();
    if (ticked_ && state != CaptureDevice::Recording && state != CaptureDevice::Previewing) {
        if (!startPreviewWithRetries(device_)) {
            reportNoVideoSource(boxes_);
            ticked_ = false;
        }
    } else if (!ticked_ && state == CaptureDevice::Previewing) {
        device_.StopPreview();
    }
}

}  // namespace kelbo
