#include "copy_muxer.h"

#include "recorder/ports/log.h"
#include "stream_input.h"

#include <filesystem>

extern "C" {
#include <libavformat/avformat.h>
}

namespace kelbo {

namespace {

constexpr AVRational kNanoseconds{1, 1'000'000'000};
constexpr AVRational kMpegClock{1, 90000};
constexpr std::int64_t kTimelineStartNs = 1'000'000'000;  // as the encoded parts

// A program stream carries MPEG pictures with MPEG audio or AC-3, but no
// subtitles, and no languages: two sounds need MPEG-TS to be told apart.
// Radio, without pictures, goes where its one sound fits.
bool fitsProgramStream(const StreamCodecs& codecs) {
    const AVCodecParameters* picture = codecs.picture();
    if (picture && picture->codec_id != AV_CODEC_ID_MPEG2VIDEO && picture->codec_id != AV_CODEC_ID_MPEG1VIDEO)
        return false;
    const std::size_t first = picture ? 1 : 0;
    const std::size_t others = codecs.tracks().size() - first;
    if (others > 1 || (!picture && others == 0)) return false;
    for (std::size_t track = first; track < codecs.tracks().size(); ++track) {
        const AVCodecParameters* codec = codecs.tracks()[track].codec;
        const AVCodecID id = codec ? codec->codec_id : AV_CODEC_ID_NONE;
        if (id != AV_CODEC_ID_MP2 && id != AV_CODEC_ID_MP3 && id != AV_CODEC_ID_AC3) return false;
    }
    return true;
}

}  // namespace

const char* CopyMuxer::muxerFor(const StreamCodecs& codecs) {
    return fitsProgramStream(codecs) ? "vob" : "mpegts";
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
    if (!codecs_ || (!codecs_->picture() && !codecs_->hasSound())) {
        fail("the stream's codecs are not known", DeviceFault::Stream);
        return false;
    }
    const char* muxer = muxerFor(*codecs_);
    AVFormatContext* out = nullptr;
    const int made = avformat_alloc_output_context2(&out, nullptr, muxer, path_.c_str());
    out_.reset(out);
    if (made < 0) {
        fail("cannot make a " + std::string(muxer) + " file");
        return false;
    }
    if (!addTracks(muxer)) {
        fail("out of memory");
        return false;
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

bool CopyMuxer::addTracks(const char* muxer) {
    for (const CopyTrack& track : codecs_->tracks()) {
        AVStream* stream = avformat_new_stream(out_.get(), nullptr);
        if (!stream || !track.codec || avcodec_parameters_copy(stream->codecpar, track.codec) < 0) return false;
        stream->codecpar->codec_tag = 0;
        stream->time_base = kMpegClock;
        stream->disposition = track.disposition;
        if (!track.language.empty()) av_dict_set(&stream->metadata, "language", track.language.c_str(), 0);
    }
    lastDts_.assign(codecs_->tracks().size(), -1);
    // A program stream holds no picture size (the pictures' own sequence
    // headers do), yet libavformat refuses to begin one without: a stream
    // probed before its first sequence header came gets a stand-in.
    AVCodecParameters* picture = codecs_->picture() ? out_->streams[0]->codecpar : nullptr;
    if (picture && std::string(muxer) == "vob" && (picture->width <= 0 || picture->height <= 0)) {
        picture->width = 16;
        picture->height = 16;
    }
    return true;
}

bool CopyMuxer::write(const TimedPacket& packet, std::int64_t origin) {
    if (!headerWritten_ || failure_.failed()) return !failure_.failed();
    if (packet.track < 0 || static_cast<std::size_t>(packet.track) >= lastDts_.size() || !packet.packet) return true;
    AvPacketPtr copy(av_packet_clone(packet.packet.get()));
    if (!copy) return true;
    const auto toMpeg = [&](std::int64_t ns) {
        return av_rescale_q(ns - origin + kTimelineStartNs, kNanoseconds, kMpegClock);
    };
    copy->stream_index = packet.track;
    copy->dts = packet.dts >= 0 ? toMpeg(packet.dts) : toMpeg(packet.pts);
    // MPEG-TS takes no first packet without both times.
    copy->pts = packet.pts >= 0 ? toMpeg(packet.pts) : copy->dts;
    copy->duration = av_rescale_q(packet.duration, kNanoseconds, kMpegClock);
    copy->pos = -1;
    // The muxers want rising decoding times.
    std::int64_t& last = lastDts_[static_cast<std::size_t>(packet.track)];
    if (copy->dts <= last) {
        ++leftOut_;
        return true;
    }
    last = copy->dts;
    // Writes go through a buffer, which keeps the first error it meets.
    const int status = av_interleaved_write_frame(out_.get(), copy.get());
    if (out_->pb && out_->pb->error < 0) {
        failWriting(out_->pb->error);
        return false;
    }
    if (status >= 0) {
        ++taken_;
        refusedInARow_ = 0;
        return true;
    }
    // A packet the muxer will not take: the file must not run on empty.
    ++leftOut_;
    if (taken_ > 0 && ++refusedInARow_ < kMostRefusedInARow) return true;
    fail("the muxer refuses the stream's packets (" + codecs_->names() + ") for " + path_ + ": " +
             ffmpegError(status),
         DeviceFault::Stream);
    return false;
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
        const int status = file_->close(taken_ > 0 ? PartFile::Removal::IfEmpty : PartFile::Removal::Always);
        out_->pb = nullptr;
        if (status < 0) failWriting(status);
    }
    const bool whole = headerWritten_ && !failure_.failed();
    out_.reset();
    file_.reset();
    headerWritten_ = false;
    return whole;
}

void CopyMuxer::failWriting(int status) {
    if (out_ && out_->pb && out_->pb->error < 0) status = out_->pb->error;
    fail("Cannot write " + std::filesystem::path(path_).parent_path().string() + ": " + ffmpegError(status),
         fileFault(AVUNERROR(status)));
}

void CopyMuxer::fail(const std::string& why, DeviceFault fault) {
    if (failure_.failed()) return;
    failure_ = {fault, why};
    log::error(log::Area::Stream, why);
}

}  // namespace kelbo
