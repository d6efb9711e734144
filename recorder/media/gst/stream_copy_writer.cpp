#include "stream_copy_writer.h"

#include "recorder/ports/log.h"
#include "stream_input.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kelbo {

namespace {

constexpr AVRational kNanoseconds{1, 1'000'000'000};
constexpr AVRational kMpegClock{1, 90000};
constexpr std::int64_t kTimelineStartNs = 1'000'000'000;  // as the encoded parts

bool fitsProgramStream(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    const bool video = picture && (picture->codec_id == AV_CODEC_ID_MPEG2VIDEO ||
                                   picture->codec_id == AV_CODEC_ID_MPEG1VIDEO);
    const bool audio = !sound || sound->codec_id == AV_CODEC_ID_MP2 ||
                       sound->codec_id == AV_CODEC_ID_MP3 || sound->codec_id == AV_CODEC_ID_AC3;
    return video && audio;
}

}  // namespace

const char* StreamCopyWriter::muxerFor(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    return fitsProgramStream(picture, sound) ? "vob" : "mpegts";
}

std::shared_ptr<StreamCopyWriter> StreamCopyWriter::create(std::string path, VideoFormat format,
                                                           std::shared_ptr<StreamPacketTap> tap,
                                                           Closed closed, std::string* error) {
    // Made at once, as the encoded parts are, so a folder that cannot be
    // written is known at the start.
    std::FILE* probe = std::fopen(path.c_str(), "wb");
    if (!probe) {
        if (error)
            *error = "Cannot write " + std::filesystem::path(path).parent_path().string() + ": " +
                     std::strerror(errno);
        return nullptr;
    }
    std::fclose(probe);
    return std::make_shared<StreamCopyWriter>(std::move(path), format, std::move(tap), std::move(closed));
}

StreamCopyWriter::StreamCopyWriter(std::string path, VideoFormat format,
                                   std::shared_ptr<StreamPacketTap> tap, Closed closed)
    : path_(std::move(path)), format_(format), tap_(std::move(tap)), closed_(std::move(closed)) {}

StreamCopyWriter::~StreamCopyWriter() {
    std::lock_guard lock(mutex_);
    close();
    avcodec_parameters_free(&picture_);
    avcodec_parameters_free(&sound_);
}

void StreamCopyWriter::begin(std::int64_t firstFrameIndex) {
    std::lock_guard lock(mutex_);
    firstIndex_ = firstFrameIndex;
}

void StreamCopyWriter::video(VideoFramePtr frame, std::int64_t) {
    bool attach = false;
    {
        std::lock_guard lock(mutex_);
        if (start_ < 0) {
            start_ = frame->pts();
            origin_ = start_ - format_.framesToNs(firstIndex_);
            attach = !attached_;
            attached_ = true;
        }
        ++frames_;
        // The part holds at least this much: what waited for it can go.
        horizon_ = frame->pts() + format_.frameDurationNs();
        while (!pending_.empty() && !closed_done_ && timeOf(pending_.front()) < horizon_) {
            take(pending_.front());
            pending_.pop_front();
        }
    }
    // Outside the lock: the tap calls back into packet().
    if (attach) tap_->attach(shared_from_this());
}

void StreamCopyWriter::finish() {
    std::lock_guard lock(mutex_);
    end_ = start_ < 0 ? 0 : start_ + format_.framesToNs(frames_);
    if (start_ < 0) close();  // never began: nothing to wait for
    while (!pending_.empty() && !closed_done_) {
        take(pending_.front());
        pending_.pop_front();
    }
    pending_.clear();
}

bool StreamCopyWriter::failed() const {
    std::lock_guard lock(mutex_);
    return !failure_.empty();
}

std::string StreamCopyWriter::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

bool StreamCopyWriter::done() const {
    std::lock_guard lock(mutex_);
    return closed_done_;
}

void StreamCopyWriter::ended() {
    std::lock_guard lock(mutex_);
    close();
}

void StreamCopyWriter::packet(const TimedPacket& packet, const AVCodecParameters* picture,
                              const AVCodecParameters* sound) {
    std::lock_guard lock(mutex_);
    if (closed_done_ || start_ < 0 || !packet.packet) return;
    // Packets run ahead of the pictures: until the part's end is known, one
    // past the pictures seen so far may lie beyond it, so it waits.
    if (!out_) keepCodecs(picture, sound);
    if (end_ < 0 && timeOf(packet) >= horizon_) {
        pending_.push_back(packet);
        return;
    }
    take(packet);
}

void StreamCopyWriter::keepCodecs(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    const auto keep = [](AVCodecParameters*& own, const AVCodecParameters* from) {
        avcodec_parameters_free(&own);
        if (!from) return;
        own = avcodec_parameters_alloc();
        if (own && avcodec_parameters_copy(own, from) < 0) avcodec_parameters_free(&own);
    };
    if (picture != pictureSource_) keep(picture_, picture);
    if (sound != soundSource_) keep(sound_, sound);
    pictureSource_ = picture;
    soundSource_ = sound;
}

std::int64_t StreamCopyWriter::timeOf(const TimedPacket& packet) {
    return packet.pts >= 0 ? packet.pts : packet.dts;
}

void StreamCopyWriter::take(const TimedPacket& packet) {
    const AVCodecParameters* picture = picture_;
    const AVCodecParameters* sound = sound_;
    const std::int64_t at = timeOf(packet);
    if (packet.picture && packet.key && end_ >= 0 && at >= end_) {
        close();  // the next part starts with this key picture
        return;
    }
    if (end_ >= 0 && at > end_ + kKeyWaitNs) {
        close();
        return;
    }
    if (keyFrom_ < 0) {
        // Wait for the first key picture at or after the part's start (half
        // a frame early still counts: time stamps are rounded).
        if (!packet.picture || !packet.key || at < start_ - format_.frameDurationNs() / 2) return;
        if (!open(picture, sound)) return;
        keyFrom_ = at;
    }
    if (!packet.picture && at < keyFrom_) return;
    write(packet);
}

bool StreamCopyWriter::open(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    if (!picture) return false;
    if (avformat_alloc_output_context2(&out_, nullptr, muxerFor(picture, sound), path_.c_str()) < 0) {
        fail("cannot make a " + std::string(muxerFor(picture, sound)) + " file");
        return false;
    }
    const auto addStream = [&](const AVCodecParameters* p) {
        AVStream* stream = avformat_new_stream(out_, nullptr);
        if (!stream || avcodec_parameters_copy(stream->codecpar, p) < 0) return -1;
        stream->codecpar->codec_tag = 0;
        stream->time_base = kMpegClock;
        return stream->index;
    };
    pictureOut_ = addStream(picture);
    soundOut_ = sound ? addStream(sound) : -1;
    if (pictureOut_ < 0 || (sound && soundOut_ < 0)) {
        fail("out of memory");
        return false;
    }
    int status = avio_open(&out_->pb, path_.c_str(), AVIO_FLAG_WRITE);
    if (status < 0) {
        fail("Cannot write " + path_ + ": " + ffmpegError(status));
        return false;
    }
    status = avformat_write_header(out_, nullptr);
    if (status < 0) {
        fail("the stream's codecs cannot be copied into " + path_ + ": " + ffmpegError(status));
        return false;
    }
    return true;
}

void StreamCopyWriter::write(const TimedPacket& packet) {
    if (!out_ || !failure_.empty()) return;
    const int stream = packet.picture ? pictureOut_ : soundOut_;
    if (stream < 0) return;
    AvPacketPtr copy(av_packet_clone(packet.packet.get()));
    if (!copy) return;
    const auto toMpeg = [&](std::int64_t ns) {
        return av_rescale_q(ns - origin_ + kTimelineStartNs, kNanoseconds, kMpegClock);
    };
    copy->stream_index = stream;
    copy->pts = packet.pts >= 0 ? toMpeg(packet.pts) : AV_NOPTS_VALUE;
    copy->dts = packet.dts >= 0 ? toMpeg(packet.dts) : copy->pts;
    copy->duration = 0;
    copy->pos = -1;
    // The muxers want rising decoding times: a packet out of order (a
    // reconnect's overlap) is left out.
    const int slot = packet.picture ? 0 : 1;
    if (copy->dts != AV_NOPTS_VALUE) {
        if (copy->dts <= lastDts_[slot]) return;
        lastDts_[slot] = copy->dts;
    }
    const int status = av_interleaved_write_frame(out_, copy.get());
    if (status < 0) fail("Cannot write " + path_ + ": " + ffmpegError(status));
}

void StreamCopyWriter::fail(const std::string& why) {
    if (failure_.empty()) {
        failure_ = why;
        log::error(why);
    }
}

void StreamCopyWriter::close() {
    if (closed_done_) return;
    closed_done_ = true;
    bool wrote = false;
    if (out_) {
        if (keyFrom_ >= 0 && failure_.empty()) {
            const int status = av_write_trailer(out_);
            if (status < 0) fail("Cannot write " + path_ + ": " + ffmpegError(status));
            wrote = true;
        }
        if (out_->pb) avio_closep(&out_->pb);
        avformat_free_context(out_);
        out_ = nullptr;
    }
    std::error_code ec;
    // A part that got nothing leaves no file.
    if (!wrote) std::filesystem::remove(path_, ec);
    // A part replaced before its first picture is no failure.
    Result result{path_, format_.framesToMs(frames_), failure_.empty() && (wrote || frames_ == 0),
                  failure_};
    if (!result.ok && result.error.empty()) result.error = "the stream brought no key picture";
    if (closed_) closed_(result);
}

}  // namespace kelbo
