#include "preview_caption.h"

#include "recorder/device/capture_device.h"

namespace kelbo {

std::string previewCaption(const CaptureDevice& device, bool livePreviewTicked) {
    if (device.ReadyState() == CaptureDevice::Recording)
        return device.PreviewWhileCapturing() ? std::string()
                                              : translate("PreviewCaption", kRecordingPreviewOffCaption);
    return livePreviewTicked ? std::string() : translate("PreviewCaption", kNoPictureCaption);
}

}  // namespace kelbo
