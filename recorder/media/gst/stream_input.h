#pragma once

#include "av_ref.h"
#include "gst_ref.h"
#include "request_budget.h"
#include "stream_packet_tap.h"
#include "common/stream_url.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVCodecParameters;
struct AVDictionary;
struct AVFormatContext;
struct AVIOContext;
struct AVFrame;
struct SwrContext;
struct SwsContext;

namespace kelbo {

class StreamIo;

// One connection to a network stream: FFmpeg demuxes and decodes it into
// I420 pictures of one fixed size (whatever the stream's own size) and
// 16-bit stereo sound at 48 kHz, ready for the pipeline's appsrcs.
class StreamInput {
public:
    // Asked during every blocking read or connect: true gives it up.
    using Interrupt = std::function<bool()>;

    struct Media {
        GstBufferRef buffer;
        bool picture = false;
        std::int64_t pts = -1;  // nanoseconds on the stream's own clock; -1 unknown
    };

    // A packet as it came, for copying; times on the stream's own clock,
    // which for MPEG time stamps is taken modulo their 33-bit wrap.
    struct Packet {
        AvPacketPtr packet;
        int track = 0;  // among copyTracks()
        // The pictures and the sound that is decoded: the stream's clock is
        // learnt from them, not from the other tracks.
        bool setsClock = true;
        bool picture = false;
        bool key = false;
        std::int64_t pts = -1;  // nanoseconds; -1 unknown
        std::int64_t dts = -1;
        std::int64_t duration = 0;  // nanoseconds; 0 unknown
    };

    // What is decoded of what is read. The packets for copying come either
    // way, so a copy needs no decoding at all.
    struct Decoding {
        bool pictures = true;
        bool keyPicturesOnly = false;  // of the pictures, only the key pictures
        bool sound = true;
        bool operator==(const Decoding&) const = default;
    };

    // Nothing, with `error` set, when the stream cannot be opened or has
    // neither picture nor sound that can be decoded; a stream of sound alone
    // (radio) has no picture, and parameters(true) is then null. The
    // stream's HTTP options go with every request of this connection, an HLS
    // playlist's segments included. Its requests wait their turns in
    // `requests`, the tuner's; a budget of its own when none is given.
    static std::unique_ptr<StreamInput> open(const StreamRequest& stream, int width, int height,
                                             Interrupt interrupt, std::string* error,
                                             std::shared_ptr<RequestBudget> requests = nullptr);
    ~StreamInput();
    StreamInput(const StreamInput&) = delete;
    StreamInput& operator=(const StreamInput&) = delete;

    bool hasSound() const { return audioStream_ >= 0; }
    bool hasPicture() const { return videoStream_ >= 0; }
    // Reads one packet and appends what it decodes to `out`, and the packet
    // itself to `packets` when given. False when the stream has ended or
    // failed, with `error` saying which.
    bool read(std::vector<Media>& out, std::string* error, std::vector<Packet>* packets = nullptr);
    void setDecoding(Decoding decoding);
    // The tracks a copy carries: the pictures first, then every sound,
    // subtitle and teletext track of their programme, in the stream's order.
    // Valid while the input lives.
    std::vector<CopyTrack> copyTracks() const;
    // After how long the time stamps of the copied packets wrap round (the
    // 33 bits of MPEG's 90 kHz clock); 0 when they do not.
    std::int64_t clockWrapNs() const;

private:
    StreamInput(int width, int height, Interrupt interrupt);
    static int interruptCallback(void* self);
    void chooseCopiedStreams();
    void decodePicture(const AVPacket& packet, std::vector<Media>& out);
    void decodeSound(const AVPacket& packet, std::vector<Media>& out);
    void decode(AVCodecContext* codec, int stream, std::vector<Media>& out);
    std::int64_t durationOf(const AVPacket& packet) const;
    GstBufferRef convertPicture(const AVFrame& frame);
    GstBufferRef convertSound(const AVFrame& frame);

    int width_;
    int height_;
    Interrupt interrupt_;
    std::unique_ptr<StreamIo> io_;  // what FFmpeg opens for the stream, and where it connects
    AVFormatContext* format_ = nullptr;
    AVCodecContext* videoCodec_ = nullptr;
    AVCodecContext* audioCodec_ = nullptr;
    SwsContext* scaler_ = nullptr;
    SwrContext* resampler_ = nullptr;
    int videoStream_ = -1;
    int audioStream_ = -1;
    std::vector<int> copied_;      // the streams of copyTracks(), in order
    std::vector<int> trackOf_;     // each stream's place in copied_; -1 not copied
    Decoding decoding_;
    // The decoder has been given everything since a key picture (or sound
    // since it was last paused), so what it is given next decodes cleanly.
    bool pictureSynced_ = false;
    bool soundSynced_ = true;
    // What the resampler was made for; a stream may change its sound.
    int resampledRate_ = 0;
    int resampledFormat_ = -1;
    int resampledChannels_ = 0;
};

// FFmpeg's words for an error code.
std::string ffmpegError(int code);

}  // namespace kelbo
