#include "stream_packet_tap.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>
#include <chrono>

namespace kelbo {

namespace {

AvCodecParametersPtr copyOf(const AVCodecParameters* p) {
    if (!p) return nullptr;
    AvCodecParametersPtr copy(avcodec_parameters_alloc());
    if (copy && avcodec_parameters_copy(copy.get(), p) < 0) copy.reset();
    return copy;
}

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

StreamCodecs::StreamCodecs(const std::vector<CopyTrack>& tracks) {
    for (const CopyTrack& track : tracks) {
        owned_.push_back(copyOf(track.codec));
        tracks_.push_back({owned_.back().get(), track.language, track.disposition});
    }
}

bool StreamCodecs::isSound(std::size_t track) const {
    return track < tracks_.size() && tracks_[track].codec &&
           tracks_[track].codec->codec_type == AVMEDIA_TYPE_AUDIO;
}

const AVCodecParameters* StreamCodecs::picture() const {
    const AVCodecParameters* first = tracks_.empty() ? nullptr : tracks_[0].codec;
    return first && first->codec_type == AVMEDIA_TYPE_VIDEO ? first : nullptr;
}

bool StreamCodecs::hasSound() const {
    for (std::size_t track = 0; track < tracks_.size(); ++track)
        if (isSound(track)) return true;
    return false;
}

bool StreamCodecs::sameCodecsAs(const StreamCodecs& other) const {
    const auto same = [](const AVCodecParameters* a, const AVCodecParameters* b) {
        return (!a && !b) || (a && b && a->codec_id == b->codec_id);
    };
    if (tracks_.size() != other.tracks_.size()) return false;
    for (std::size_t track = 0; track < tracks_.size(); ++track)
        if (!same(tracks_[track].codec, other.tracks_[track].codec)) return false;
    return true;
}

std::string StreamCodecs::names() const {
    const auto name = [](const AVCodecParameters* p) {
        return p ? std::string(avcodec_get_name(p->codec_id)) : std::string("none");
    };
    // Radio has no picture: "none/mp3".
    std::string text = name(picture());
    for (std::size_t track = picture() ? 1 : 0; track < tracks_.size(); ++track)
        text += "/" + name(tracks_[track].codec);
    return hasSound() ? text : text + "/no sound";
}

StreamPacketTap::~StreamPacketTap() { end(); }

void StreamPacketTap::setCodecs(std::shared_ptr<const StreamCodecs> codecs) {
    soundOnly_ = codecs && !codecs->picture() && codecs->hasSound();
    std::lock_guard lock(mutex_);
    codecs_ = std::move(codecs);
}

void StreamPacketTap::publish(TimedPacket packet) {
    std::lock_guard lock(mutex_);
    packet.sequence = ++sequence_;
    packet.codecs = codecs_;
    std::vector<std::shared_ptr<StreamCopySink>> attaching;
    {
        std::lock_guard attachLock(attachMutex_);
        attaching.swap(attaching_);
    }
    for (auto& sink : attaching) {
        for (const TimedPacket& kept : backlog_) {
            if (sink->done()) break;
            sink->packet(kept);
        }
        sinks_.push_back(std::move(sink));
    }
    for (auto& sink : sinks_)
        if (!sink->done()) sink->packet(packet);
    sinks_.erase(std::remove_if(sinks_.begin(), sinks_.end(), [](const auto& s) { return s->done(); }),
                 sinks_.end());
    backlog_.push_back(std::move(packet));
    trimBacklog(backlog_.back());
    lastPacketAt_ = steadyNs();
}

void StreamPacketTap::trimBacklog(const TimedPacket& newest) {
    if (newest.beginsGroup() && newest.time() >= 0) {
        // A new group begins: what came before it is no longer a place to
        // start from, except the sound that plays with the new group.
        const std::int64_t from = newest.time();
        backlog_.erase(std::remove_if(backlog_.begin(), backlog_.end(),
                                      [&](const TimedPacket& p) {
                                          return p.sequence < newest.sequence &&
                                                 (p.picture || p.time() < from);
                                      }),
                       backlog_.end());
    }
    const std::int64_t latest = newest.time();
    while (backlog_.size() > 1 && latest >= 0 && backlog_.front().time() >= 0 &&
           latest - backlog_.front().time() > kMostBacklogNs)
        backlog_.pop_front();
}

void StreamPacketTap::attach(std::shared_ptr<StreamCopySink> sink) {
    std::lock_guard lock(attachMutex_);
    attaching_.push_back(std::move(sink));
}

void StreamPacketTap::outage(std::int64_t now) {
    std::lock_guard lock(mutex_);
    for (auto& sink : sinks_) sink->outage(now);
}

void StreamPacketTap::end() {
    std::vector<std::shared_ptr<StreamCopySink>> sinks;
    {
        std::lock_guard lock(mutex_);
        sinks.swap(sinks_);
        backlog_.clear();
        soundOnly_ = false;  // the next connection says what it brings
        lastPacketAt_ = -1;
        std::lock_guard attachLock(attachMutex_);
        for (auto& sink : attaching_) sinks.push_back(std::move(sink));
        attaching_.clear();
    }
    for (auto& sink : sinks) sink->ended();
}

bool StreamPacketTap::flowing(std::int64_t ns) const {
    const std::int64_t at = lastPacketAt_;
    return at >= 0 && steadyNs() - at <= ns;
}

}  // namespace kelbo
