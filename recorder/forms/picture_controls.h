#pragma once

#include "recorder/forms/options_form.h"

#include <array>
#include <optional>

namespace kelbo {

class CaptureDevice;

struct PictureControlNames {
    PictureControl control;
    const char* label;       // "Brightness", ..., "Audio Volume"
    const char* textField;   // "Default_Brightness"
    const char* spinner;     // "Brightness_Scroll"
};

// In the dialog's layout order.
const std::array<PictureControlNames, kPictureControlCount>& pictureControls();
const PictureControlNames& namesOf(PictureControl control);

// The device member a control shows; Sharpness has none and reads as 0.
int readPictureMember(const CaptureDevice& device, PictureControl control);
void writePictureMember(CaptureDevice& device, PictureControl control, int value);

// The device members in the order the dialog reads and writes them.
inline constexpr std::array<PictureControl, 5> kDeviceOrder = {
    PictureControl::Brightness, PictureControl::Volume, PictureControl::Contrast,
    PictureControl::Saturation, PictureControl::Tint};

// The stored setting of a control; Sharpness has none (nullptr).
std::optional<int>* settingOf(DeviceSettings& settings, PictureControl control);
const std::optional<int>* settingOf(const DeviceSettings& settings, PictureControl control);

// Gives the device each value `settings` holds, in the dialog's order, and
// commits them when there was any. A value it lacks leaves the device's own.
void applyDeviceSettings(CaptureDevice& device, const DeviceSettings& settings);

}  // namespace kelbo
