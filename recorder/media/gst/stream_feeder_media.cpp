#include "stream_feeder.h"

#include <algorithm>

// Where the decoded pictures and sound go on the pipeline's timeline, and
// what keeps it going while the stream brings nothing: the last picture (or
// radio's still one) and silence.
namespace kelbo {

void StreamFeeder::pushPicture(GstBufferRef buffer, std::int64_t pts) {
    const std::int64_t duration = format_.frameDurationNs();
    std::int64_t at = 0;
    {
        std::lock_guard lock(mutex_);
        const std::int64_t t = now();
        if (pts >= 0) at = pts + offset_;
        if (!anchored_ || pts < 0 || at < videoEnd_ - duration || at > std::max(t, videoEnd_) + kJumpNs) {
            // Start the stream's clock where the timeline stands.
            // Nothing is made up before the stream's first picture.
            if (!started_) videoEnd_ = audioEnd_ = realEnd_ = t;
            started_ = true;
            const std::int64_t from = std::max(t, videoEnd_);
            offset_ = (pts >= 0 ? from - pts : 0);
            at = from;
            anchored_ = true;
            fillTo(from);
        }
        at = std::max(at, videoEnd_);
        if (inGap_) endGap(at);
        videoEnd_ = at + duration;
        realEnd_ = videoEnd_;
        lastPicture_.reset(gst_buffer_ref(buffer.get()));
    }
    if (!waitUntil(at)) return;
    GstBuffer* out = gst_buffer_make_writable(buffer.release());
    GST_BUFFER_PTS(out) = static_cast<GstClockTime>(at);
    GST_BUFFER_DURATION(out) = static_cast<GstClockTime>(duration);
    target_.pushVideo(out);
    std::lock_guard lock(mutex_);
    if (!streamHasSound_) pushSilence(audioEnd_, at + duration);
}

void StreamFeeder::pushSound(GstBufferRef buffer, std::int64_t pts) {
    std::int64_t samples = static_cast<std::int64_t>(gst_buffer_get_size(buffer.get())) / kBytesPerSample;
    const std::int64_t duration = samples * kSecond / kAudioRate;
    std::int64_t at = 0;
    {
        std::lock_guard lock(mutex_);
        if (!anchored_ && streamHasPictures_) {
            // The connection's first picture sets the clock; sound decoded
            // before it waits for it rather than being lost. Radio's sound
            // sets the clock itself.
            holdEarlySound(std::move(buffer), pts);
            return;
        }
        at = pts >= 0 && anchored_ ? pts + offset_ : audioEnd_;
        if (!streamHasPictures_) at = placeSoundAlone(pts, at, duration);
        if (at < audioEnd_ - kJumpNs || at > audioEnd_ + kJumpNs) at = audioEnd_;
        // Sound goes where its time stamp puts it, as the pictures do. What
        // overlaps the sound before it (sound older than the picture that
        // set the clock, or sound late after silence took its place) is
        // left out; a sample's worth of rounding just carries on.
        if (at < audioEnd_ - kSecond / kAudioRate) {
            const std::int64_t cut = (audioEnd_ - at) * kAudioRate / kSecond;
            if (cut >= samples) return;
            GstBuffer* trimmed = gst_buffer_make_writable(buffer.release());
            gst_buffer_resize(trimmed, static_cast<gssize>(cut * kBytesPerSample), -1);
            buffer.reset(trimmed);
            samples -= cut;
            at += cut * kSecond / kAudioRate;
        }
        at = std::max(at, audioEnd_);
        audioEnd_ = at + samples * kSecond / kAudioRate;
    }
    if (!waitUntil(at)) return;
    GstBuffer* out = gst_buffer_make_writable(buffer.release());
    GST_BUFFER_PTS(out) = static_cast<GstClockTime>(at);
    GST_BUFFER_DURATION(out) = static_cast<GstClockTime>(samples * kSecond / kAudioRate);
    target_.pushAudio(out);
}

void StreamFeeder::holdEarlySound(GstBufferRef buffer, std::int64_t pts) {
    if (pts < 0) return;
    earlySound_.emplace_back(std::move(buffer), pts);
    while (earlySound_.size() > 1 && earlySound_.back().second - earlySound_.front().second > kEarlySoundNs)
        earlySound_.pop_front();
}

void StreamFeeder::releaseEarlySound() {
    std::deque<std::pair<GstBufferRef, std::int64_t>> held;
    held.swap(earlySound_);
    for (auto& [buffer, pts] : held) {
        if (stopping_) break;
        pushSound(std::move(buffer), pts);
    }
}

void StreamFeeder::fillTo(std::int64_t until) {
    // The last picture again, and silence, while the stream brings nothing.
    fillPicturesTo(until);
    pushSilence(audioEnd_, videoEnd_);
}

void StreamFeeder::fillPicturesTo(std::int64_t until) {
    const std::int64_t duration = format_.frameDurationNs();
    while (videoEnd_ + duration <= until) {
        GstBuffer* copy = gst_buffer_copy(lastPicture_.get());
        GST_BUFFER_PTS(copy) = static_cast<GstClockTime>(videoEnd_);
        GST_BUFFER_DURATION(copy) = static_cast<GstClockTime>(duration);
        target_.pushVideo(copy);
        videoEnd_ += duration;
    }
}

void StreamFeeder::startStill() {
    if (started_) return;
    started_ = true;
    // The picture branch shows the first still picture from where the
    // timeline stood when the stream was asked for; the sound is kept
    // unbroken from there too (silence until the stream's first sound).
    videoEnd_ = realEnd_ = now();
}

std::int64_t StreamFeeder::placeSoundAlone(std::int64_t pts, std::int64_t at, std::int64_t duration) {
    startStill();
    if (!anchored_ || (pts >= 0 && (at < audioEnd_ - kJumpNs || at > audioEnd_ + kJumpNs))) {
        // The stream's clock starts (again) where the timeline stands; the
        // sound stays unbroken from the first still picture on.
        const std::int64_t from = std::max(now(), audioEnd_);
        pushSilence(audioEnd_, from);
        offset_ = pts >= 0 ? from - pts : 0;
        anchored_ = true;
        at = from;
    }
    at = std::max(at, audioEnd_);
    if (inGap_) endGap(at);
    realEnd_ = at + duration;
    return at;
}

void StreamFeeder::pushSilence(std::int64_t from, std::int64_t to) {
    const std::int64_t samples = (to - from) * kAudioRate / kSecond;
    if (samples <= 0) return;
    const auto bytes = static_cast<gsize>(samples * kBytesPerSample);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_memset(buffer, 0, 0, bytes);
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(from);
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(samples * kSecond / kAudioRate);
    target_.pushAudio(buffer);
    audioEnd_ = from + samples * kSecond / kAudioRate;
}

}  // namespace kelbo
