#include "part_router.h"

#include <algorithm>
#include <vector>

namespace kelbo {

namespace {

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kBacklogNs = kSecond;
// Ten seconds of 1024-sample chunks: a bound for sound waiting on pictures.
constexpr std::size_t kMaxBacklogChunks = 480;

std::int64_t chunkEnd(const AudioChunk& chunk) {
    return chunk.pts() + static_cast<std::int64_t>(chunk.samples()) * kSecond / kAudioRate;
}

// Samples of a chunk starting at `from` that lie before `to`, rounded, so
// that two parts cut at the same instant share no sample and lose none.
std::size_t samplesBefore(std::int64_t from, std::int64_t to, std::size_t samples) {
    if (to <= from) return 0;
    const std::int64_t n = ((to - from) * kAudioRate + kSecond / 2) / kSecond;
    return static_cast<std::size_t>(std::min<std::int64_t>(n, static_cast<std::int64_t>(samples)));
}

// Samples of nothing, for a part whose source gave no sound for a while.
class Silence : public AudioChunk {
public:
    explicit Silence(std::size_t samples)
        : AudioChunk(0, samples), zeros_(samples * kAudioChannels, 0) {}
    const std::int16_t* data() const override { return zeros_.data(); }

private:
    std::vector<std::int16_t> zeros_;
};

AudioChunkPtr silence(std::size_t samples) { return std::make_shared<Silence>(samples); }

}  // namespace

PartRouter::PartRouter(VideoFormat format, PartEvents& events) : format_(format), events_(events) {}

bool PartRouter::startPart(int id, std::shared_ptr<PartOutput> output, std::int64_t limitMs) {
    std::lock_guard lock(mutex_);
    if (current_) endCurrent(PartEnd::Stopped, true);
    if (pending_) {
        // Replaced before it saw a picture: close the empty file.
        pending_->end = pending_->start = 0;
        finishPart(*pending_);
        pending_.reset();
    }
    auto part = std::make_unique<Part>();
    part->id = id;
    part->output = std::move(output);
    part->limitMs = limitMs;
    if (!holding_) {
        pending_ = std::move(part);
        return false;
    }
    // Carry on exactly where the last part ended.
    part->start = holdFrom_;
    part->firstIndex = nextIndex_;
    current_ = std::move(part);
    holding_ = false;
    begin(*current_);
    std::deque<VideoFramePtr> held;
    held.swap(held_);
    for (auto& frame : held)
        if (current_) feed(std::move(frame));
    return true;
}

void PartRouter::stopPart(int id) {
    std::lock_guard lock(mutex_);
    if (current_ && current_->id == id) {
        endCurrent(PartEnd::Stopped, true);
        finishClosing(false);
    } else if (pending_ && pending_->id == id) {
        pending_->end = pending_->start = 0;
        finishPart(*pending_);
        pending_.reset();
    }
}

void PartRouter::setLimit(int id, std::int64_t limitMs) {
    std::lock_guard lock(mutex_);
    if (pending_ && pending_->id == id) pending_->limitMs = limitMs;
    if (current_ && current_->id == id) {
        current_->limitMs = limitMs;
        if (limitMs > 0 && elapsedMs(*current_) >= limitMs) {
            endCurrent(PartEnd::Limit, false);
            finishClosing(false);
        }
    }
}

void PartRouter::onVideo(VideoFramePtr frame) {
    std::lock_guard lock(mutex_);
    newestVideoPts_ = frame->pts();
    if (current_ && current_->output->failed()) endCurrent(PartEnd::Failed, false);
    if (!current_ && pending_) {
        current_ = std::move(pending_);
        current_->start = frame->pts();
        current_->firstIndex = 0;
        begin(*current_);
    }
    if (current_) {
        feed(std::move(frame));
    } else if (holding_) {
        held_.push_back(std::move(frame));
        if (held_.size() > kMaxHeldFrames) {
            holding_ = false;
            held_.clear();
        }
    }
    finishClosing(false);
}

void PartRouter::onAudio(AudioChunkPtr chunk) {
    std::lock_guard lock(mutex_);
    backlog_.push_back(std::move(chunk));
    deliverAllSound();
    finishClosing(false);
    trimBacklog();
}

void PartRouter::flush() {
    std::lock_guard lock(mutex_);
    if (current_) endCurrent(PartEnd::SourceEnded, false);
    if (pending_) {
        pending_->end = pending_->start = 0;
        pending_->reason = PartEnd::SourceEnded;
        finishPart(*pending_);
        pending_.reset();
    }
    holding_ = false;
    held_.clear();
    deliverAllSound();
    finishClosing(true);
    backlogFront_ += backlog_.size();
    backlog_.clear();
}

void PartRouter::begin(Part& part) {
    part.output->begin(part.firstIndex);
    part.soundChunk = backlogFront_;
}

void PartRouter::feed(VideoFramePtr frame) {
    Part& part = *current_;
    lastFedPts_ = frame->pts();
    part.output->video(std::move(frame), part.firstIndex + part.frames);
    ++part.frames;
    deliverSound(part, lastFedPts_ + format_.frameDurationNs());
    if (part.frames == 1) events_.partStarted(part.id);
    events_.partProgress(part.id, elapsedMs(part));
    if (part.limitMs > 0 && elapsedMs(part) >= part.limitMs) endCurrent(PartEnd::Limit, false);
}

void PartRouter::endCurrent(PartEnd reason, bool hold) {
    Part& part = *current_;
    part.reason = reason;
    // Pictures come at the standard's exact rate, so the part ends one
    // frame after its last picture, where a following part begins.
    part.end = part.frames > 0 ? lastFedPts_ + format_.frameDurationNs() : part.start;
    holding_ = hold && reason == PartEnd::Stopped;
    holdFrom_ = part.end;
    nextIndex_ = part.firstIndex + part.frames;
    held_.clear();
    deliverSound(part, part.end);
    closing_.push_back(std::move(current_));
}

void PartRouter::deliverSound(Part& part, std::int64_t until) {
    if (part.audioDone) return;
    if (part.soundChunk < backlogFront_) {
        part.soundChunk = backlogFront_;  // trimmed away: the part has a gap
        part.soundOffset = 0;
    }
    while (part.soundChunk < backlogFront_ + backlog_.size()) {
        const AudioChunkPtr& chunk = backlog_[part.soundChunk - backlogFront_];
        const std::size_t n = chunk->samples();
        if (!part.audioStarted) {
            if (chunkEnd(*chunk) <= part.start) {
                ++part.soundChunk;
                continue;
            }
            part.soundOffset = samplesBefore(chunk->pts(), part.start, n);
            part.audioStarted = true;
        }
        if (!keepInStep(part, *chunk, until)) {
            if (part.end >= 0 && until >= part.end) part.audioDone = true;
            return;
        }
        if (part.soundOffset >= n) {
            ++part.soundChunk;
            part.soundOffset = 0;
            continue;
        }
        // Within the tolerance only the chunk's first sample time counts, so
        // a part's sound stays gapless even when the source's time stamps jitter.
        const std::size_t stop = std::max(part.soundOffset, samplesBefore(chunk->pts(), until, n));
        if (stop > part.soundOffset) {
            part.output->audio(chunk, part.soundOffset, stop - part.soundOffset);
            part.soundSamples += static_cast<std::int64_t>(stop - part.soundOffset);
        }
        part.soundOffset = stop;
        if (stop < n || chunkEnd(*chunk) >= until) {
            if (part.end >= 0 && until >= part.end) part.audioDone = true;
            if (stop == n) {
                ++part.soundChunk;
                part.soundOffset = 0;
            }
            return;
        }
        ++part.soundChunk;
        part.soundOffset = 0;
    }
}

// The part's sound follows the running time of its pictures: where the
// source's sound starts late or has a hole, the part gets silence; where
// it overlaps what the part already has, the overlap is left out. False
// while the chunk's next sample lies beyond `until`.
bool PartRouter::keepInStep(Part& part, const AudioChunk& chunk, std::int64_t until) {
    const std::int64_t expected = part.start + part.soundSamples * kSecond / kAudioRate;
    const std::int64_t next =
        chunk.pts() + static_cast<std::int64_t>(part.soundOffset) * kSecond / kAudioRate;
    if (next - expected > kSoundToleranceNs) {
        // Filled once the pictures have passed it, or the part ends first.
        const bool ending = part.end >= 0 && until >= part.end;
        if (next > until && !ending) return false;
        const std::size_t missing =
            samplesBefore(expected, std::min(next, until), static_cast<std::size_t>(kAudioRate) * 60);
        if (missing > 0) {
            part.output->audio(silence(missing), 0, missing);
            part.soundSamples += static_cast<std::int64_t>(missing);
        }
        return next <= until;
    }
    if (expected - next > kSoundToleranceNs)
        part.soundOffset += samplesBefore(next, expected, chunk.samples() - part.soundOffset);
    return true;
}

void PartRouter::deliverAllSound() {
    for (auto& part : closing_) deliverSound(*part, part->end);
    if (current_ && current_->frames > 0)
        deliverSound(*current_, lastFedPts_ + format_.frameDurationNs());
}

void PartRouter::trimBacklog() {
    if (backlog_.empty()) return;
    // Keep a second for parts about to start, and what open parts still need.
    std::uint64_t needed = backlogFront_ + backlog_.size();
    for (const auto& part : closing_) needed = std::min(needed, part->soundChunk);
    if (current_) needed = std::min(needed, current_->soundChunk);
    const std::int64_t keepFrom = chunkEnd(*backlog_.back()) - kBacklogNs;
    while (backlog_.size() > 1 &&
           ((backlogFront_ < needed && chunkEnd(*backlog_.front()) < keepFrom) ||
            backlog_.size() > kMaxBacklogChunks)) {
        backlog_.pop_front();
        ++backlogFront_;
    }
}

void PartRouter::finishClosing(bool all) {
    for (auto it = closing_.begin(); it != closing_.end();) {
        Part& part = **it;
        const bool soundTimedOut = newestVideoPts_ >= part.end + kAudioWaitNs;
        if (all || part.audioDone || soundTimedOut || part.output->failed()) {
            finishPart(part);
            it = closing_.erase(it);
        } else {
            ++it;
        }
    }
}

void PartRouter::finishPart(Part& part) {
    part.output->finish();
    const DeviceFailure failure = part.reason == PartEnd::Failed ? part.output->failure() : DeviceFailure{};
    events_.partEnded(part.id, elapsedMs(part), part.reason, failure);
}

}  // namespace kelbo
