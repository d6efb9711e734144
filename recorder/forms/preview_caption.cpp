#include "preview_caption.h"

#include "recorder/device/capture_device.h"

namespace kelbo {

namespace {

bool radio(const CaptureDevice& device) {
    const auto stream = device.streamStatus();
    return stream && stream->soundOnly;
}

}  // namespace

std::string previewCaption(const CaptureDevice& device, bool livePreviewTicked) {
    const bool shown = device.ReadyState() == CaptureDevice::Recording ? device.PreviewWhileCapturing()
                                                                       : livePreviewTicked;
    if (shown) return radio(device) ? translate("PreviewCaption", kRadioCaption) : std::string();
    if (device.ReadyState() == CaptureDevice::Recording)
        return translate("PreviewCaption", kRecordingPreviewOffCaption);
    return translate("PreviewCaption", kNoPictureCaption);
}

}  // namespace kelbo
