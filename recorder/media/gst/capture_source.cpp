#include "capture_source.h"

#include "common/host_paths.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "v4l2_devices.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelbo {

bool isStreamUrl(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kSchemes = {"http://", "https://", "rtsp://",
                                                                 "udp://",  "rtp://",   "rtsps://"};
    return std::any_of(kSchemes.begin(), kSchemes.end(), [&](std::string_view scheme) {
        if (text.size() <= scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i]) return false;
        return true;
    });
}

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
