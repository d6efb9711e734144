#pragma once

#include "common/stream_url.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kelbo {

class SettingsStore;

// Where the pictures and sound come from.
struct CaptureSource {
    enum class Kind { TestPattern, File, V4l2, Stream };

    CaptureSource() = default;
    CaptureSource(Kind sourceKind, std::string sourcePath, HttpOptions options = {})
        : kind(sourceKind), path(std::move(sourcePath)), http(std::move(options)) {}

    Kind kind = Kind::TestPattern;
    std::string path;  // the media file, the V4L2 device or the stream's URL
    HttpOptions http;  // a stream's: what its requests send besides the URL

    bool operator==(const CaptureSource&) const = default;
};

// "test", "file:PATH", a network stream's URL (http://, https://, rtsp://,
// udp://, rtp://; HLS playlists are http(s) URLs) or a device path such as
// "/dev/video0"; nothing for an empty text, which means "choose one".
std::optional<CaptureSource> parseCaptureSource(std::string_view text);

// The first V4L2 capture device, else the test pattern.
CaptureSource defaultCaptureSource();

// The source named by setting CaptureSource of section "Defaults".
CaptureSource captureSourceFromSettings(const SettingsStore& settings);

// The setting's text for a source.
std::string toString(const CaptureSource& source);

}  // namespace kelbo
