#pragma once

#include "av_ref.h"
#include "capture_format.h"
#include "feeder.h"
#include "feed_target.h"
#include "gst_ref.h"

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct SwrContext;
struct SwsContext;

namespace kelbo {

// Plays a media file into the pipeline as if it were live: FFmpeg decodes
// it, every picture and sound block goes to its appsrc when the pipeline's
// clock reaches it, and the file starts over at its end. A file without
// sound gets silence.
class FileFeeder : public Feeder {
public:
    // Nothing, with `error` set, when the file cannot be read or has no
    // picture.
    static std::unique_ptr<FileFeeder> open(const std::string& path, std::string* error);
    ~FileFeeder() override;
    FileFeeder(const FileFeeder&) = delete;
    FileFeeder& operator=(const FileFeeder&) = delete;

    // Caps of the pictures handed to the video appsrc.
    GstCapsRef videoCaps() const;
    // Whether the pictures already have the size, layout (I420) and rate of
    // `format`, so that the pipeline need not convert them. The feeder hands
    // over exactly one picture per frame at its own rate in any case.
    bool fits(const VideoFormat& format) const;

    // Starts feeding once `pipeline` plays; `failed` is called from the
    // feeding thread when the file stops yielding pictures. The feeder takes
    // references of its own to the pipeline and both appsrc elements and
    // drops them in stop(), once its thread has ended.
    void start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
               FailureHandler failed) override;
    void stop() override;

private:
    FileFeeder() = default;
    void run();
    bool decodeNext();
    void pushPicture(AVFrame* frame);
    // Hands `buffer` over at the next frame's time; false when stopping.
    bool pushAtNextFrame(GstBuffer* buffer);
    std::int64_t slotTime(std::int64_t frame) const;  // running time of a frame
    // A new picture in the layout GStreamer takes; nothing when memory runs out.
    AvFramePtr convert(const AVFrame* frame) const;
    // A buffer over the picture's own memory, holding the picture until
    // the pipeline is done with it; nothing when memory runs out.
    GstBuffer* wrapPicture(AvFramePtr picture) const;
    // Sound is gathered into blocks of at least a picture's length: one
    // hand-over a picture instead of one per decoded frame.
    void pushSound(AVFrame* frame);
    void flushSound();
    void pushSilence(std::int64_t from, std::int64_t to);
    std::int64_t toNs(std::int64_t pts, int stream) const;
    void restart();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* videoCodec_ = nullptr;
    AVCodecContext* audioCodec_ = nullptr;
    SwrContext* resampler_ = nullptr;
    SwsContext* converter_ = nullptr;  // for picture layouts GStreamer does not take
    AvFramePtr frame_;
    int videoStream_ = -1;
    int audioStream_ = -1;
    int gstFormat_ = 0;
    int avFormat_ = 0;
    int fpsNum_ = 25;
    int fpsDen_ = 1;
    std::int64_t frameDurationNs_ = 40'000'000;
    std::int64_t origin_ = 0;      // running time of the file's start in the first round
    std::int64_t loopOffset_ = 0;  // length of the rounds already played
    std::int64_t roundEnd_ = 0;    // end of the latest picture in this round
    std::int64_t silenceUntil_ = 0;
    std::int64_t slotOrigin_ = 0;    // running time of the first picture handed over
    std::int64_t framesPushed_ = 0;  // pictures handed over since
    GstBufferRef lastPicture_;       // repeated over a gap in the file's pictures
    std::vector<std::int16_t> sound_;  // resampled, not yet handed over
    std::int64_t soundAt_ = 0;          // running time of its first sample
    int picturesThisRound_ = 0;

    FeedTarget target_;
    std::function<void(const std::string&)> failed_;
    FeedThread thread_;
};

}  // namespace kelbo
