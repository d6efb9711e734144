#include "mpeg_part_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <vector>

namespace kelbo {

namespace {

std::string errorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool report(std::string* error, const std::string& what, int code = 0) {
    if (error) *error = code ? what + ": " + errorText(code) : what;
    return false;
}

// What the user reads when a file cannot be written: the folder, which he
// chose, and the system's reason ("No space left on device").
std::string cannotWrite(const std::string& path, int code) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = path;
    return "Cannot write " + folder + ": " + errorText(code);
}

// The video buffer of a Video CD player (40 kB); that of a DVD player, and
// a quarter second at lower peaks.
int bufferBits(const EncodingTemplate& t) {
    if (t.layout == StreamLayout::Vcd) return 327680;
    return std::min(1835008, t.maxVideoKbps * 1000 / 4);
}

const char* muxerFor(StreamLayout layout) {
    switch (layout) {
        case StreamLayout::Dvd: return "dvd";
        case StreamLayout::Vcd: return "vcd";
        case StreamLayout::Program: break;
    }
    return "vob";
}

// Pack size and mux rate the disc's players and authoring tools expect.
void setDiscLayout(AVFormatContext* format, StreamLayout layout, AVDictionary** options) {
    if (layout == StreamLayout::Dvd) {
        format->packet_size = 2048;
        av_dict_set(options, "muxrate", "10080000", 0);
    } else if (layout == StreamLayout::Vcd) {
        format->packet_size = 2324;
        av_dict_set(options, "muxrate", "1411200", 0);
    }
}

// Pixel shape for a 4:3 picture of the given size.
AVRational sampleAspect(int width, int height) {
    const int num = 4 * height, den = 3 * width;
    const int g = std::gcd(num, den);
    return {num / g, den / g};
}

}  // namespace

std::unique_ptr<MpegPartWriter> MpegPartWriter::open(const PartSettings& settings,
                                                     DeviceFailure* failure) {
    std::string* error = failure ? &failure->text : nullptr;
    std::unique_ptr<MpegPartWriter> w(new MpegPartWriter);
    w->input_ = allocateFrame();
    w->packet_ = allocatePacket();
    if (!w->input_ || !w->packet_) return report(error, "out of memory"), nullptr;
    w->path_ = settings.path;
    w->source_ = settings.source;
    w->layout_ = settings.encoding.layout;
    w->soundAlone_ = settings.soundAlone;
    if (!w->openVideo(settings, error) || !w->openAudio(settings, error)) return nullptr;
    w->file_ = PartFile::create(settings.path, failure);
    if (!w->file_) return nullptr;
    return w;
}

// Sound alone makes no disc: a plain program stream holds it whatever the
// layout, with its time stamps continuing the recording's timeline.
bool MpegPartWriter::startFile() {
    const bool pictures = !(soundAlone_ && soundAlone_());
    const StreamLayout layout = pictures ? layout_ : StreamLayout::Program;
    AVFormatContext* format = nullptr;
    int rc = avformat_alloc_output_context2(&format, nullptr, muxerFor(layout), path_.c_str());
    format_.reset(format);
    if (rc < 0) return fail("No MPEG program stream muxer: " + errorText(rc)), false;
    if (pictures) videoStream_ = addStream(*video_);
    audioStream_ = addStream(*audio_);
    if ((pictures && !videoStream_) || !audioStream_) return fail("Out of memory"), false;
    format_->pb = file_->io();
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    setDiscLayout(format_.get(), layout, &options);
    rc = avformat_write_header(format_.get(), &options);
    av_dict_free(&options);
    if (rc < 0) return failWriting(rc), false;
    headerWritten_ = true;
    return true;
}

bool MpegPartWriter::openVideo(const PartSettings& settings, std::string* error) {
    const EncodingTemplate& t = settings.encoding;
    const bool mpeg1 = t.videoCodec == VideoCodec::Mpeg1;
    const std::string name = mpeg1 ? "MPEG-1" : "MPEG-2";
    const AVCodec* codec =
        avcodec_find_encoder(mpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO);
    if (!codec) return report(error, "no " + name + " video encoder");
    video_.reset(avcodec_alloc_context3(codec));
    if (!video_) return report(error, "out of memory");
    const FrameSize size = frameSizeFor(t.size, settings.source);
    video_->width = size.width;
    video_->height = size.height;
    video_->time_base = {settings.source.fpsDen, settings.source.fpsNum};
    video_->framerate = {settings.source.fpsNum, settings.source.fpsDen};
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->sample_aspect_ratio = sampleAspect(size.width, size.height);
    video_->bit_rate = t.videoKbps * 1000LL;
    video_->rc_max_rate = t.maxVideoKbps * 1000LL;
    // A peak equal to the average asks for a constant rate (Video CD).
    if (t.maxVideoKbps == t.videoKbps) video_->rc_min_rate = video_->rc_max_rate;
    video_->rc_buffer_size = bufferBits(t);
    video_->gop_size = t.gopLength;
    video_->max_b_frames = t.bFrames;
    // Every GOP decodes on its own, so each part file plays alone.
    video_->flags |= AV_CODEC_FLAG_CLOSED_GOP;
    video_->thread_count = 1;
    // A scene cut must not open a GOP of its own inside a closed GOP.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "sc_threshold", "1000000000", 0);
    int rc = avcodec_open2(video_.get(), codec, &options);
    av_dict_free(&options);
    if (rc < 0) return report(error, "cannot open the " + name + " encoder", rc);
    if (size.width != settings.source.width || size.height != settings.source.height) {
        scaler_.reset(sws_getContext(settings.source.width, settings.source.height,
                                     AV_PIX_FMT_YUV420P, size.width, size.height,
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
        picture_ = allocateFrame();
        if (!picture_) return report(error, "out of memory");
        picture_->format = AV_PIX_FMT_YUV420P;
        picture_->width = size.width;
        picture_->height = size.height;
        if (!scaler_ || av_frame_get_buffer(picture_.get(), 0) < 0)
            return report(error, "cannot scale to the template's size");
    }
    return true;
}

bool MpegPartWriter::openAudio(const PartSettings& settings, std::string* error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
    if (!codec) return report(error, "no MPEG-1 layer II encoder");
    audio_.reset(avcodec_alloc_context3(codec));
    if (!audio_) return report(error, "out of memory");
    const EncodingTemplate& t = settings.encoding;
    audio_->sample_fmt = AV_SAMPLE_FMT_S16;
    audio_->sample_rate = t.sampleRate;
    audio_->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    audio_->bit_rate = t.audioKbps * 1000LL;
    audio_->time_base = {1, t.sampleRate};
    int rc = avcodec_open2(audio_.get(), codec, nullptr);
    if (rc < 0) return report(error, "cannot open the MP2 encoder", rc);
    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, kAudioChannels, audio_->frame_size * 4));
    sound_ = allocateFrame();
    if (!sound_) return report(error, "out of memory");
    sound_->format = AV_SAMPLE_FMT_S16;
    sound_->nb_samples = audio_->frame_size;
    sound_->sample_rate = t.sampleRate;
    if (!fifo_ || av_channel_layout_copy(&sound_->ch_layout, &audio_->ch_layout) < 0 ||
        av_frame_get_buffer(sound_.get(), 0) < 0)
        return report(error, "out of memory");
    if (t.sampleRate != kAudioRate) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        SwrContext* resampler = nullptr;
        rc = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, t.sampleRate, &stereo,
                                 AV_SAMPLE_FMT_S16, kAudioRate, 0, nullptr);
        resampler_.reset(resampler);
        if (rc < 0) return report(error, "cannot resample", rc);
        if (rc = swr_init(resampler_.get()); rc < 0) return report(error, "cannot resample", rc);
    }
    return true;
}

AVStream* MpegPartWriter::addStream(const AVCodecContext& encoder) {
    AVStream* stream = avformat_new_stream(format_.get(), nullptr);
    if (!stream || avcodec_parameters_from_context(stream->codecpar, &encoder) < 0) return nullptr;
    stream->time_base = encoder.time_base;
    // The muxer sizes its rate from the encoder's buffer properties.
    for (int i = 0; i < encoder.nb_coded_side_data; ++i) {
        const AVPacketSideData& sd = encoder.coded_side_data[i];
        uint8_t* copy = av_stream_new_side_data(stream, sd.type, sd.size);
        if (!copy) return nullptr;
        std::memcpy(copy, sd.data, sd.size);
    }
    return stream;
}

MpegPartWriter::~MpegPartWriter() = default;

void MpegPartWriter::begin(std::int64_t firstFrameIndex) {
    if (failed() || finished_ || !startFile()) return;
    // The muxer moves a file's time stamps when they start below its
    // preload (half a second); starting the timeline a second in keeps them
    // as written, so consecutive parts join exactly. (The dvd and vcd
    // muxers start every file at the preload whatever it is given.)
    const std::int64_t leadFrames = (source_.fpsNum + source_.fpsDen - 1) / source_.fpsDen;
    // Both encoders count from 0, as for a file of their own: the video
    // rate control measures its budget from the first time stamp, and one
    // that starts late spends up to the peak rate to catch up. The part's
    // place in the recording is added to the packets.
    firstFrameIndex_ = firstFrameIndex;
    videoOffset_ = firstFrameIndex + leadFrames;
    audioOffset_ = av_rescale_q(videoOffset_, video_->time_base, audio_->time_base);
    audioPts_ = 0;
}

void MpegPartWriter::writeVideo(const VideoFrame& frame, std::int64_t frameIndex) {
    if (failed() || finished_ || !headerWritten_) return;
    if (!videoStream_) {
        // Radio: the still picture only counts the file's time.
        if (framesWritten_++ == 0) firstFrameAt_ = std::chrono::steady_clock::now();
        return;
    }
    const AVFrame* source = frame.picture();
    if (!source) return;
    AVFrame* picture = input_.get();
    if (scaler_) {
        if (av_frame_make_writable(picture_.get()) < 0) return fail("Out of memory");
        sws_scale(scaler_.get(), source->data, source->linesize, 0, source_.height, picture_->data,
                  picture_->linesize);
        picture = picture_.get();
    } else if (av_frame_ref(input_.get(), source) < 0) {
        // A new reference, not a copy: the encoder keeps what it needs.
        return fail("Out of memory");
    }
    picture->pts = frameIndex - firstFrameIndex_;
    if (send(video_.get(), videoStream_, picture, videoOffset_) && framesWritten_++ == 0)
        firstFrameAt_ = std::chrono::steady_clock::now();
    av_frame_unref(input_.get());
}

void MpegPartWriter::writeAudio(const std::int16_t* samples, std::size_t count) {
    if (failed() || finished_ || !headerWritten_ || count == 0) return;
    queueAudio(samples, static_cast<int>(count));
    encodeAudioFrames(false);
}

void MpegPartWriter::queueAudio(const std::int16_t* samples, int count) {
    if (!resampler_) {
        void* planes[] = {const_cast<std::int16_t*>(samples)};
        // The queue grows as it needs to, which can fail.
        if (av_audio_fifo_write(fifo_.get(), planes, count) < count) fail("Out of memory");
        return;
    }
    // No input drains what the resampler still holds.
    const int room = swr_get_out_samples(resampler_.get(), count);
    if (room <= 0) return;
    std::vector<std::int16_t> out(static_cast<std::size_t>(room) * kAudioChannels);
    uint8_t* outPlanes[] = {reinterpret_cast<uint8_t*>(out.data())};
    const uint8_t* inPlanes[] = {reinterpret_cast<const uint8_t*>(samples)};
    const int made = swr_convert(resampler_.get(), outPlanes, room, samples ? inPlanes : nullptr, count);
    if (made < 0) return fail("Cannot resample the sound: " + errorText(made));
    void* converted[] = {out.data()};
    if (av_audio_fifo_write(fifo_.get(), converted, made) < made) fail("Out of memory");
}

void MpegPartWriter::encodeAudioFrames(bool final) {
    const int frameSize = audio_->frame_size;
    while (!failed() && (av_audio_fifo_size(fifo_.get()) >= frameSize ||
                         (final && av_audio_fifo_size(fifo_.get()) > 0))) {
        if (av_frame_make_writable(sound_.get()) < 0) return fail("Out of memory");
        const int got = av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(sound_->data), frameSize);
        // Layer II frames have a fixed length: the last one is padded with silence.
        if (got < frameSize)
            std::memset(sound_->data[0] + static_cast<std::ptrdiff_t>(got) * 2 * kAudioChannels, 0,
                        static_cast<std::size_t>(frameSize - got) * 2 * kAudioChannels);
        sound_->pts = audioPts_;
        audioPts_ += frameSize;
        send(audio_.get(), audioStream_, sound_.get(), audioOffset_);
    }
}

bool MpegPartWriter::send(AVCodecContext* codec, AVStream* stream, AVFrame* frame,
                          std::int64_t offset) {
    if (int rc = avcodec_send_frame(codec, frame); rc < 0) {
        fail(std::string("The ") + codec->codec->long_name + " encoder failed: " + errorText(rc));
        return false;
    }
    AVPacket* packet = packet_.get();
    while (avcodec_receive_packet(codec, packet) >= 0) {
        if (packet->pts != AV_NOPTS_VALUE) packet->pts += offset;
        if (packet->dts != AV_NOPTS_VALUE) packet->dts += offset;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (int rc = av_interleaved_write_frame(format_.get(), packet); rc < 0) {
            failWriting(rc);
            break;
        }
    }
    av_packet_unref(packet);
    return !failed();
}

bool MpegPartWriter::finish() {
    if (finished_) return !failed();
    finished_ = true;
    if (!failed() && headerWritten_) {
        if (resampler_) queueAudio(nullptr, 0);
        encodeAudioFrames(true);
        if (videoStream_) send(video_.get(), videoStream_, nullptr, videoOffset_);
        send(audio_.get(), audioStream_, nullptr, audioOffset_);
    }
    // What reached the disk is closed properly even after a write error.
    if (int rc = headerWritten_ ? av_write_trailer(format_.get()) : 0; rc < 0) failWriting(rc);
    closeFile();
    return !failed();
}

void MpegPartWriter::fail(const std::string& why, DeviceFault fault) {
    if (failed()) return;
    failure_ = {fault, why};
    failed_ = true;
}

void MpegPartWriter::failWriting(int code) {
    // A write error sticks to the output; its own code is the system's reason.
    if (format_ && format_->pb && format_->pb->error < 0) code = format_->pb->error;
    fail(cannotWrite(path_, code), fileFault(AVUNERROR(code)));
}

// A file that got no picture, or nothing at all on the disk, is removed.
void MpegPartWriter::closeFile() {
    if (!file_) return;
    const int rc = file_->close(framesWritten_ == 0 ? PartFile::Removal::Always : PartFile::Removal::IfEmpty);
    if (format_) format_->pb = nullptr;
    if (rc < 0) failWriting(rc);
}

}  // namespace kelbo
