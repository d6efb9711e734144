#pragma once

#include "recorder/device/templates.h"

#include <cstdint>

namespace kelbo {

// What the recording branch receives: planar 4:2:0 pictures at the full size
// and rate of the video standard, and 16-bit stereo sound at 48 kHz.
struct VideoFormat {
    int width = 720;
    int height = 576;
    int fpsNum = 25;
    int fpsDen = 1;

    bool operator==(const VideoFormat&) const = default;

    // Nanoseconds per frame, rounded down.
    std::int64_t frameDurationNs() const {
        return static_cast<std::int64_t>(1'000'000'000LL) * fpsDen / fpsNum;
    }
    // Media time of `frames` frames, in whole milliseconds (rounded down).
    std::int64_t framesToMs(std::int64_t frames) const { return frames * 1000 * fpsDen / fpsNum; }
    // Media time of `frames` frames, in nanoseconds.
    std::int64_t framesToNs(std::int64_t frames) const {
        return frames * 1'000'000'000LL * fpsDen / fpsNum;
    }
};

inline constexpr int kAudioRate = 48000;
inline constexpr int kAudioChannels = 2;

// 54 PAL: 720 x 576 at 25 frames/s; 53 NTSC: 720 x 480 at 29.97.
VideoFormat videoFormatFor(int videoStandard);

struct FrameSize {
    int width = 0;
    int height = 0;
};

// A template's picture size under a standard whose full picture is `full`.
FrameSize frameSizeFor(PictureSize size, const VideoFormat& full);

}  // namespace kelbo
