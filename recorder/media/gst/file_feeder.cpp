#include "file_feeder.h"

#include "av_decoding.h"
#include "av_ref.h"
#include "capture_format.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <gst/video/video.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace kelbo {

namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

void freeFrame(gpointer frame) {
    AVFrame* f = static_cast<AVFrame*>(frame);
    av_frame_free(&f);
}

GstVideoFormat gstFormatOf(int avFormat) {
    switch (avFormat) {
        case AV_PIX_FMT_YUV420P:
        case AV_PIX_FMT_YUVJ420P: return GST_VIDEO_FORMAT_I420;
        case AV_PIX_FMT_YUV422P:
        case AV_PIX_FMT_YUVJ422P: return GST_VIDEO_FORMAT_Y42B;
        case AV_PIX_FMT_YUV444P:
        case AV_PIX_FMT_YUVJ444P: return GST_VIDEO_FORMAT_Y444;
        case AV_PIX_FMT_NV12: return GST_VIDEO_FORMAT_NV12;
        case AV_PIX_FMT_YUYV422: return GST_VIDEO_FORMAT_YUY2;
        case AV_PIX_FMT_UYVY422: return GST_VIDEO_FORMAT_UYVY;
        case AV_PIX_FMT_RGB24: return GST_VIDEO_FORMAT_RGB;
        case AV_PIX_FMT_BGR24: return GST_VIDEO_FORMAT_BGR;
        case AV_PIX_FMT_RGBA: return GST_VIDEO_FORMAT_RGBA;
        case AV_PIX_FMT_BGRA: return GST_VIDEO_FORMAT_BGRA;
        case AV_PIX_FMT_GRAY8: return GST_VIDEO_FORMAT_GRAY8;
        default: return GST_VIDEO_FORMAT_UNKNOWN;
    }
}

}  // namespace

std::unique_ptr<FileFeeder> FileFeeder::open(const std::string& path, std::string* error) {
    std::unique_ptr<FileFeeder> f(new FileFeeder);
    auto fail = [&](const char* why) {
        if (error) *error = path + ": " + why;
        return nullptr;
    };
    if (avformat_open_input(&f->format_, path.c_str(), nullptr, nullptr) < 0)
        return fail("cannot be opened");
    if (avformat_find_stream_info(f->format_, nullptr) < 0) return fail("cannot be read");
    f->videoStream_ = av_find_best_stream(f->format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (f->videoStream_ < 0) return fail("has no picture");
    AVStream* video = f->format_->streams[f->videoStream_];
    f->videoCodec_ = openDecoder(video);
    if (!f->videoCodec_ || f->videoCodec_->width <= 0) return fail("has no picture we can decode");
    AVRational rate = video->avg_frame_rate.num ? video->avg_frame_rate : video->r_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        f->fpsNum_ = rate.num;
        f->fpsDen_ = rate.den;
    }
    f->frameDurationNs_ = kSecond * f->fpsDen_ / f->fpsNum_;
    f->avFormat_ = f->videoCodec_->pix_fmt;
    f->gstFormat_ = gstFormatOf(f->avFormat_);
    if (f->gstFormat_ == GST_VIDEO_FORMAT_UNKNOWN) {
        const int w = f->videoCodec_->width, h = f->videoCodec_->height;
        f->converter_ = sws_getContext(w, h, static_cast<AVPixelFormat>(f->avFormat_), w, h,
                                       AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!f->converter_) return fail("has a picture layout that cannot be converted");
        f->gstFormat_ = GST_VIDEO_FORMAT_I420;
    }
    f->audioStream_ = av_find_best_stream(f->format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (f->audioStream_ >= 0) f->audioCodec_ = openDecoder(f->format_->streams[f->audioStream_]);
    if (f->audioCodec_) f->resampler_ = openStereoResampler(*f->audioCodec_);
    if (!f->resampler_) avcodec_free_context(&f->audioCodec_);
    if (!f->audioCodec_) f->audioStream_ = -1;
    f->frame_ = allocateFrame();
    if (!f->frame_) return fail("cannot be read: out of memory");
    return f;
}

FileFeeder::~FileFeeder() {
    stop();
    avcodec_free_context(&videoCodec_);
    avcodec_free_context(&audioCodec_);
    avformat_close_input(&format_);
    swr_free(&resampler_);
    sws_freeContext(converter_);
}

GstCapsRef FileFeeder::videoCaps() const {
    GstVideoInfo info;
    gst_video_info_set_format(&info, static_cast<GstVideoFormat>(gstFormat_),
                              static_cast<guint>(videoCodec_->width),
                              static_cast<guint>(videoCodec_->height));
    info.fps_n = fpsNum_;
    info.fps_d = fpsDen_;
    const AVRational sar = videoCodec_->sample_aspect_ratio;
    if (sar.num > 0 && sar.den > 0) {
        info.par_n = sar.num;
        info.par_d = sar.den;
    }
    return GstCapsRef(gst_video_info_to_caps(&info));
}

bool FileFeeder::fits(const VideoFormat& format) const {
    return gstFormat_ == GST_VIDEO_FORMAT_I420 && videoCodec_->width == format.width &&
           videoCodec_->height == format.height &&
           static_cast<std::int64_t>(fpsNum_) * format.fpsDen ==
               static_cast<std::int64_t>(format.fpsNum) * fpsDen_;
}

void FileFeeder::start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
                       std::function<void(const std::string&)> failed) {
    stop();
    target_.attach(pipeline, videoSrc, audioSrc);
    failed_ = std::move(failed);
    g_object_set(target_.videoSrc(), "caps", videoCaps().get(), nullptr);
    thread_.start([this] { run(); });
}

void FileFeeder::stop() {
    thread_.stop();
    lastPicture_.reset();
    target_.release();
}

void FileFeeder::run() {
    if (!target_.waitUntilPlaying(thread_.stopping())) {
        if (!thread_.stopping() && failed_) failed_("the pipeline has no clock");
        return;
    }
    origin_ = target_.now();
    loopOffset_ = roundEnd_ = 0;
    silenceUntil_ = origin_;
    sound_.clear();
    picturesThisRound_ = 0;
    restart();
    while (!thread_.stopping() && decodeNext()) {
    }
}

void FileFeeder::restart() {
    av_seek_frame(format_, -1, format_->start_time == AV_NOPTS_VALUE ? 0 : format_->start_time,
                  AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(videoCodec_);
    if (audioCodec_) avcodec_flush_buffers(audioCodec_);
}

bool FileFeeder::decodeNext() {
    const AvPacketPtr packet = allocatePacket();
    if (!packet) {
        if (failed_) failed_("out of memory");
        return false;
    }
    const bool atEnd = av_read_frame(format_, packet.get()) < 0;
    const int stream = atEnd ? -1 : packet->stream_index;
    auto drain = [&](AVCodecContext* codec, bool picture) {
        if (avcodec_send_packet(codec, atEnd ? nullptr : packet.get()) < 0 && !atEnd) return;
        while (!thread_.stopping() && avcodec_receive_frame(codec, frame_.get()) == 0) {
            picture ? pushPicture(frame_.get()) : pushSound(frame_.get());
            av_frame_unref(frame_.get());
        }
    };
    if (atEnd || stream == videoStream_) drain(videoCodec_, true);
    if (audioCodec_ && (atEnd || stream == audioStream_)) drain(audioCodec_, false);
    if (!atEnd) return true;
    if (picturesThisRound_ == 0) {
        if (failed_) failed_("the file yields no pictures");
        return false;
    }
    flushSound();
    // Next round: carry on the timeline after the last picture.
    loopOffset_ += roundEnd_;
    roundEnd_ = 0;
    picturesThisRound_ = 0;
    restart();
    return true;
}

std::int64_t FileFeeder::toNs(std::int64_t pts, int stream) const {
    const std::int64_t start = format_->start_time == AV_NOPTS_VALUE ? 0 : format_->start_time;
    constexpr AVRational kNanoseconds{1, 1'000'000'000};
    return av_rescale_q(pts, format_->streams[stream]->time_base, kNanoseconds) -
           av_rescale_q(start, AVRational{1, AV_TIME_BASE}, kNanoseconds);
}

void FileFeeder::pushPicture(AVFrame* frame) {
    if (frame->width != videoCodec_->width || frame->height != videoCodec_->height) return;
    std::int64_t t = frame->best_effort_timestamp == AV_NOPTS_VALUE
                         ? roundEnd_
                         : toNs(frame->best_effort_timestamp, videoStream_);
    t = std::max<std::int64_t>(t, 0);
    roundEnd_ = std::max(roundEnd_, t + frameDurationNs_);
    ++picturesThisRound_;
    // One picture per frame, as from a card: a picture early by half a frame
    // or more is one too many, and a gap is filled with the last picture.
    const std::int64_t at = origin_ + loopOffset_ + t;
    const std::int64_t half = frameDurationNs_ / 2;
    if (!lastPicture_) {
        slotOrigin_ = at;
        framesPushed_ = 0;
    }
    if (lastPicture_ && at < slotTime(framesPushed_) - half) return;
    while (lastPicture_ && at >= slotTime(framesPushed_) + half)
        if (!pushAtNextFrame(gst_buffer_copy(lastPicture_.get()))) return;
    AvFramePtr picture = converter_ ? convert(frame) : AvFramePtr(av_frame_clone(frame));
    GstBuffer* buffer = picture ? wrapPicture(std::move(picture)) : nullptr;
    if (!buffer) return;
    lastPicture_.reset(gst_buffer_ref(buffer));
    pushAtNextFrame(buffer);
}

std::int64_t FileFeeder::slotTime(std::int64_t frame) const {
    // Rescaled without overflow: a preview may run on this file for months.
    return slotOrigin_ + av_rescale(frame, kSecond * fpsDen_, fpsNum_);
}

bool FileFeeder::pushAtNextFrame(GstBuffer* buffer) {
    const std::int64_t at = slotTime(framesPushed_);
    if (!thread_.waitUntil(target_, at)) {
        gst_buffer_unref(buffer);
        return false;
    }
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(at);
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(frameDurationNs_);
    target_.pushVideo(buffer);
    ++framesPushed_;
    if (audioStream_ < 0) pushSilence(at, at + frameDurationNs_);
    return true;
}

AvFramePtr FileFeeder::convert(const AVFrame* frame) const {
    AvFramePtr converted = allocateFrame();
    if (!converted) return nullptr;
    converted->format = AV_PIX_FMT_YUV420P;
    converted->width = frame->width;
    converted->height = frame->height;
    if (av_frame_get_buffer(converted.get(), 0) < 0) return nullptr;
    sws_scale(converter_, frame->data, frame->linesize, 0, frame->height, converted->data,
              converted->linesize);
    return converted;
}

GstBuffer* FileFeeder::wrapPicture(AvFramePtr picture) const {
    GstVideoInfo info;
    gst_video_info_set_format(&info, static_cast<GstVideoFormat>(gstFormat_),
                              static_cast<guint>(picture->width),
                              static_cast<guint>(picture->height));
    const guint planes = GST_VIDEO_INFO_N_PLANES(&info);
    gsize offsets[GST_VIDEO_MAX_PLANES] = {};
    gint strides[GST_VIDEO_MAX_PLANES] = {};
    GstBuffer* buffer = gst_buffer_new();
    gsize offset = 0;
    for (guint plane = 0; plane < planes; ++plane) {
        int rows = picture->height;
        for (guint c = 0; c < GST_VIDEO_INFO_N_COMPONENTS(&info); ++c)
            if (static_cast<guint>(GST_VIDEO_INFO_COMP_PLANE(&info, c)) == plane) {
                rows = GST_VIDEO_INFO_COMP_HEIGHT(&info, c);
                break;
            }
        const gsize size = static_cast<gsize>(picture->linesize[plane]) * static_cast<gsize>(rows);
        // Each plane is memory of the decoded frame, read-only because the
        // decoder may still predict from it; the last plane released frees
        // the frame.
        AVFrame* owner = plane + 1 == planes ? picture.release() : av_frame_clone(picture.get());
        if (!owner) {
            gst_buffer_unref(buffer);
            return nullptr;
        }
        gst_buffer_append_memory(
            buffer, gst_memory_new_wrapped(GST_MEMORY_FLAG_READONLY, owner->data[plane], size, 0,
                                           size, owner, freeFrame));
        offsets[plane] = offset;
        strides[plane] = owner->linesize[plane];
        offset += size;
    }
    gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE,
                                   static_cast<GstVideoFormat>(gstFormat_),
                                   static_cast<guint>(info.width), static_cast<guint>(info.height),
                                   planes, offsets, strides);
    return buffer;
}

void FileFeeder::pushSound(AVFrame* frame) {
    const std::int64_t t = frame->best_effort_timestamp == AV_NOPTS_VALUE
                               ? roundEnd_
                               : toNs(frame->best_effort_timestamp, audioStream_);
    const std::int64_t at = origin_ + loopOffset_ + std::max<std::int64_t>(t, 0);
    const std::int64_t gathered = static_cast<std::int64_t>(sound_.size() / kAudioChannels);
    const std::int64_t gatheredEnd = soundAt_ + gathered * kSecond / kAudioRate;
    if (!sound_.empty() && std::abs(at - gatheredEnd) > kSecond / 1000)
        flushSound();  // not continuous: a block carries one time stamp
    // Sound may go up to a picture ahead, as a live card's does, so that it
    // mostly rides on the wake-up for the picture instead of its own.
    if (!thread_.waitUntil(target_, at - frameDurationNs_)) return;
    const int room = swr_get_out_samples(resampler_, frame->nb_samples);
    if (room <= 0) return;
    if (sound_.empty()) soundAt_ = at;
    const std::size_t had = sound_.size();
    sound_.resize(had + static_cast<std::size_t>(room) * kAudioChannels);
    uint8_t* out[] = {reinterpret_cast<uint8_t*>(sound_.data() + had)};
    const int made = swr_convert(resampler_, out, room,
                                 const_cast<const uint8_t**>(frame->extended_data),
                                 frame->nb_samples);
    sound_.resize(had + static_cast<std::size_t>(std::max(made, 0)) * kAudioChannels);
    if (static_cast<std::int64_t>(sound_.size() / kAudioChannels) * kSecond / kAudioRate >=
        frameDurationNs_)
        flushSound();
}

void FileFeeder::flushSound() {
    if (sound_.empty()) return;
    const gsize bytes = sound_.size() * sizeof(std::int16_t);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    if (!buffer) return;
    gst_buffer_fill(buffer, 0, sound_.data(), bytes);
    const std::int64_t samples = static_cast<std::int64_t>(sound_.size() / kAudioChannels);
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(soundAt_);
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(samples * kSecond / kAudioRate);
    target_.pushAudio(buffer);
    sound_.clear();
}

void FileFeeder::pushSilence(std::int64_t from, std::int64_t to) {
    from = std::max(from, silenceUntil_);
    const std::int64_t samples = (to - from) * kAudioRate / kSecond;
    if (samples <= 0) return;
    const auto bytes = static_cast<gsize>(samples * 2 * kAudioChannels);
    GstBufferRef buffer(gst_buffer_new_allocate(nullptr, bytes, nullptr));
    if (!buffer) return;
    gst_buffer_memset(buffer.get(), 0, 0, bytes);
    GST_BUFFER_PTS(buffer.get()) = static_cast<GstClockTime>(from);
    GST_BUFFER_DURATION(buffer.get()) = static_cast<GstClockTime>(samples * kSecond / kAudioRate);
    target_.pushAudio(buffer.release());
    silenceUntil_ = from + samples * kSecond / kAudioRate;
}

}  // namespace kelbo
