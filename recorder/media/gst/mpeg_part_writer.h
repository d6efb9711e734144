#pragma once

#include "av_ref.h"
#include "capture_format.h"
#include "media_buffer.h"
#include "device_failure.h"
#include "part_file.h"
#include "recorder/device/templates.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct AVStream;

namespace kelbo {

struct PartSettings {
    std::string path;
    EncodingTemplate encoding;
    VideoFormat source;  // size and rate of the pictures handed in
    // Asked at the first picture: true when the source brings sound alone
    // (radio), whose pictures are only a still that keeps the time. Not
    // given: the source has pictures.
    std::function<bool()> soundAlone;
};

// Writes one part file: MPEG-2 (or MPEG-1) video and MPEG-1 layer II sound
// in an MPEG program stream, laid out as the template says (plain, DVD or
// Video CD). Each file opens with its own sequence header and key frame, so
// it plays alone. In a plain program stream its time stamps continue the
// recording's timeline, so the parts of a split recording also join without
// a seam; disc layouts start each file's clock anew, as authoring expects.
// Radio's part holds its sound alone, in a plain program stream whatever the
// layout (there is no disc of sound alone), and counts the pictures handed
// in as its time. The file is made on the user-interface thread; its
// streams, once its first picture shows whether it has pictures, and all
// that follows, on one worker thread.
class MpegPartWriter {
public:
    // Creates the file and both encoders. Nothing, with `failure` set, when
    // the file cannot be written.
    static std::unique_ptr<MpegPartWriter> open(const PartSettings& settings, DeviceFailure* failure);
    ~MpegPartWriter();
    MpegPartWriter(const MpegPartWriter&) = delete;
    MpegPartWriter& operator=(const MpegPartWriter&) = delete;

    // Place of the first picture in the recording's timeline; the file's
    // streams and header are written now.
    void begin(std::int64_t firstFrameIndex);
    void writeVideo(const VideoFrame& frame, std::int64_t frameIndex);
    // Interleaved stereo samples at the capture rate.
    void writeAudio(const std::int16_t* samples, std::size_t count);
    // Drains the encoders and closes the file; true when all went well. A
    // file that got no picture, or nothing at all on the disk, is removed.
    bool finish();

    bool failed() const { return failed_.load(); }
    // Why writing failed, in words (the folder and the system's reason) and
    // as a kind. Empty while nothing failed; read it only once failed() is true.
    const DeviceFailure& failure() const { return failure_; }
    const std::string& path() const { return path_; }
    std::int64_t framesWritten() const { return framesWritten_; }
    // When the first picture went to the muxer.
    std::chrono::steady_clock::time_point firstFrameAt() const { return firstFrameAt_; }

private:
    MpegPartWriter() = default;
    bool openVideo(const PartSettings& settings, std::string* error);
    bool openAudio(const PartSettings& settings, std::string* error);
    // The muxer, its streams and header: with pictures unless the source
    // brings sound alone. False when the file cannot be begun.
    bool startFile();
    // A stream of the file carrying what `encoder` makes; null when memory runs out.
    AVStream* addStream(const AVCodecContext& encoder);
    void queueAudio(const std::int16_t* samples, int count);
    void encodeAudioFrames(bool final);
    // Encodes `frame` (nothing: drains) and writes the packets, moved by
    // `offset` in the encoder's time base.
    bool send(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::int64_t offset);
    void fail(const std::string& why, DeviceFault fault = DeviceFault::None);
    void failWriting(int code);
    void closeFile();

    std::string path_;
    VideoFormat source_;
    StreamLayout layout_ = StreamLayout::Program;
    std::function<bool()> soundAlone_;
    AvOutputPtr format_;
    std::unique_ptr<PartFile> file_;  // after format_: closed before the context goes
    AvCodecContextPtr video_;
    AvCodecContextPtr audio_;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    AvFramePtr input_;    // a reference to the picture being encoded
    AvFramePtr picture_;  // scaled picture, when the template's size differs
    AvFramePtr sound_;
    AvPacketPtr packet_;
    SwsContextPtr scaler_;
    SwrContextPtr resampler_;
    AvAudioFifoPtr fifo_;
    std::int64_t firstFrameIndex_ = 0;  // the part's first picture in the recording
    std::int64_t videoOffset_ = 0;      // its place in the file's timeline
    std::int64_t audioOffset_ = 0;      // the same in samples
    std::int64_t audioPts_ = 0;         // samples encoded so far
    std::int64_t framesWritten_ = 0;
    bool headerWritten_ = false;
    bool finished_ = false;
    DeviceFailure failure_;  // set once, before failed_
    std::atomic<bool> failed_{false};
    std::chrono::steady_clock::time_point firstFrameAt_;
};

}  // namespace kelbo
