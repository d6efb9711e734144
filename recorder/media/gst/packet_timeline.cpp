#include "packet_timeline.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace kelbo {

void PacketTimeline::reconnect(bool hasSound, std::int64_t wrapNs, bool hasPictures) {
    hasSound_ = hasSound;
    hasPictures_ = hasPictures;
    wrapNs_ = wrapNs;
    unwrapBase_ = -1;
    fixed_ = false;
    firstClock_ = true;
    broken_ = end_ > 0;
    settling_.clear();
    lastRaw_[0] = lastRaw_[1] = newestRaw_ = -1;
}

void PacketTimeline::unwrap(StreamInput::Packet& packet) {
    if (wrapNs_ <= 0) return;
    const std::int64_t raw = rawTime(packet);
    if (raw < 0) return;
    // Counted from one turn on, so that a packet from just before a wrap
    // never falls below zero; then each goes to the turn that puts it
    // nearest the packets before it.
    const std::int64_t base = unwrapBase_ >= 0 ? unwrapBase_ : raw + wrapNs_;
    const std::int64_t turns = (base - raw + wrapNs_ / 2) / wrapNs_;
    if (packet.pts >= 0) packet.pts += turns * wrapNs_;
    if (packet.dts >= 0) packet.dts += turns * wrapNs_;
    if (packet.setsClock) unwrapBase_ = raw + turns * wrapNs_;
}

bool PacketTimeline::fitsClock(const StreamInput::Packet& packet) const {
    if (packet.setsClock) return true;
    const std::int64_t raw = rawTime(packet);
    if (raw < 0) return true;
    return raw + offset_ >= 0 &&
           (newestRaw_ < 0 || (raw > newestRaw_ - kMostTrackSkewNs && raw < newestRaw_ + kMostTrackSkewNs));
}

std::int64_t PacketTimeline::rawTime(const StreamInput::Packet& packet) {
    return packet.dts >= 0 ? packet.dts : packet.pts;
}

bool PacketTimeline::jumped(const StreamInput::Packet& packet) const {
    if (!packet.setsClock) return false;
    const std::int64_t raw = rawTime(packet);
    const std::int64_t last = lastRaw_[packet.picture ? 1 : 0];
    if (raw < 0) return false;
    return (last >= 0 && raw < last - kBackwardJumpNs) ||
           (newestRaw_ >= 0 && raw > newestRaw_ + kForwardJumpNs);
}

bool PacketTimeline::skippedAhead(const StreamInput::Packet& packet, std::int64_t now) const {
    if (!packet.setsClock) return false;
    const std::int64_t raw = rawTime(packet);
    return newestRaw_ >= 0 && raw > newestRaw_ + kLeastHoleNs && raw + offset_ <= now + kMostSkipAheadNs;
}

PacketTimeline::Holes PacketTimeline::takeHoles() { return std::exchange(holes_, {}); }

bool PacketTimeline::settled() const {
    if (settling_.size() >= kSettlePackets) return true;
    bool picture = false, sound = false;
    std::int64_t first = -1, last = -1;
    for (const auto& packet : settling_) {
        if (!packet.setsClock) continue;
        (packet.picture ? picture : sound) = true;
        const std::int64_t raw = rawTime(packet);
        if (raw < 0) continue;
        if (first < 0) first = raw;
        last = raw;
    }
    if ((picture || !hasPictures_) && (sound || !hasSound_)) return true;
    return first >= 0 && last - first > kSettleNs;
}

void PacketTimeline::take(StreamInput::Packet packet, std::int64_t now, std::vector<TimedPacket>& placed) {
    unwrap(packet);
    if (fixed_ && skippedAhead(packet, now)) {
        holes_.skipped += std::max<std::int64_t>(0, rawTime(packet) + offset_ - end_);
        broken_ = true;
    } else if (fixed_ && jumped(packet)) {
        fixed_ = false;
        ++jumps_;
    }
    if (fixed_) {
        if (fitsClock(packet)) place(std::move(packet), placed);
        return;
    }
    settling_.push_back(std::move(packet));
    if (settled()) fix(now, placed);
}

void PacketTimeline::fix(std::int64_t now, std::vector<TimedPacket>& placed) {
    std::int64_t earliest = std::numeric_limits<std::int64_t>::max();
    for (const auto& packet : settling_) {
        if (!packet.setsClock) continue;
        if (packet.dts >= 0) earliest = std::min(earliest, packet.dts);
        if (packet.pts >= 0) earliest = std::min(earliest, packet.pts);
    }
    if (earliest == std::numeric_limits<std::int64_t>::max()) earliest = 0;
    offset_ = std::max(now, end_) - earliest;
    if (!firstClock_ && now - end_ >= kLeastHoleNs) {
        holes_.silent += now - end_;
        broken_ = true;
    }
    firstClock_ = false;
    fixed_ = true;
    lastRaw_[0] = lastRaw_[1] = newestRaw_ = -1;
    std::vector<StreamInput::Packet> settling;
    settling.swap(settling_);
    for (auto& packet : settling)
        if (fitsClock(packet)) place(std::move(packet), placed);
}

void PacketTimeline::place(StreamInput::Packet packet, std::vector<TimedPacket>& placed) {
    const std::int64_t raw = rawTime(packet);
    if (raw >= 0 && packet.setsClock) {
        std::int64_t& last = lastRaw_[packet.picture ? 1 : 0];
        last = std::max(last, raw);
        newestRaw_ = std::max(newestRaw_, raw);
    }
    TimedPacket timed;
    timed.packet = std::shared_ptr<const AVPacket>(packet.packet.release(), AvPacketFree{});
    timed.track = packet.track;
    timed.picture = packet.picture;
    timed.key = packet.key;
    timed.pts = packet.pts >= 0 ? packet.pts + offset_ : -1;
    timed.dts = packet.dts >= 0 ? packet.dts + offset_ : -1;
    timed.duration = packet.duration;
    timed.resumes = std::exchange(broken_, false);
    // A packet without any time stamp goes where the stream stands.
    if (timed.pts < 0 && timed.dts < 0) timed.dts = end_;
    // Subtitles may be sent well ahead of their time: where the stream
    // stands is where its pictures and sound are.
    if (packet.setsClock) end_ = std::max(end_, std::max(timed.pts, timed.dts) + packet.duration);
    placed.push_back(std::move(timed));
}

}  // namespace kelbo
