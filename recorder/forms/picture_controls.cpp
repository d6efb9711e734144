#include "picture_controls.h"

#include "recorder/device/capture_device.h"
#include "recorder/ports/translation.h"

namespace kelbo {

const std::array<PictureControlNames, kPictureControlCount>& pictureControls() {
    static const std::array<PictureControlNames, kPictureControlCount> names = {{
        {PictureControl::Brightness, KELBO_TRANSLATE_NOOP("PictureControls", "Brightness"), "Default_Brightness",
         "Brightness_Scroll"},
        {PictureControl::Contrast, KELBO_TRANSLATE_NOOP("PictureControls", "Contrast"), "Default_Contrast",
         "Contrast_Scroll"},
        {PictureControl::Saturation, KELBO_TRANSLATE_NOOP("PictureControls", "Saturation"), "Default_Saturation",
         "Saturation_Scroll"},
        {PictureControl::Sharpness, KELBO_TRANSLATE_NOOP("PictureControls", "Sharpness"), "Default_Sharpness",
         "Sharpness_Scroll"},
        {PictureControl::Tint, KELBO_TRANSLATE_NOOP("PictureControls", "Tint"), "Default_Tint", "Tint_Scroll"},
        {PictureControl::Volume, KELBO_TRANSLATE_NOOP("PictureControls", "Audio Volume"), "Default_Volume",
         "Volume_Scroll"},
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

namespace {

template <class Settings>
auto fieldOf(Settings& settings, PictureControl control) -> decltype(&settings.Brightness) {
    switch (control) {
    case PictureControl::Brightness: return &settings.Brightness;
    case PictureControl::Contrast: return &settings.Contrast;
    case PictureControl::Saturation: return &settings.Saturation;
    case PictureControl::Tint: return &settings.Tint;
    case PictureControl::Volume: return &settings.Volume;
    case PictureControl::Sharpness: break;
    }
    return nullptr;
}

}  // namespace

std::optional<int>* settingOf(DeviceSettings& settings, PictureControl control) {
    return fieldOf(settings, control);
}

const std::optional<int>* settingOf(const DeviceSettings& settings, PictureControl control) {
    return fieldOf(settings, control);
}

void applyDeviceSettings(CaptureDevice& device, const DeviceSettings& settings) {
    bool given = false;
    for (PictureControl control : kDeviceOrder) {
        const std::optional<int>* value = settingOf(settings, control);
        if (!value || !*value) continue;
        writePictureMember(device, control, **value);
        given = true;
    }
    if (settings.Composite) {
        device.setVideoSource(*settings.Composite ? CaptureDevice::Composite : CaptureDevice::SVideo);
        given = true;
    }
    if (settings.PAL) {
        device.setVideoStandard(*settings.PAL ? CaptureDevice::PAL : CaptureDevice::NTSC);
        given = true;
    }
    if (given) device.CommitVideoSettings();
}

}  // namespace kelbo
