#include "preview_caption.h"

#include "recorder/device/capture_device.h"

namespace kelbo {

std::string previewCaption(const CaptureDevice& device, bool livePreviewTicked) {
    if (device.ReadyState() == CaptureDevice::Recording)
        return device.PreviewWhileCapturing() ? std::string() : kRecordingPreviewOffCaption;
    return livePreviewTicked ? std::string() : kNoPictureCaption;
}

}  // namespace kelbo
