#include "pattern_feeder.h"

#include <gst/app/gstappsink.h>
#include <gst/video/gstvideopool.h>
#include <gst/video/video.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <numbers>

namespace kelbo {

namespace {

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr int kScrollPixels = 4;       // per picture
constexpr int kToneHz = 1000;
constexpr double kToneLevel = 0.25;    // of full scale
constexpr int kSoundBlock = 1920;      // samples: 40 ms, a whole number of tone periods
constexpr std::int64_t kSoundBlockNs = kSoundBlock * kSecond / kAudioRate;

// The time stamp: 5 x 7 glyphs of "0123456789-: ", drawn three times their size.
constexpr int kGlyphW = 5, kGlyphH = 7, kScale = 3, kAdvance = (kGlyphW + 1) * kScale;
constexpr int kPad = 6;
constexpr int kStampChars = 19;  // "dd-mm-yyyy hh:mm:ss"
constexpr int kStampW = (2 * kPad + kStampChars * kAdvance + 1) / 2 * 2;
constexpr int kStampH = (2 * kPad + kGlyphH * kScale + 1) / 2 * 2;
constexpr int kMargin = 24;  // from the picture's left and bottom edges

constexpr std::array<std::array<std::uint8_t, kGlyphH>, 12> kGlyphs{{
    {0x0e, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0e},  // 0
    {0x04, 0x0c, 0x04, 0x04, 0x04, 0x04, 0x0e},  // 1
    {0x0e, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1f},  // 2
    {0x1f, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0e},  // 3
    {0x02, 0x06, 0x0a, 0x12, 0x1f, 0x02, 0x02},  // 4
    {0x1f, 0x10, 0x1e, 0x01, 0x01, 0x11, 0x0e},  // 5
    {0x06, 0x08, 0x10, 0x1e, 0x11, 0x11, 0x0e},  // 6
    {0x1f, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0e, 0x11, 0x11, 0x0e, 0x11, 0x11, 0x0e},  // 8
    {0x0e, 0x11, 0x11, 0x0f, 0x01, 0x02, 0x0c},  // 9
    {0x00, 0x00, 0x00, 0x1f, 0x00, 0x00, 0x00},  // -
    {0x00, 0x0c, 0x0c, 0x00, 0x0c, 0x0c, 0x00},  // :
}};

const std::array<std::uint8_t, kGlyphH>* glyphFor(char c) {
    if (c >= '0' && c <= '9') return &kGlyphs[static_cast<std::size_t>(c - '0')];
    if (c == '-') return &kGlyphs[10];
    if (c == ':') return &kGlyphs[11];
    return nullptr;
}

std::string rawVideoCaps(const VideoFormat& f) {
    return "video/x-raw,format=I420,width=" + std::to_string(f.width) +
           ",height=" + std::to_string(f.height) + ",framerate=" + std::to_string(f.fpsNum) +
           "/" + std::to_string(f.fpsDen);
}

// One picture of videotestsrc's pattern, packed I420.
bool grabPattern(const VideoFormat& format, const char* pattern,
                 std::vector<std::uint8_t>& picture) {
    const std::string description = std::string("videotestsrc num-buffers=1 pattern=") + pattern +
                                     " ! " + rawVideoCaps(format) + " ! appsink name=grab sync=false";
    GstElement* parsed = gst_parse_launch(description.c_str(), nullptr);
    if (!parsed) return false;
    const GstElementRef pipeline(GST_ELEMENT(gst_object_ref_sink(parsed)));
    const GstElementRef sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "grab"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const GstSampleRef sample(sink ? gst_app_sink_pull_sample(GST_APP_SINK(sink.get())) : nullptr);
    bool ok = false;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (sample && gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get())) &&
        gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample.get()), GST_MAP_READ)) {
        picture.clear();
        for (int plane = 0; plane < 3; ++plane) {
            const int w = plane ? format.width / 2 : format.width;
            const int h = plane ? format.height / 2 : format.height;
            const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
            const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
            for (std::ptrdiff_t row = 0; row < h; ++row)
                picture.insert(picture.end(), data + row * stride, data + row * stride + w);
        }
        gst_video_frame_unmap(&frame);
        ok = true;
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return ok;
}

}  // namespace

std::unique_ptr<PatternFeeder> PatternFeeder::create(const VideoFormat& format, bool svideo,
                                                     std::string* error) {
    std::unique_ptr<PatternFeeder> f(new PatternFeeder(format));
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return nullptr;
    };
    if (!grabPattern(format, svideo ? "ball" : "smpte", f->picture_))
        return fail("the test pattern cannot be made");

    f->tone_.reset(gst_buffer_new_allocate(nullptr, gsize{kSoundBlock} * kAudioChannels * 2, nullptr));
    const GstBufferMapping map(f->tone_.get(), GST_MAP_WRITE);
    if (!map) return fail("out of memory");
    auto* samples = reinterpret_cast<std::int16_t*>(map.data());
    for (int i = 0; i < kSoundBlock; ++i) {
        const double phase = 2 * std::numbers::pi * kToneHz * i / kAudioRate;
        const auto value = static_cast<std::int16_t>(std::lround(kToneLevel * 32767 * std::sin(phase)));
        for (int c = 0; c < kAudioChannels; ++c) samples[i * kAudioChannels + c] = value;
    }

    f->pool_.reset(gst_video_buffer_pool_new());
    const GstCapsRef caps(gst_caps_from_string(f->videoCaps().c_str()));
    GstStructure* config = gst_buffer_pool_get_config(f->pool_.get());
    gst_buffer_pool_config_set_params(config, caps.get(),
                                      static_cast<guint>(f->picture_.size()), 4, 0);
    if (!gst_buffer_pool_set_config(f->pool_.get(), config) ||
        !gst_buffer_pool_set_active(f->pool_.get(), TRUE))
        return fail("out of memory");
    return f;
}

PatternFeeder::~PatternFeeder() {
    stop();
    // Pictures still on their way come back to a pool that frees them.
    if (pool_) gst_buffer_pool_set_active(pool_.get(), FALSE);
}

std::string PatternFeeder::videoCaps() const { return rawVideoCaps(format_); }

void PatternFeeder::start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
                          std::function<void(const std::string&)> failed) {
    stop();
    target_.attach(pipeline, videoSrc, audioSrc);
    failed_ = std::move(failed);
    thread_.start([this] { run(); });
}

void PatternFeeder::stop() {
    thread_.stop();
    target_.release();
}

void PatternFeeder::run() {
    if (!target_.waitUntilPlaying(thread_.stopping())) {
        if (!thread_.stopping() && failed_) failed_("the pipeline has no clock");
        return;
    }
    const std::int64_t origin = target_.now();
    std::int64_t pictures = 0, blocks = 0;
    // As from a capture card, each picture and block of sound comes once
    // its time has passed: the first ones a picture after the start.
    while (!thread_.stopping()) {
        const std::int64_t picture = origin + format_.framesToNs(pictures);
        const std::int64_t sound = origin + blocks * kSoundBlockNs;
        const std::int64_t pictureDone = origin + format_.framesToNs(pictures + 1);
        const std::int64_t soundDone = sound + kSoundBlockNs;
        if (!thread_.waitUntil(target_, std::min(pictureDone, soundDone))) break;
        if (pictureDone <= soundDone)
            pushPicture(pictures++, picture);
        else
            pushSound(sound), ++blocks;
    }
}

void PatternFeeder::pushPicture(std::int64_t index, std::int64_t at) {
    drawTime(std::time(nullptr));
    GstBuffer* acquired = nullptr;
    if (gst_buffer_pool_acquire_buffer(pool_.get(), &acquired, nullptr) != GST_FLOW_OK) return;
    GstBufferRef buffer(acquired);
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, static_cast<guint>(format_.width),
                              static_cast<guint>(format_.height));
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer.get(), GST_MAP_WRITE)) return;
    const std::uint8_t* source = picture_.data();
    const std::uint8_t* stamp = stamp_.data();
    const int top = format_.height - kMargin - kStampH;
    for (int plane = 0; plane < 3; ++plane) {
        const int sub = plane ? 2 : 1;
        const int w = format_.width / sub, h = format_.height / sub;
        // The picture moves sideways: each row starts `shift` pixels in.
        const int shift = static_cast<int>(index * kScrollPixels / sub % w);
        auto* out = static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
        for (std::ptrdiff_t row = 0; row < h; ++row, source += w) {
            std::uint8_t* line = out + row * stride;
            std::memcpy(line, source + shift, static_cast<std::size_t>(w - shift));
            std::memcpy(line + (w - shift), source, static_cast<std::size_t>(shift));
        }
        const int sw = kStampW / sub, sh = kStampH / sub;
        for (std::ptrdiff_t row = 0; row < sh; ++row, stamp += sw)
            std::memcpy(out + (top / sub + row) * stride + kMargin / sub, stamp,
                        static_cast<std::size_t>(sw));
    }
    gst_video_frame_unmap(&frame);
    GST_BUFFER_PTS(buffer.get()) = static_cast<GstClockTime>(at);
    GST_BUFFER_DURATION(buffer.get()) = static_cast<GstClockTime>(format_.frameDurationNs());
    target_.pushVideo(buffer.release());
}

void PatternFeeder::pushSound(std::int64_t at) {
    // A new buffer sharing the tone's memory: nothing is computed or copied.
    GstBuffer* block = gst_buffer_copy(tone_.get());
    GST_BUFFER_PTS(block) = static_cast<GstClockTime>(at);
    GST_BUFFER_DURATION(block) = static_cast<GstClockTime>(kSoundBlockNs);
    target_.pushAudio(block);
}

void PatternFeeder::drawTime(std::time_t now) {
    if (now == stampTime_) return;
    stampTime_ = now;
    std::tm local{};
    localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%d-%m-%Y %H:%M:%S", &local);
    // A dark box with white figures; its colour planes stay neutral.
    std::vector<std::uint8_t> luma(std::size_t{kStampW} * kStampH, 40);
    for (int i = 0; text[i] && i < kStampChars; ++i) {
        const auto* glyph = glyphFor(text[i]);
        if (!glyph) continue;
        for (int gy = 0; gy < kGlyphH * kScale; ++gy)
            for (int gx = 0; gx < kGlyphW * kScale; ++gx)
                if ((*glyph)[static_cast<std::size_t>(gy / kScale)] & (0x10 >> (gx / kScale)))
                    luma[std::size_t{kStampW} * static_cast<std::size_t>(kPad + gy) +
                         static_cast<std::size_t>(kPad + i * kAdvance + gx)] = 235;
    }
    stamp_ = std::move(luma);
    stamp_.resize(stamp_.size() + std::size_t{2} * (kStampW / 2) * (kStampH / 2), 128);
}

}  // namespace kelbo
