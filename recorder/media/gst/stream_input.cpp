#include "stream_input.h"

#include "av_decoding.h"
#include "av_ref.h"
#include "capture_format.h"
#include "ffmpeg_log.h"
#include "stream_address.h"
#include "stream_io.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <gst/video/video.h>

#include <algorithm>

namespace kelbo {

namespace {

constexpr AVRational kNanoseconds{1, 1'000'000'000};
constexpr std::int64_t kMpegWrap = std::int64_t{1} << 33;

// MPEG's 33-bit time stamps at 90 kHz (MPEG-TS, and HLS of it).
bool wrapsAt33Bits(const AVStream& stream) {
    return stream.pts_wrap_bits == 33 && stream.time_base.num == 1 && stream.time_base.den == 90000;
}

struct DictFree {
    void operator()(AVDictionary* d) const { av_dict_free(&d); }
};

// The options FFmpeg's HTTP reader sends with each request; its HLS reader
// hands the same on to the playlists and segments it fetches.
void setHttpOptions(AVDictionary** options, const HttpOptions& http) {
    if (!http.userAgent.empty() && safeHeaderValue(http.userAgent))
        av_dict_set(options, "user_agent", http.userAgent.c_str(), 0);
    if (!http.referer.empty() && safeHeaderValue(http.referer))
        av_dict_set(options, "referer", http.referer.c_str(), 0);
    if (const std::string lines = headerLines(http); !lines.empty())
        av_dict_set(options, "headers", lines.c_str(), 0);
}

// Why opening failed, in the most telling words at hand.
std::string openError(int code) {
    // A name that does not resolve is a bare I/O error; FFmpeg's own
    // message says what happened.
    std::string message = lastFfmpegError();
    if (code == AVERROR(EIO) && !message.empty()) return message;
    return ffmpegError(code);
}

// The stream's pictures; -1 when it has none. A cover picture that comes
// with the sound (an MP3's artwork) is no picture stream: that is radio.
int findPictures(AVFormatContext& format) {
    const int found = av_find_best_stream(&format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (found < 0 || (format.streams[found]->disposition & AV_DISPOSITION_ATTACHED_PIC)) return -1;
    return found;
}

}  // namespace

std::string ffmpegError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

StreamInput::StreamInput(int width, int height, Interrupt interrupt)
    : width_(width), height_(height), interrupt_(std::move(interrupt)) {}

StreamInput::~StreamInput() {
    avcodec_free_context(&videoCodec_);
    avcodec_free_context(&audioCodec_);
    if (io_) {
        const ReachGuard guard(io_->reach());
        avformat_close_input(&format_);
    }
    sws_freeContext(scaler_);
    swr_free(&resampler_);
}

int StreamInput::interruptCallback(void* self) {
    auto* input = static_cast<StreamInput*>(self);
    return input->interrupt_ && input->interrupt_() ? 1 : 0;
}

std::unique_ptr<StreamInput> StreamInput::open(const StreamRequest& stream, int width, int height,
                                               Interrupt interrupt, std::string* error,
                                               std::shared_ptr<RequestBudget> requests) {
    std::unique_ptr<StreamInput> in(new StreamInput(width, height, std::move(interrupt)));
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return nullptr;
    };
    if (!reachIsChecked())
        return fail("where the stream leads cannot be checked (getaddrinfo is not the program's own)");
    in->io_ = std::make_unique<StreamIo>(stream, std::move(requests));
    const ReachGuard guard(in->io_->reach());
    in->format_ = avformat_alloc_context();
    if (!in->format_) return fail("out of memory");
    in->format_->interrupt_callback = {&StreamInput::interruptCallback, in.get()};
    in->io_->attach(in->format_);
    // Live streams: start soon rather than probe long. Joined between two
    // key pictures, a stream's picture size may stay unknown until the next
    // one; neither the decoders nor the copies need it beforehand.
    in->format_->max_analyze_duration = AV_TIME_BASE / 2;
    AVDictionary* raw = nullptr;
    av_dict_set(&raw, "overrun_nonfatal", "1", 0);  // udp: a late reader loses packets, not the stream
    av_dict_set(&raw, "fifo_size", "278876", 0);    // udp: about 50 MB of packets
    av_dict_set(&raw, "protocol_whitelist", kStreamProtocols, 0);
    // HLS: every playlist, segment and key a request of its own, so that
    // each passes the checks and counts against the tuner's requests.
    av_dict_set(&raw, "http_persistent", "0", 0);
    setHttpOptions(&raw, stream.http);
    std::unique_ptr<AVDictionary, DictFree> options(raw);
    raw = options.release();
    forgetFfmpegError();
    const AVInputFormat* as = nullptr;
    int opened = in->io_->openEntry(in->format_, &raw, &as);
    if (opened >= 0) opened = avformat_open_input(&in->format_, stream.url.c_str(), as, &raw);
    options.reset(raw);
    // The context is freed on failure.
    if (opened < 0) {
        const std::string refused = in->io_->takeRefusal();
        return fail(!refused.empty() ? refused : openError(opened));
    }
    const int found = avformat_find_stream_info(in->format_, nullptr);
    const std::string refused = in->io_->takeRefusal();
    if (found < 0) return fail(!refused.empty() ? refused : ffmpegError(found));
    if (in->format_->nb_streams == 0 && !refused.empty()) return fail(refused);
    in->videoStream_ = findPictures(*in->format_);
    if (in->videoStream_ >= 0) {
        in->videoCodec_ = openDecoder(in->format_->streams[in->videoStream_]);
        if (!in->videoCodec_) return fail("the stream's picture cannot be decoded");
    }
    in->audioStream_ = av_find_best_stream(in->format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (in->audioStream_ >= 0) in->audioCodec_ = openDecoder(in->format_->streams[in->audioStream_]);
    if (in->audioCodec_) {
        in->resampler_ = openStereoResampler(*in->audioCodec_);
        in->resampledRate_ = in->audioCodec_->sample_rate;
        in->resampledFormat_ = in->audioCodec_->sample_fmt;
        in->resampledChannels_ = in->audioCodec_->ch_layout.nb_channels;
    }
    if (!in->resampler_) avcodec_free_context(&in->audioCodec_);
    if (!in->audioCodec_) in->audioStream_ = -1;
    // Sound alone is radio; a stream with neither cannot be recorded.
    if (in->videoStream_ < 0 && in->audioStream_ < 0)
        return fail(!refused.empty() ? refused : "the stream has neither picture nor sound that can be decoded");
    in->chooseCopiedStreams();
    // Only the streams we decode or copy are read.
    for (unsigned i = 0; i < in->format_->nb_streams; ++i)
        if (static_cast<int>(i) != in->audioStream_ && in->trackOf_[i] < 0)
            in->format_->streams[i]->discard = AVDISCARD_ALL;
    return in;
}

void StreamInput::chooseCopiedStreams() {
    // The pictures lead, or for radio the sound that is heard.
    const int lead = videoStream_ >= 0 ? videoStream_ : audioStream_;
    // The lead's own programme: a broadcast multiplex or an HLS master
    // playlist holds other channels and variants beside it.
    const AVProgram* programme = nullptr;
    for (unsigned p = 0; p < format_->nb_programs && !programme; ++p)
        for (unsigned k = 0; k < format_->programs[p]->nb_stream_indexes; ++k)
            if (static_cast<int>(format_->programs[p]->stream_index[k]) == lead) programme = format_->programs[p];
    const auto inProgramme = [&](unsigned stream) {
        if (!programme) return true;
        const unsigned* begin = programme->stream_index;
        const unsigned* end = begin + programme->nb_stream_indexes;
        return std::find(begin, end, stream) != end;
    };
    trackOf_.assign(format_->nb_streams, -1);
    copied_ = {lead};
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        if (static_cast<int>(i) == lead) continue;
        const AVCodecParameters* codec = format_->streams[i]->codecpar;
        const bool sound = codec->codec_type == AVMEDIA_TYPE_AUDIO && codec->codec_id != AV_CODEC_ID_NONE;
        // The subtitles broadcasts carry; others (an HLS playlist's WebVTT)
        // have no place in the files.
        const bool subtitles = codec->codec_id == AV_CODEC_ID_DVB_SUBTITLE || codec->codec_id == AV_CODEC_ID_DVB_TELETEXT;
        if ((sound || subtitles) && inProgramme(i)) copied_.push_back(static_cast<int>(i));
    }
    for (std::size_t track = 0; track < copied_.size(); ++track)
        trackOf_[static_cast<std::size_t>(copied_[track])] = static_cast<int>(track);
}

std::vector<CopyTrack> StreamInput::copyTracks() const {
    std::vector<CopyTrack> tracks;
    for (const int index : copied_) {
        const AVStream* stream = format_->streams[index];
        const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0);
        tracks.push_back({stream->codecpar, language ? language->value : "", stream->disposition});
    }
    return tracks;
}

std::int64_t StreamInput::clockWrapNs() const {
    const AVStream* lead = format_->streams[videoStream_ >= 0 ? videoStream_ : audioStream_];
    return wrapsAt33Bits(*lead) ? av_rescale_q(kMpegWrap, lead->time_base, kNanoseconds) : 0;
}

void StreamInput::setDecoding(Decoding decoding) {
    if (decoding.pictures != decoding_.pictures || decoding.keyPicturesOnly != decoding_.keyPicturesOnly)
        pictureSynced_ = false;
    if (!decoding.sound) soundSynced_ = false;
    decoding_ = decoding;
}

bool StreamInput::read(std::vector<Media>& out, std::string* error, std::vector<Packet>* packets) {
    AvPacketPtr packet = allocatePacket();
    if (!packet) {
        if (error) *error = "out of memory";
        return false;
    }
    const ReachGuard guard(io_->reach());
    const int got = av_read_frame(format_, packet.get());
    if (got < 0) {
        const std::string refused = io_->takeRefusal();
        if (error) *error = !refused.empty() ? refused : got == AVERROR_EOF ? "the stream ended" : ffmpegError(got);
        return false;
    }
    AVCodecContext* codec = packet->stream_index == videoStream_   ? videoCodec_
                            : packet->stream_index == audioStream_ ? audioCodec_
                                                                   : nullptr;
    const int track = packet->stream_index >= 0 && static_cast<std::size_t>(packet->stream_index) < trackOf_.size()
                          ? trackOf_[static_cast<std::size_t>(packet->stream_index)]
                          : -1;
    if (track >= 0 && packets) {
        const AVStream& stream = *format_->streams[packet->stream_index];
        // FFmpeg corrects one wrap of its own, to times below zero when the
        // stream is joined just before it: the timeline unwraps them all.
        const auto time = [&](std::int64_t ts) {
            return av_rescale_q(wrapsAt33Bits(stream) ? ts & (kMpegWrap - 1) : ts, stream.time_base, kNanoseconds);
        };
        Packet copy;
        copy.packet.reset(av_packet_clone(packet.get()));
        copy.track = track;
        copy.picture = track == 0 && packet->stream_index == videoStream_;
        copy.setsClock = copy.picture || packet->stream_index == audioStream_;
        copy.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        if (packet->pts != AV_NOPTS_VALUE) copy.pts = time(packet->pts);
        if (packet->dts != AV_NOPTS_VALUE) copy.dts = time(packet->dts);
        copy.duration = durationOf(*packet);
        if (copy.packet) packets->push_back(std::move(copy));
    }
    if (codec && codec == videoCodec_) decodePicture(*packet, out);
    else if (codec) decodeSound(*packet, out);
    return true;
}

std::int64_t StreamInput::durationOf(const AVPacket& packet) const {
    const AVStream* stream = format_->streams[packet.stream_index];
    if (packet.duration > 0) return av_rescale_q(packet.duration, stream->time_base, kNanoseconds);
    if (packet.stream_index == videoStream_) {
        const AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
        return rate.num > 0 ? av_rescale_q(1, av_inv_q(rate), kNanoseconds) : 0;
    }
    const AVCodecParameters* sound = stream->codecpar;
    return sound->frame_size > 0 && sound->sample_rate > 0
               ? av_rescale_q(sound->frame_size, AVRational{1, sound->sample_rate}, kNanoseconds)
               : 0;
}

void StreamInput::decodePicture(const AVPacket& packet, std::vector<Media>& out) {
    if (!decoding_.pictures) return;
    const bool key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    if (!pictureSynced_) {
        // Decoding (again) from a key picture, with nothing left of before.
        if (!key) return;
        avcodec_flush_buffers(videoCodec_);
        pictureSynced_ = true;
    }
    if (!decoding_.keyPicturesOnly) {
        if (avcodec_send_packet(videoCodec_, &packet) >= 0) decode(videoCodec_, videoStream_, out);
        return;
    }
    if (!key) return;
    // Each key picture alone, drained at once: a decoder that reorders would
    // otherwise hold it back for pictures that are never given to it.
    if (avcodec_send_packet(videoCodec_, &packet) >= 0 && avcodec_send_packet(videoCodec_, nullptr) >= 0)
        decode(videoCodec_, videoStream_, out);
    avcodec_flush_buffers(videoCodec_);
}

void StreamInput::decodeSound(const AVPacket& packet, std::vector<Media>& out) {
    if (!decoding_.sound) return;
    if (!soundSynced_) {
        avcodec_flush_buffers(audioCodec_);
        soundSynced_ = true;
    }
    if (avcodec_send_packet(audioCodec_, &packet) >= 0) decode(audioCodec_, audioStream_, out);
}

void StreamInput::decode(AVCodecContext* codec, int stream, std::vector<Media>& out) {
    AvFramePtr frame = allocateFrame();
    if (!frame) return;
    const bool picture = codec == videoCodec_;
    while (avcodec_receive_frame(codec, frame.get()) == 0) {
        Media media;
        media.picture = picture;
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
            media.pts = av_rescale_q(frame->best_effort_timestamp,
                                     format_->streams[stream]->time_base, kNanoseconds);
        media.buffer = picture ? convertPicture(*frame) : convertSound(*frame);
        if (media.buffer) out.push_back(std::move(media));
        av_frame_unref(frame.get());
    }
}

GstBufferRef StreamInput::convertPicture(const AVFrame& frame) {
    scaler_ = sws_getCachedContext(scaler_, frame.width, frame.height,
                                   static_cast<AVPixelFormat>(frame.format), width_, height_,
                                   AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_) return nullptr;
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, static_cast<guint>(width_),
                              static_cast<guint>(height_));
    GstBufferRef buffer(gst_buffer_new_allocate(nullptr, info.size, nullptr));
    GstVideoFrame mapped;
    if (!buffer || !gst_video_frame_map(&mapped, &info, buffer.get(), GST_MAP_WRITE)) return nullptr;
    std::uint8_t* planes[4] = {};
    int strides[4] = {};
    for (guint p = 0; p < GST_VIDEO_FRAME_N_PLANES(&mapped); ++p) {
        planes[p] = static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped, p));
        strides[p] = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped, p);
    }
    sws_scale(scaler_, frame.data, frame.linesize, 0, frame.height, planes, strides);
    gst_video_frame_unmap(&mapped);
    return buffer;
}

GstBufferRef StreamInput::convertSound(const AVFrame& frame) {
    if (frame.sample_rate != resampledRate_ || frame.format != resampledFormat_ ||
        frame.ch_layout.nb_channels != resampledChannels_) {
        // The stream's sound changed (a new programme, a discontinuity).
        swr_free(&resampler_);
        resampler_ = openStereoResampler(frame.ch_layout, frame.format, frame.sample_rate);
        resampledRate_ = frame.sample_rate;
        resampledFormat_ = frame.format;
        resampledChannels_ = frame.ch_layout.nb_channels;
    }
    if (!resampler_) return nullptr;
    const int room = swr_get_out_samples(resampler_, frame.nb_samples);
    if (room <= 0) return nullptr;
    const gsize bytesPerSample = 2 * static_cast<gsize>(kAudioChannels);
    GstBufferRef buffer(gst_buffer_new_allocate(nullptr, static_cast<gsize>(room) * bytesPerSample, nullptr));
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer.get(), &map, GST_MAP_WRITE)) return nullptr;
    std::uint8_t* outPlanes[] = {map.data};
    const int made = swr_convert(resampler_, outPlanes, room,
                                 const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    gst_buffer_unmap(buffer.get(), &map);
    if (made <= 0) return nullptr;
    gst_buffer_set_size(buffer.get(), static_cast<gssize>(static_cast<gsize>(made) * bytesPerSample));
    return buffer;
}

}  // namespace kelbo
