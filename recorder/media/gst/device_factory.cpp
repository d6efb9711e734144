#include "device_factory.h"

#include "recorder/ports/message_boxes.h"

namespace kelbo {

std::unique_ptr<GstCaptureDevice> createCaptureDevice(const CaptureSource& source,
                                                      UiDispatcher& dispatcher,
                                                      MessageBoxes& boxes,
                                                      DeviceOptions options) {
    std::string error;
    auto device = GstCaptureDevice::create(source, dispatcher, std::move(options), &error);
    if (!device)
        boxes.show("Error", "You do not have a Dazzle DVCII card installed!",
                   MessageBoxes::Icon::Critical, MessageBoxes::Buttons::Ok);
    return device;
}

std::unique_ptr<GstCaptureDevice> createCaptureDevice(const SettingsStore& settings,
                                                      UiDispatcher& dispatcher,
                                                      MessageBoxes& boxes,
                                                      DeviceOptions options) {
    return createCaptureDevice(captureSourceFromSettings(settings), dispatcher, boxes,
                               std::move(options));
}

}  // namespace kelbo
