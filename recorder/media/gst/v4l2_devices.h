#pragma once

#include <string>
#include <vector>

namespace kelbo {

// Video capture devices among /dev/video*, in device number order.
std::vector<std::string> v4l2CaptureDevices();

// Switches the device's input to composite (20) or S-Video (21). The choice
// stays with the device, so the pipeline that opens it next finds it set.
bool selectV4l2Input(const std::string& device, int videoSource);

// The ALSA capture device ("hw:N") of the sound card that belongs to the
// same USB or PCI device, or empty when it has none.
std::string alsaDeviceFor(const std::string& device);

}  // namespace kelbo
