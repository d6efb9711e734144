#pragma once

#include "capture_format.h"
#include "part_router.h"
#include "stream_packet_tap.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

struct AVFormatContext;

namespace kelbo {

// A part file that holds the stream's own packets, not re-encoded: MPEG-2
// (or MPEG-1) pictures with MPEG audio or AC-3 go into a program stream, as
// the encoded parts do; other codecs into MPEG-TS. The router's pictures
// only say where the part begins and ends: the file starts at the first key
// picture from there on and ends just before the first key picture past its
// end, where the next part starts, so parts join without a seam. Its time
// stamps continue the recording's timeline from 1.0 s, as the encoded ones do.
class StreamCopyWriter : public PartOutput,
                         public StreamCopySink,
                         public std::enable_shared_from_this<StreamCopyWriter> {
public:
    struct Result {
        std::string path;
        std::int64_t elapsedMs = 0;
        bool ok = false;
        std::string error;
    };
    using Closed = std::function<void(const Result&)>;

    // How long past its end a part waits for a key picture.
    static constexpr std::int64_t kKeyWaitNs = 5'000'000'000;

    // Nothing, with `error` set, when the file cannot be created.
    static std::shared_ptr<StreamCopyWriter> create(std::string path, VideoFormat format,
                                                    std::shared_ptr<StreamPacketTap> tap, Closed closed,
                                                    std::string* error);
    StreamCopyWriter(std::string path, VideoFormat format, std::shared_ptr<StreamPacketTap> tap,
                     Closed closed);
    ~StreamCopyWriter() override;

    // PartOutput, from the router.
    void begin(std::int64_t firstFrameIndex) override;
    void video(VideoFramePtr frame, std::int64_t frameIndex) override;
    void audio(AudioChunkPtr, std::size_t, std::size_t) override {}
    void finish() override;
    bool failed() const override;
    std::string failure() const override;

    // StreamCopySink, from the tap.
    void packet(const TimedPacket& packet, const AVCodecParameters* picture,
                const AVCodecParameters* sound) override;
    void ended() override;
    bool done() const override;

    // The muxer for these codecs: "vob" (program stream) or "mpegts".
    static const char* muxerFor(const AVCodecParameters* picture, const AVCodecParameters* sound);

private:
    static std::int64_t timeOf(const TimedPacket& packet);
    void take(const TimedPacket& packet);  // needs mutex_
    void keepCodecs(const AVCodecParameters* picture, const AVCodecParameters* sound);
    bool open(const AVCodecParameters* picture, const AVCodecParameters* sound);
    void write(const TimedPacket& packet);
    void close();  // needs mutex_
    void fail(const std::string& why);

    const std::string path_;
    const VideoFormat format_;
    std::shared_ptr<StreamPacketTap> tap_;
    Closed closed_;

    mutable std::mutex mutex_;
    bool attached_ = false;
    std::int64_t firstIndex_ = 0;
    std::int64_t start_ = -1;       // running time of the part's first picture
    std::int64_t origin_ = 0;       // running time of the recording's timeline at 0
    std::int64_t end_ = -1;         // set when the router finishes the part
    std::int64_t frames_ = 0;
    std::int64_t keyFrom_ = -1;     // running time of the first key picture written
    std::int64_t horizon_ = -1;     // end of the newest picture the part took
    std::deque<TimedPacket> pending_;
    // Copies of the codecs the part opens with, and the tap's they came from.
    AVCodecParameters* picture_ = nullptr;
    AVCodecParameters* sound_ = nullptr;
    const AVCodecParameters* pictureSource_ = nullptr;
    const AVCodecParameters* soundSource_ = nullptr;
    std::int64_t lastDts_[2] = {-1, -1};
    AVFormatContext* out_ = nullptr;
    int pictureOut_ = -1;
    int soundOut_ = -1;
    bool closed_done_ = false;
    std::string failure_;
};

}  // namespace kelbo
