#include "stream_feeder.h"

#include "recorder/ports/log.h"
#include "stream_input.h"
#include "stream_packet_tap.h"

#include <gst/video/video.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace kelbo {

namespace {

// The timeline is kept going once the stream is this far behind the clock.
constexpr std::int64_t kFillAfterNs = StreamFeeder::kSecond / 2;
// How far ahead of the clock a packet may be handed on without waiting.
constexpr std::int64_t kPacketLeadNs = StreamFeeder::kSecond / 10;
// FFmpeg asks whether to give up at least every tenth of a second while it
// waits; asked again only after this long, the process was held up.
constexpr std::int64_t kHeldUpNs = StreamFeeder::kSecond;

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string seconds(std::int64_t ns) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ns) / StreamFeeder::kSecond);
    return text;
}

GstBufferRef blackPicture(const VideoFormat& format) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, static_cast<guint>(format.width),
                              static_cast<guint>(format.height));
    GstBufferRef buffer(gst_buffer_new_allocate(nullptr, info.size, nullptr));
    const gsize luma = GST_VIDEO_INFO_PLANE_OFFSET(&info, 1);
    gst_buffer_memset(buffer.get(), 0, 16, luma);
    gst_buffer_memset(buffer.get(), luma, 128, info.size - luma);
    return buffer;
}

}  // namespace

StreamFeeder::StreamFeeder(StreamRequest stream, VideoFormat format,
                           std::shared_ptr<StreamGapTally> gaps, Timing timing,
                           std::shared_ptr<StreamPacketTap> tap)
    : url_(std::move(stream.url)),
      http_(std::move(stream.http)),
      format_(format),
      gaps_(std::move(gaps)),
      timing_(timing),
      tap_(std::move(tap)) {}

StreamFeeder::~StreamFeeder() { stop(); }

void StreamFeeder::start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
                         std::function<void(const std::string&)> failed) {
    stop();
    target_.attach(pipeline, videoSrc, audioSrc);
    failed_ = std::move(failed);
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, static_cast<guint>(format_.width),
                              static_cast<guint>(format_.height));
    info.fps_n = 0;  // whatever the stream brings; videorate makes it exact
    info.fps_d = 1;
    GstCapsRef caps(gst_video_info_to_caps(&info));
    g_object_set(target_.videoSrc(), "caps", caps.get(), nullptr);
    lastPicture_ = blackPicture(format_);
    anchored_ = inGap_ = started_ = false;
    stopping_ = false;
    reader_ = std::thread([this] { run(); });
}

void StreamFeeder::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (reader_.joinable()) reader_.join();
    if (filler_.joinable()) filler_.join();
    target_.release();
}

bool StreamFeeder::interrupted() {
    if (stopping_) return true;
    const std::int64_t t = steadyNs();
    // This process stood still (stopped, suspended, starved): that time is
    // not the stream's silence, and what it sent meanwhile is waiting.
    if (const std::int64_t since = t - lastAsked_.exchange(t); since > kHeldUpNs) lastActivity_ += since;
    if (t - lastActivity_ > std::chrono::nanoseconds(timing_.stallTimeout).count()) stalled_ = true;
    return stalled_;
}

void StreamFeeder::active() {
    const std::int64_t t = steadyNs();
    lastActivity_ = t;
    lastAsked_ = t;
}

std::int64_t StreamFeeder::now() const {
    return target_.now();
}

void StreamFeeder::run() {
    if (!target_.waitUntilPlaying(stopping_)) {
        if (!stopping_ && failed_) failed_("the pipeline has no clock");
        return;
    }
    videoEnd_ = audioEnd_ = realEnd_ = now();
    filler_ = std::thread([this] { fill(); });

    bool everOpened = false;
    auto backoff = timing_.firstBackoff;
    auto droppedAt = std::chrono::steady_clock::now();
    std::string told;  // the reason the outage was last told with
    while (!stopping_) {
        std::string error;
        active();
        stalled_ = false;
        log::debug(log::Area::Stream, "Opening the stream " + url_);
        askedAt_ = steadyNs();
        auto input = StreamInput::open({url_, http_}, format_.width, format_.height,
                                       [this] { return interrupted(); }, &error, requests_);
        if (input) {
            const bool pictures = input->hasPicture();
            log::debug(log::Area::Stream, "The stream " + url_ + " opened in " + seconds(steadyNs() - askedAt_) +
                                              ": " +
                                              (!pictures             ? "sound alone (radio)"
                                               : input->hasSound() ? "pictures and sound"
                                                                   : "pictures only"));
            everOpened = true;
            {
                std::lock_guard lock(mutex_);
                streamHasSound_ = input->hasSound();
                streamHasPictures_ = pictures;
                if (!pictures) lastPicture_ = blackPicture(format_);  // radio's still picture
                anchored_ = false;  // a new connection brings its own clock
            }
            earlySound_.clear();
            timeline_.reconnect(input->hasSound(), input->clockWrapNs(), pictures);
            if (tap_) tap_->setCodecs(std::make_shared<const StreamCodecs>(input->copyTracks()));
            if (readUntilLost(*input, &error)) {
                backoff = timing_.firstBackoff;
                droppedAt = std::chrono::steady_clock::now();
                told.clear();
            }
            input.reset();
        }
        if (stopping_) break;
        if (error.empty() || stalled_)
            error = "no data for " + seconds(std::chrono::nanoseconds(timing_.stallTimeout).count());
        if (!everOpened) {
            if (openFailed_) openFailed_(error);
            if (failed_) failed_(url_ + " cannot be opened: " + error);
            break;
        }
        lost();
        // Told once for each reason, not at every attempt.
        const std::string text = "The stream " + url_ + " was lost (" + error + "); opening it again in " +
                                 seconds(std::chrono::nanoseconds(backoff).count());
        if (error != told) log::warn(log::Area::Stream, text);
        else log::debug(log::Area::Stream, text);
        told = error;
        if (!sleepFor(backoff)) break;
        // Only a stream that stays away is asked less and less often.
        if (std::chrono::steady_clock::now() - droppedAt >= timing_.quickRetries)
            backoff = std::min(backoff * 2, timing_.maxBackoff);
    }
}

void StreamFeeder::setDecoding(StreamInput::Decoding decoding) {
    decodePictures_ = decoding.pictures;
    keyPicturesOnly_ = decoding.keyPicturesOnly;
    decodeSound_ = decoding.sound;
}

bool StreamFeeder::copying() const { return keyPicturesOnly_ || !decodePictures_; }

StreamInput::Decoding StreamFeeder::decoding() const {
    return {decodePictures_, keyPicturesOnly_, decodeSound_};
}

bool StreamFeeder::readUntilLost(StreamInput& input, std::string* error) {
    bool gotMedia = false;
    bool gotPicture = false;
    std::vector<StreamInput::Media> decoded;
    std::vector<StreamInput::Packet> packets;
    std::vector<TimedPacket> placed;
    StreamInput::Decoding applied = decoding();
    input.setDecoding(applied);
    while (!stopping_) {
        if (const StreamInput::Decoding wanted = decoding(); !(wanted == applied)) {
            applied = wanted;
            input.setDecoding(applied);
        }
        decoded.clear();
        packets.clear();
        active();
        if (!input.read(decoded, error, tap_ ? &packets : nullptr)) break;
        // What a demuxer hands out once given up on is the stalled
        // connection's last trickle, not the stream coming back.
        if (stalled_) break;
        placed.clear();
        for (auto& packet : packets) timeline_.take(std::move(packet), now(), placed);
        const PacketTimeline::Holes holes = timeline_.takeHoles();
        // Skipped media is lost whatever is recorded; a silence before a new
        // clock is a hole only in a copy, as a recording that encodes fills
        // it with the last picture and counts that.
        if (holes.skipped > 0) skipped(holes.skipped, "skipped ahead");
        if (holes.silent > 0 && copying()) skipped(holes.silent, "came back with a new clock");
        for (auto& packet : placed) {
            if (stopping_) break;
            gotMedia = true;
            holdBack(std::move(packet));
        }
        for (auto& media : decoded) {
            if (stopping_) break;
            if (media.picture) {
                gotMedia = true;
                pushPicture(std::move(media.buffer), media.pts);
                if (!earlySound_.empty()) releaseEarlySound();
                // Where a start's time goes: connecting and probing, then
                // waiting for a key picture.
                if (!gotPicture && log::debugging(log::Area::Stream))
                    log::debug(log::Area::Stream, "The stream " + url_ + " brought its first picture " +
                                                      seconds(steadyNs() - askedAt_) + " after it was asked for");
                gotPicture = true;
            } else {
                pushSound(std::move(media.buffer), media.pts);
            }
        }
    }
    // What the connection sent last may have been cut off as it dropped.
    heldBack_.clear();
    return gotMedia;
}

// A track's newest packet goes on only once the next one has come, so that
// a connection that drops in the middle of a packet hands no copy a picture
// cut short. A break goes on at once, after what came before it.
void StreamFeeder::holdBack(TimedPacket packet) {
    if (packet.resumes) {
        for (auto& held : heldBack_)
            if (held) publish(std::move(*std::exchange(held, std::nullopt)));
        publish(std::move(packet));
        return;
    }
    const auto track = static_cast<std::size_t>(std::max(packet.track, 0));
    if (heldBack_.size() <= track) heldBack_.resize(track + 1);
    if (auto previous = std::exchange(heldBack_[track], std::move(packet))) publish(std::move(*previous));
}

void StreamFeeder::publish(TimedPacket packet) {
    // Packets go on at the pace of their own time stamps, so that a stream
    // served faster than real time (a file, an HLS backlog) is copied as it
    // plays, whether or not anything is decoded. A live stream's packets
    // come about when they are due and pass without a wait; one that runs
    // ahead waits for its time, and the packets just after it then pass.
    const std::int64_t at = packet.dts >= 0 ? packet.dts : packet.pts;
    if (at > now() + kPacketLeadNs && !waitUntil(at)) return;
    packetEnd_ = std::max(packetEnd_.load(), packet.time() + packet.duration);
    {
        // The stream is back with its first key picture, where the copies
        // go on, even when it is the rest of what the stream sent before (a
        // demuxer's last packet, completed late).
        std::lock_guard lock(mutex_);
        if (!streamHasPictures_) startStill();
        const bool resumes = packet.picture ? packet.key : !streamHasPictures_;
        if (inGap_ && resumes) endGap(std::max(packet.time(), now()));
    }
    tap_->publish(std::move(packet));
}

void StreamFeeder::lost() {
    std::lock_guard lock(mutex_);
    beginGap();
}

void StreamFeeder::skipped(std::int64_t ns, const std::string& how) {
    std::lock_guard lock(mutex_);
    if (inGap_) return;  // part of the gap already being counted
    if (gaps_) gaps_->add(ns / 1'000'000);
    log::warn(log::Area::Stream, "The stream " + url_ + " " + how + ": a gap of " + seconds(ns));
}

void StreamFeeder::beginGap() {
    if (inGap_) return;
    inGap_ = true;
    gapFrom_ = std::max(realEnd_, packetEnd_.load());
    if (gaps_) gaps_->begin();
}

void StreamFeeder::endGap(std::int64_t at) {
    inGap_ = false;
    const std::int64_t length = std::max<std::int64_t>(0, at - gapFrom_);
    if (gaps_) gaps_->end(length / 1'000'000);
    log::warn(log::Area::Stream, "The stream " + url_ + " is back after a gap of " + seconds(length));
}

void StreamFeeder::fill() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // Nothing to keep going at the picture rate while no picture is
        // decoded, but radio's still picture.
        const bool still = started_ && !streamHasPictures_;
        const std::int64_t tick = decodePictures_ || still ? format_.frameDurationNs() : kSecond / 4;
        wake_.wait_for(lock, std::chrono::nanoseconds(tick));
        if (inGap_ && tap_) {
            // The copies' time goes on through an outage.
            const std::int64_t t = now();
            lock.unlock();
            tap_->outage(t);
            lock.lock();
        }
        if (stopping_) break;
        // Only while the stream brings nothing: a stream merely running
        // late must keep its own pictures in their place.
        const bool silent = started_ && (inGap_ || steadyNs() - lastActivity_ > kSecond);
        // With only its key pictures decoded, the preview shows each one
        // until the next, rather than when the next comes.
        const bool sparse = started_ && decodePictures_ && keyPicturesOnly_;
        const std::int64_t t = now();
        if (still && !silent) {
            // The preview, the parts and their time go on from the still picture.
            fillPicturesTo(t);
            continue;
        }
        if (!(silent || sparse) || t - videoEnd_ <= kFillAfterNs) continue;
        // Made-up pictures are a gap, whether or not the stream is reopened;
        // unless a copy is recorded, which has all the stream sent.
        if (silent && !copying()) beginGap();
        fillTo(t);
    }
}

bool StreamFeeder::sleepFor(std::chrono::milliseconds span) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, span, [this] { return stopping_.load(); });
    return !stopping_;
}

bool StreamFeeder::waitUntil(std::int64_t runningTime) {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const std::int64_t t = now();
        if (t >= runningTime) break;
        wake_.wait_for(lock, std::chrono::nanoseconds(runningTime - t));
    }
    return !stopping_;
}

}  // namespace kelbo
