#pragma once

#include "recorder/device/capture_device.h"

#include <string>

namespace kelbo {

// A failure of the device's own parts: its kind, for the recorder to act on,
// and its words, for the user and the log.
struct DeviceFailure {
    DeviceFault fault = DeviceFault::None;
    std::string text;

    bool failed() const { return !text.empty(); }
};

// The kind of a system error met writing a part file: no room (or no quota)
// left, or else the file or its folder refused.
DeviceFault fileFault(int systemError);

}  // namespace kelbo
