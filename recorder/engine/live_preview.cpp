#include "live_preview.h"

#include "recorder/device/capture_device.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"

#include <string>

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

void reportNoVideoSource(MessageBoxes& boxes, RaisedBy raisedBy) {
    const std::string title = translate("LivePreview", "No video Source Detected");
    const std::string text = translate("LivePreview", "There is no video source for the Dazzle DVCII");
    if (raisedBy == RaisedBy::UserCommand)
        boxes.show(title, text, MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
    else
        boxes.notify(title, text, MessageBoxes::Icon::Exclamation);
}

void LivePreview::IsLivePreview_Click() {
    ticked_ = !ticked_;
    const int state = device_->ReadyState();
    if (ticked_ && state != CaptureDevice::Recording && state != CaptureDevice::Previewing) {
        if (!startPreviewWithRetries(*device_)) {
            reportNoVideoSource(boxes_, RaisedBy::UserCommand);
            ticked_ = false;
        }
    } else if (!ticked_ && state == CaptureDevice::Previewing) {
        device_->StopPreview();
    }
}

}  // namespace kelbo
