#include "capture_source.h"

#include "common/host_paths.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/stream_url.h"
#include "v4l2_devices.h"

namespace kelbo {

std::optional<CaptureSource> parseCaptureSource(std::string_view text) {
    constexpr std::string_view kFile = "file:";
    if (text.empty()) return std::nullopt;
    if (text == "test") return CaptureSource{};
    if (isStreamUrl(text)) return CaptureSource{CaptureSource::Kind::Stream, std::string(text)};
    if (text.substr(0, kFile.size()) == kFile)
        return CaptureSource{CaptureSource::Kind::File, toHostPath(text.substr(kFile.size()))};
    return CaptureSource{CaptureSource::Kind::V4l2, std::string(text)};
}

CaptureSource defaultCaptureSource() {
    const auto devices = v4l2CaptureDevices();
    if (devices.empty()) return {};
    return {CaptureSource::Kind::V4l2, devices.front()};
}

CaptureSource captureSourceFromSettings(const SettingsStore& settings) {
    const std::string text = settings.GetSetting(settings::kDefaults, settings::kCaptureSource);
    if (auto source = parseCaptureSource(text)) return *source;
    return defaultCaptureSource();
}

std::string toString(const CaptureSource& source) {
    switch (source.kind) {
        case CaptureSource::Kind::File: return "file:" + source.path;
        case CaptureSource::Kind::V4l2:
        case CaptureSource::Kind::Stream: return source.path;
        case CaptureSource::Kind::TestPattern: break;
    }
    return "test";
}

}  // namespace kelbo
