#include "tuner_devices.h"

#include "device_factory.h"
#include "v4l2_devices.h"
#include "recorder/ports/log.h"

#include <algorithm>
#include <filesystem>

namespace kelbo {

namespace {

// /dev/video0 and a link to it (/dev/v4l/by-id/...) are one card.
bool sameCard(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

std::string joined(const std::vector<CaptureSource>& sources) {
    std::string text;
    for (const CaptureSource& s : sources) text += (text.empty() ? "" : ", ") + s.path;
    return text;
}

// Only tuner 1 is heard, and a tuner nobody watches makes no pictures for
// the preview.
std::unique_ptr<GstCaptureDevice> makeOtherTuner(const CaptureSource& source, UiDispatcher& dispatcher, int number,
                                                 const DeviceOptions& options) {
    DeviceOptions own = options;
    own.audioMonitor = false;
    own.previewWithoutSink = false;
    std::string error;
    auto device = GstCaptureDevice::create(source, dispatcher, own, &error);
    if (!device)
        log::error(log::Area::Device, "Tuner " + std::to_string(number) + " (" + toString(source) +
                                          ") cannot be made: " + error + "; recording with " +
                                          std::to_string(number - 1) + " tuner(s)");
    return device;
}

}  // namespace

std::vector<CaptureSource> tunerSources(const CaptureSource& source, int tuners,
                                        const std::vector<std::string>& cards) {
    const auto count = static_cast<std::size_t>(std::clamp(tuners, 1, kMostTuners));
    if (source.kind != CaptureSource::Kind::V4l2) return std::vector<CaptureSource>(count, source);
    std::vector<CaptureSource> sources = {source};
    for (const std::string& card : cards) {
        if (sources.size() >= count) break;
        const bool taken = std::any_of(sources.begin(), sources.end(),
                                       [&](const CaptureSource& s) { return sameCard(s.path, card); });
        if (!taken) sources.push_back({CaptureSource::Kind::V4l2, card});
    }
    return sources;
}

std::vector<std::unique_ptr<GstCaptureDevice>> createTunerDevices(const CaptureSource& source,
                                                                  UiDispatcher& dispatcher,
                                                                  MessageBoxes& boxes, int tuners,
                                                                  const DeviceOptions& options) {
    const std::vector<CaptureSource> sources = tunerSources(
        source, tuners,
        source.kind == CaptureSource::Kind::V4l2 && tuners > 1 ? v4l2CaptureDevices()
                                                                : std::vector<std::string>{});
    const int wanted = std::clamp(tuners, 1, kMostTuners);
    if (static_cast<int>(sources.size()) < wanted)
        log::warn(log::Area::Device,
                  std::to_string(wanted) + " tuners set, but only " + std::to_string(sources.size()) +
                      " capture card(s) found (" + joined(sources) + "): recording with " +
                      std::to_string(sources.size()));
    std::vector<std::unique_ptr<GstCaptureDevice>> devices;
    auto first = createCaptureDevice(sources.front(), dispatcher, boxes, options);
    if (!first) return devices;
    devices.push_back(std::move(first));
    for (std::size_t i = 1; i < sources.size(); ++i) {
        auto device = makeOtherTuner(sources[i], dispatcher, static_cast<int>(i) + 1, options);
        if (!device) break;
        devices.push_back(std::move(device));
    }
    return devices;
}

std::unique_ptr<GstCaptureDevice> createOtherTuner(const CaptureSource& source, UiDispatcher& dispatcher,
                                                   int number, const DeviceOptions& options) {
    if (number < 2 || number > kMostTuners) return nullptr;
    const std::vector<CaptureSource> sources = tunerSources(
        source, number,
        source.kind == CaptureSource::Kind::V4l2 ? v4l2CaptureDevices() : std::vector<std::string>{});
    if (static_cast<int>(sources.size()) < number) {
        log::warn(log::Area::Device, "Tuner " + std::to_string(number) + " has no capture card: only " +
                                         std::to_string(sources.size()) + " found (" + joined(sources) + ")");
        return nullptr;
    }
    return makeOtherTuner(sources[static_cast<std::size_t>(number) - 1], dispatcher, number, options);
}

std::vector<std::unique_ptr<GstCaptureDevice>> createTunerDevices(const SettingsStore& settings,
                                                                  UiDispatcher& dispatcher,
                                                                  MessageBoxes& boxes, int tuners,
                                                                  const DeviceOptions& options) {
    return createTunerDevices(captureSourceFromSettings(settings), dispatcher, boxes, tuners, options);
}

}  // namespace kelbo
