#include "capture_format.h"

#include "recorder/device/capture_device.h"

namespace kelbo {

VideoFormat videoFormatFor(int videoStandard) {
    if (videoStandard == CaptureDevice::NTSC) return {720, 480, 30000, 1001};
    return {720, 576, 25, 1};
}

FrameSize frameSizeFor(PictureSize size, const VideoFormat& full) {
    switch (size) {
        case PictureSize::HalfD1: return {352, full.height};
        case PictureSize::SIF: return {352, full.height / 2};
        case PictureSize::D1: break;
    }
    return {full.width, full.height};
}

}  // namespace kelbo
