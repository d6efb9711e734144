#include "copy_muxer.h"

#include "recorder/ports/log.h"
#include "stream_input.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace kelbo {

namespace {

constexpr AVRational kNanoseconds{1, 1'000'000'000};
constexpr AVRational kMpegClock{1, 90000};
constexpr std::int64_t kTimelineStartNs = 1'000'000'000;  // as the encoded parts

bool fitsProgramStream(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    // Radio, without pictures, goes where its sound fits.
    const bool video = !picture || picture->codec_id == AV_CODEC_ID_MPEG2VIDEO ||
                       picture->codec_id == AV_CODEC_ID_MPEG1VIDEO;
    const bool audio = !sound || sound->codec_id == AV_CODEC_ID_MP2 ||
                       sound->codec_id == AV_CODEC_ID_MP3 || sound->codec_id == AV_CODEC_ID_AC3;
    return (picture || sound) && video && audio;
}

}  // namespace

const char* CopyMuxer::muxerFor(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    return fitsProgramStream(picture, sound) ? "vob" : "mpegts";
}

CopyMuxer::~CopyMuxer() { close(); }

bool CopyMuxer::open(std::unique_ptr<PartFile> file, std::shared_ptr<const StreamCodecs> codecs) {
    file_ = std::move(file);
    if (!file_) {
        fail("no file to write into");
        return false;
    }
    path_ = file_->path();
    codecs_ = std::move(codecs);
    const AVCodecParameters* picture = codecs_ ? codecs_->picture() : nullptr;
    const AVCodecParameters* sound = codecs_ ? codecs_->sound() : nullptr;
    if (!picture && !sound) {
        fail("the stream's codecs are not known", DeviceFault::Stream);
        return false;
    }
    const char* muxer = muxerFor(picture, sound);
    AVFormatContext* out = nullptr;
    const int made = avformat_alloc_output_context2(&out, nullptr, muxer, path_.c_str());
    out_.reset(out);
    if (made < 0) {
        fail("cannot make a " + std::string(muxer) + " file");
        return false;
    }
    const auto addStream = [&](const AVCodecParameters* p) {
        AVStream* stream = avformat_new_stream(out_.get(), nullptr);
        if (!stream || avcodec_parameters_copy(stream->codecpar, p) < 0) return -1;
        stream->codecpar->codec_tag = 0;
        stream->time_base = kMpegClock;
        return stream->index;
    };
    pictureOut_ = picture ? addStream(picture) : -1;
    soundOut_ = sound ? addStream(sound) : -1;
    if ((picture && pictureOut_ < 0) || (sound && soundOut_ < 0)) {
        fail("out of memory");
        return false;
    }
    // A program stream holds no picture size (the pictures' own sequence
    // headers do), yet libavformat refuses to begin one without: a stream
    // probed before its first sequence header came gets a stand-in.
    AVCodecParameters* written = picture ? out_->streams[pictureOut_]->codecpar : nullptr;
    if (written && std::string(muxer) == "vob" && (written->width <= 0 || written->height <= 0)) {
        written->width = 16;
        written->height = 16;
    }
    out_->pb = file_->io();
    out_->flags |= AVFMT_FLAG_CUSTOM_IO;
    const int status = avformat_write_header(out_.get(), nullptr);
    if (status < 0) {
        fail("the stream's codecs (" + codecs_->names() + ") cannot be copied into " + path_ + ": " +
                 ffmpegError(status),
             DeviceFault::Stream);
        return false;
    }
    headerWritten_ = true;
    return true;
}

void CopyMuxer::write(const TimedPacket& packet, std::int64_t origin) {
    if (!headerWritten_ || failure_.failed()) return;
    const int stream = packet.picture ? pictureOut_ : soundOut_;
    if (stream < 0 || !packet.packet) return;
    AvPacketPtr copy(av_packet_clone(packet.packet.get()));
    if (!copy) return;
    const auto toMpeg = [&](std::int64_t ns) {
        return av_rescale_q(ns - origin + kTimelineStartNs, kNanoseconds, kMpegClock);
    };
    copy->stream_index = stream;
    copy->pts = packet.pts >= 0 ? toMpeg(packet.pts) : AV_NOPTS_VALUE;
    copy->dts = packet.dts >= 0 ? toMpeg(packet.dts) : copy->pts;
    copy->duration = av_rescale_q(packet.duration, kNanoseconds, kMpegClock);
    copy->pos = -1;
    // The muxers want rising decoding times.
    std::int64_t& last = lastDts_[packet.picture ? 1 : 0];
    if (copy->dts != AV_NOPTS_VALUE) {
        if (copy->dts <= last) {
            ++leftOut_;
            return;
        }
        last = copy->dts;
    }
    const int status = av_interleaved_write_frame(out_.get(), copy.get());
    if (status < 0) failWriting(status);
}

bool CopyMuxer::close() {
    if (!out_) {
        if (file_) file_->close(PartFile::Removal::Always);
        file_.reset();
        return false;
    }
    if (headerWritten_ && !failure_.failed()) {
        const int status = av_write_trailer(out_.get());
        if (status < 0) failWriting(status);
    }
    if (file_) {
        // What the trailer left in the buffer reaches the disk only here. A
        // write that failed keeps what reached the disk before it.
        const int status = file_->close(headerWritten_ ? PartFile::Removal::IfEmpty : PartFile::Removal::Always);
        if (status < 0) failWriting(status);
    }
    const bool whole = headerWritten_ && !failure_.failed();
    out_.reset();
    file_.reset();
    headerWritten_ = false;
    return whole;
}

void CopyMuxer::failWriting(int status) {
    fail("Cannot write " + path_ + ": " + ffmpegError(status), fileFault(AVUNERROR(status)));
}

void CopyMuxer::fail(const std::string& why, DeviceFault fault) {
    if (failure_.failed()) return;
    failure_ = {fault, why};
    log::error(log::Area::Stream, why);
}

}  // namespace kelbo
