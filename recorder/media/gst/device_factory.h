#pragma once

#include "capture_source.h"
#include "gst_capture_device.h"

#include <memory>

namespace kelbo {

class MessageBoxes;
class SettingsStore;
class UiDispatcher;

// Creates the capture device as the preview window does when it loads.
// When GStreamer or an element of the pipeline is missing, shows "You do
// not have a Dazzle DVCII card installed!" and returns nothing: the caller
// then ends the program.
std::unique_ptr<GstCaptureDevice> createCaptureDevice(const CaptureSource& source,
                                                      UiDispatcher& dispatcher,
                                                      MessageBoxes& boxes,
                                                      DeviceOptions options = {});

// The same, with the source named by the settings (CaptureSource).
std::unique_ptr<GstCaptureDevice> createCaptureDevice(const SettingsStore& settings,
                                                      UiDispatcher& dispatcher,
                                                      MessageBoxes& boxes,
                                                      DeviceOptions options = {});

}  // namespace kelbo
