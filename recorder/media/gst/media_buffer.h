#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct AVFrame;

namespace kelbo {

// One picture of the recording branch: planar 4:2:0 at the standard's size.
// `pts` is the pipeline's running time in nanoseconds.
class VideoFrame {
public:
    explicit VideoFrame(std::int64_t pts) : pts_(pts) {}
    virtual ~VideoFrame() = default;
    std::int64_t pts() const { return pts_; }
    // The picture as a reference-counted FFmpeg frame over the pipeline's
    // own memory, which an encoder references instead of copying. Nothing
    // when there is no picture to encode.
    virtual const AVFrame* picture() const = 0;

private:
    std::int64_t pts_;
};

// Interleaved 16-bit stereo samples at 48 kHz starting at running time `pts`.
class AudioChunk {
public:
    AudioChunk(std::int64_t pts, std::size_t samples) : pts_(pts), samples_(samples) {}
    virtual ~AudioChunk() = default;
    std::int64_t pts() const { return pts_; }
    // Samples per channel.
    std::size_t samples() const { return samples_; }
    virtual const std::int16_t* data() const = 0;

private:
    std::int64_t pts_;
    std::size_t samples_;
};

using VideoFramePtr = std::shared_ptr<const VideoFrame>;
using AudioChunkPtr = std::shared_ptr<const AudioChunk>;

}  // namespace kelbo
