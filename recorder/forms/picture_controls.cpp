#include "picture_controls.h"

#include "recorder/device/capture_device.h"

namespace kelbo {

const std::array<PictureControlNames, kPictureControlCount>& pictureControls() {
    static const std::array<PictureControlNames, kPictureControlCount> names = {{
        {PictureControl::Brightness, "Brightness", "Default_Brightness", "Brightness_Scroll"},
        {PictureControl::Contrast, "Contrast", "Default_Contrast", "Contrast_Scroll"},
        {PictureControl::Saturation, "Saturation", "Default_Saturation", "Saturation_Scroll"},
        {PictureControl::Sharpness, "Sharpness", "Default_Sharpness", "Sharpness_Scroll"},
        {PictureControl::Tint, "Tint", "Default_Tint", "Tint_Scroll"},
        {PictureControl::Volume, "Audio Volume", "Default_Volume", "Volume_Scroll"},
    }};
    return names;
}

const PictureControlNames& namesOf(PictureControl control) {
    return pictureControls()[static_cast<size_t>(control)];
}

int readPictureMember(const CaptureDevice& device, PictureControl control) {
    switch (control) {
    case PictureControl::Brightness: return device.Brightness();
    case PictureControl::Contrast: return device.Contrast();
    case PictureControl::Saturation: return device.Saturation();
    case PictureControl::Tint: return device.Tint();
    case PictureControl::Volume: return device.Volume();
    case PictureControl::Sharpness: break;
    }
    return 0;
}

void writePictureMember(CaptureDevice& device, PictureControl control, int value) {
    switch (control) {
    case PictureControl::Brightness: device.setBrightness(value); break;
    case PictureControl::Contrast: device.setContrast(value); break;
    case PictureControl::Saturation: device.setSaturation(value); break;
    case PictureControl::Tint: device.setTint(value); break;
    case PictureControl::Volume: device.setVolume(value); break;
    case PictureControl::Sharpness: break;
    }
}

}  // namespace kelbo
