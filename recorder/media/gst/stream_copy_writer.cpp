#include "stream_copy_writer.h"

#include "recorder/ports/log.h"


namespace kelbo {

namespace {

constexpr std::int64_t kMillisecond = 1'000'000;

}  // namespace

std::shared_ptr<StreamCopyWriter> StreamCopyWriter::create(const std::string& path, int id, PartEvents& events,
                                                           std::int64_t limitMs, Start start,
                                                           Closed closed, DeviceFailure* failure) {
    // Made at once, as the encoded parts are, so a folder that cannot be
    // written is known at the start.
    auto file = PartFile::create(path, failure);
    if (!file) return nullptr;
    return std::make_shared<StreamCopyWriter>(std::move(file), id, events, limitMs, start, std::move(closed));
}

StreamCopyWriter::StreamCopyWriter(std::unique_ptr<PartFile> file, int id, PartEvents& events,
                                   std::int64_t limitMs, Start start, Closed closed)
    : path_(file->path()), id_(id), events_(events), closed_(std::move(closed)), start_(start),
      limitMs_(limitMs), file_(std::move(file)) {}

StreamCopyWriter::~StreamCopyWriter() {
    std::lock_guard lock(mutex_);
    finishFile();
}

void StreamCopyWriter::setLimit(std::int64_t ms) {
    std::lock_guard lock(mutex_);
    limitMs_ = ms;
}

void StreamCopyWriter::stop() {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::Waiting && phase_ != Phase::Writing) return;
    stoppedAt_ = key_ < 0 ? -1 : start_.from + elapsedNs();
    stopSequence_ = lastSequence_;
    phase_ = Phase::Stopped;
}

StreamCopyWriter::Start StreamCopyWriter::carryOn() {
    std::lock_guard lock(mutex_);
    Start next;
    next.origin = start_.origin;
    if (phase_ == Phase::Stopped && key_ >= 0) {
        next.carriesOn = true;
        next.afterSequence = stopSequence_;
        next.from = stoppedAt_;
        phase_ = Phase::UntilKey;
        replayHeld();
    } else if (phase_ == Phase::Ending) {
        next.carriesOn = true;
        next.afterSequence = lastSequence_;
        next.from = end_;
    } else {
        // Nothing written yet: the next part starts afresh.
        next.origin = -1;
        if (phase_ == Phase::Stopped) finishFile();
    }
    return next;
}

void StreamCopyWriter::finishAtStop(bool flowing) {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::Stopped) return;
    if (key_ < 0 || !flowing) {
        finishFile();
        return;
    }
    beginEnding(stoppedAt_);
    replayHeld();
}

void StreamCopyWriter::packet(const TimedPacket& packet) {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Closed || packet.sequence <= start_.afterSequence) return;
    lastSequence_ = packet.sequence;
    newest_ = std::max(newest_, packet.time());
    if (!started_) {
        // The stream delivers: the part records, whether or not its first
        // key picture has come.
        started_ = true;
        events_.partStarted(id_);
    }
    take(packet);
}

void StreamCopyWriter::ended() {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Closed) return;
    if (!endReported_) reason_ = PartEnd::SourceEnded;
    if (key_ < 0 && phase_ != Phase::Stopped)
        fail({DeviceFault::Stream, "the stream ended before its first key picture"});
    finishFile();
}

bool StreamCopyWriter::done() const {
    std::lock_guard lock(mutex_);
    return phase_ == Phase::Closed;
}

void StreamCopyWriter::take(const TimedPacket& packet) {
    const bool writing = phase_ == Phase::Writing || phase_ == Phase::UntilKey || phase_ == Phase::Ending;
    if (writing && !sameCodecs(packet)) return;
    switch (phase_) {
        case Phase::Waiting: waitForKey(packet); break;
        case Phase::Writing: writeOn(packet); break;
        case Phase::Stopped:
            held_.push_back(packet);
            if (held_.size() > kMostHeld) finishFile();
            break;
        case Phase::UntilKey: untilKey(packet); break;
        case Phase::Ending: ending(packet); break;
        case Phase::Closed: break;
    }
}

void StreamCopyWriter::waitForKey(const TimedPacket& packet) {
    if (firstSeen_ < 0) firstSeen_ = packet.time();
    if (!packet.beginsGroup() || packet.time() < 0) {
        // Sound that came before the key picture may still play after it:
        // all that plays from the newest picture on is kept, as the key
        // picture shows after every picture that came before it.
        if (packet.leads()) pictureSeen_ = std::max(pictureSeen_, packet.time());
        else held_.push_back(packet);
        while (!held_.empty() && (held_.front().time() < pictureSeen_ || held_.size() > kMostHeld))
            held_.pop_front();
        if (newest_ - firstSeen_ > kKeyWaitNs) {
            fail({DeviceFault::Stream,
                  "the stream brought no key picture in " + std::to_string(kKeyWaitNs / 1'000'000'000) + " s"});
            finishFile();
        }
        return;
    }
    codecs_ = packet.codecs;
    if (!muxer_.open(std::move(file_), codecs_)) {
        fail(muxer_.failure());
        finishFile();
        return;
    }
    key_ = packet.time();
    if (start_.from < 0) start_.from = key_;
    if (start_.origin < 0) start_.origin = key_;
    phase_ = Phase::Writing;
    if (!writePicture(packet)) return;
    std::deque<TimedPacket> early;
    early.swap(held_);
    for (const TimedPacket& sound : early)
        if (sound.time() >= key_ && !write(sound)) return;
    events_.partProgress(id_, elapsedNs() / kMillisecond);
}

void StreamCopyWriter::writeOn(const TimedPacket& packet) {
    // Pictures before the key picture (an open group's first ones) need
    // the group before it.
    if (packet.time() < key_) return;
    const bool pastLimit = limitMs_ > 0 && packet.time() >= limitEnd();
    if (packet.leads() && pastLimit) {
        reachLimit();
        if (phase_ == Phase::Ending) ending(packet);
        return;
    }
    if (waitsForKeyAfterBreak(packet)) return;
    if (!packet.leads()) {
        // Sound sent ahead of the pictures may already lie past the limit.
        if (!pastLimit) write(packet);
        return;
    }
    if (writePicture(packet)) events_.partProgress(id_, elapsedNs() / kMillisecond);
}

// After a break in the stream (a reconnection, media that never came) the
// pictures before the next key picture refer to pictures the file does not
// hold: the file goes on from that key picture, with the sound that plays
// from it on (some of which may come before it).
bool StreamCopyWriter::waitsForKeyAfterBreak(const TimedPacket& packet) {
    broken_ = broken_ || packet.resumes;
    if (!broken_) return false;
    if (!packet.leads()) {
        held_.push_back(packet);
        while (held_.size() > 1 && held_.back().time() - held_.front().time() > kSoundWaitNs) held_.pop_front();
        return true;
    }
    if (!packet.beginsGroup()) return true;
    broken_ = false;
    std::deque<TimedPacket> early;
    early.swap(held_);
    for (const TimedPacket& sound : early)
        if (sound.time() >= packet.time() && !write(sound)) return true;
    return false;
}

std::int64_t StreamCopyWriter::limitEnd() const { return start_.from + limitMs_ * kMillisecond; }

void StreamCopyWriter::reachLimit() {
    reason_ = PartEnd::Limit;
    endReported_ = true;
    events_.partEnded(id_, std::max(elapsedNs() / kMillisecond, limitMs_), PartEnd::Limit, {});
    beginEnding(limitEnd());
}

void StreamCopyWriter::outage(std::int64_t now) {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Ending && now > end_ + kSoundWaitNs) finishFile();
    if (phase_ != Phase::Writing) return;
    // Time goes by in an outage as it does on the clock: the part's time
    // keeps pace with the programme's, and the part ends at its limit.
    outageEnd_ = std::max(outageEnd_, now);
    if (limitMs_ > 0 && now >= limitEnd()) {
        reachLimit();
        return;
    }
    events_.partProgress(id_, elapsedNs() / kMillisecond);
}

void StreamCopyWriter::untilKey(const TimedPacket& packet) {
    if (packet.beginsGroup()) {
        // The next part begins here; this one takes the sound before it.
        beginEnding(packet.time());
        picturesOver_ = true;
        replayHeld();
        return;
    }
    broken_ = broken_ || packet.resumes;
    if (!packet.leads()) held_.push_back(packet);
    else if (packet.time() >= key_ && !broken_ && !writePicture(packet)) return;
    if (newest_ - stoppedAt_ > kKeyWaitNs) finishFile();
}

void StreamCopyWriter::ending(const TimedPacket& packet) {
    if (packet.leads()) {
        // Once a picture is left out, later ones may refer to it.
        if (packet.time() >= end_) picturesOver_ = true;
        if (!picturesOver_ && packet.time() >= key_ && !writePicture(packet)) return;
    } else if (packet.time() >= end_) {
        // Every sound track goes on to the end; subtitles are not waited for.
        if (codecs_->isSound(static_cast<std::size_t>(packet.track)))
            soundOver_[static_cast<std::size_t>(packet.track)] = true;
        if (soundOver_ == soundTracks_) {
            finishFile();
            return;
        }
    } else if (packet.time() >= key_ && !write(packet)) {
        return;
    }
    if (newest_ > end_ + kSoundWaitNs) finishFile();
}

bool StreamCopyWriter::sameCodecs(const TimedPacket& packet) {
    if (!packet.codecs || packet.codecs == codecs_) return true;
    if (packet.codecs->sameCodecsAs(*codecs_)) {
        codecs_ = packet.codecs;
        return true;
    }
    // A file holds one set of codecs: the recording goes on in a new one.
    log::warn(log::Area::Stream, "The stream changed its codecs from " + codecs_->names() + " to " + packet.codecs->names() +
              ": " + path_ + " ends here");
    reason_ = PartEnd::SourceEnded;
    finishFile();
    return false;
}

bool StreamCopyWriter::write(const TimedPacket& packet) {
    if (muxer_.write(packet, start_.origin)) return true;
    // A full disk or a muxer that takes nothing ends the part at once.
    fail(muxer_.failure());
    finishFile();
    return false;
}

bool StreamCopyWriter::writePicture(const TimedPacket& packet) {
    if (!write(packet)) return false;
    pictureEnd_ = std::max(pictureEnd_, packet.time() + packet.duration);
    return true;
}

void StreamCopyWriter::beginEnding(std::int64_t end) {
    phase_ = Phase::Ending;
    end_ = end;
    picturesOver_ = false;
    const std::size_t tracks = codecs_ ? codecs_->tracks().size() : 0;
    soundTracks_.assign(tracks, false);
    for (std::size_t track = 0; track < tracks; ++track) soundTracks_[track] = codecs_->isSound(track);
    soundOver_.assign(tracks, false);
    // No sound to wait for, or sound alone, which ends where its time does.
    if (!codecs_ || !codecs_->hasSound() || !codecs_->picture()) finishFile();
}

void StreamCopyWriter::replayHeld() {
    std::deque<TimedPacket> held;
    held.swap(held_);
    for (const TimedPacket& packet : held) take(packet);
}

void StreamCopyWriter::fail(const DeviceFailure& why) {
    if (failure_.failed()) return;
    failure_ = why;
    reason_ = PartEnd::Failed;
    log::error(log::Area::Stream, "Copying the stream into " + path_ + " failed: " + why.text);
}

void StreamCopyWriter::finishFile() {
    if (phase_ == Phase::Closed) return;
    phase_ = Phase::Closed;
    held_.clear();
    const bool opened = muxer_.isOpen();
    const bool whole = muxer_.close();
    if (muxer_.failure().failed()) fail(muxer_.failure());
    if (muxer_.leftOut() > 0)
        log::warn(log::Area::Stream, std::to_string(muxer_.leftOut()) + " packets were left out of " + path_ +
                  ": their time stamps did not rise");
    // A part that got nothing leaves no file.
    if (file_) file_->close(PartFile::Removal::Always);
    if (!endReported_) {
        endReported_ = true;
        const std::int64_t ms = stoppedAt_ >= 0 ? (stoppedAt_ - start_.from) / kMillisecond
                                                : elapsedNs() / kMillisecond;
        events_.partEnded(id_, ms, reason_, failure_);
    }
    // A part stopped before its first key picture is no failure.
    Result result{path_, fileNs() / kMillisecond, !failure_.failed() && (whole || !opened), failure_.text,
                  failure_.fault};
    if (!opened && !failure_.failed() && reason_ != PartEnd::Stopped) {
        result.ok = false;
        result.error = "the stream brought no key picture";
        result.fault = DeviceFault::Stream;
    }
    if (closed_) closed_(result);
}

std::int64_t StreamCopyWriter::elapsedNs() const {
    return pictureEnd_ < 0 ? 0 : std::max<std::int64_t>(0, std::max(pictureEnd_, outageEnd_) - start_.from);
}

std::int64_t StreamCopyWriter::fileNs() const {
    return pictureEnd_ < 0 || key_ < 0 ? 0 : pictureEnd_ - key_;
}

}  // namespace kelbo
