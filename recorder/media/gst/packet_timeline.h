#pragma once

#include "stream_input.h"
#include "stream_packet_tap.h"

#include <cstdint>
#include <vector>

namespace kelbo {

// Places a stream's packets on the pipeline's timeline (running time), so
// that the copies of one recording keep rising time stamps whatever the
// stream's own clock does. A connection's clock is learnt from its first
// packets, and learnt again where it jumps (an HLS discontinuity, a
// restarted encoder, a wrap): the stream then carries on right after the
// last packet placed, or at the present moment when time went by meanwhile.
// A clock that jumps ahead but not past the present is the same clock after
// media that never came (HLS segments that expired or failed): it keeps its
// place, and the hole is left in the timeline. Such holes, and the time that
// went by before a new clock, are told (`takeHoles`), and the first packet
// after any break is marked, as what follows does not continue what came.
// Before a clock is fixed, the first packets of the picture and the sound
// are both waited for, so that neither falls before what came earlier.
// MPEG's 33-bit clock wraps round every 26.5 hours: its time stamps are
// unwrapped first, so they keep rising across the wrap. The clock is learnt
// from the picture and the decoded sound only; the other tracks (more
// sound, subtitles, teletext) follow it.
class PacketTimeline {
public:
    // A jump forward larger than this, and too far ahead to be the same
    // clock, is a new clock.
    static constexpr std::int64_t kForwardJumpNs = 3'000'000'000;
    // A step back larger than this is a new clock; smaller ones are left to
    // the writers, which keep only rising times.
    static constexpr std::int64_t kBackwardJumpNs = 100'000'000;
    // The most a new clock waits for the first packet of the other stream.
    static constexpr std::int64_t kSettleNs = 1'000'000'000;
    static constexpr std::size_t kSettlePackets = 256;
    // How far past the present a clock that jumped ahead may land and still
    // be the same clock: the time of an HLS segment or two that failed.
    static constexpr std::int64_t kMostSkipAheadNs = 30'000'000'000;
    // Media missing for less than this is the stream's unevenness, no hole.
    static constexpr std::int64_t kLeastHoleNs = 1'000'000'000;

    // A packet of the other tracks this far from the clock is misplaced.
    static constexpr std::int64_t kMostTrackSkewNs = 10'000'000'000;

    // A new connection, with or without sound (or pictures: radio): its
    // clock is not known yet. Its time stamps wrap round after `wrapNs` (0:
    // they do not).
    void reconnect(bool hasSound, std::int64_t wrapNs = 0, bool hasPictures = true);
    // Takes a packet with times on the stream's clock; appends to `placed`
    // those whose place is known now, in order of arrival. `now` is the
    // pipeline's running time.
    void take(StreamInput::Packet packet, std::int64_t now, std::vector<TimedPacket>& placed);
    // Just after the newest packet placed; 0 before any.
    std::int64_t end() const { return end_; }
    // How many times a clock was learnt anew within a connection.
    int jumps() const { return jumps_; }
    // The holes left within a connection since last asked (a reconnection's
    // outage is the caller's to know).
    struct Holes {
        std::int64_t skipped = 0;  // media the same clock skipped
        std::int64_t silent = 0;   // time gone by before a new clock
    };
    Holes takeHoles();

private:
    static std::int64_t rawTime(const StreamInput::Packet& packet);
    void unwrap(StreamInput::Packet& packet);
    // Whether a packet has a place on the clock: a track that does not set
    // it is left out where it lies far from it (a packet that came before a
    // jump of the clock was seen) or before the timeline's start.
    bool fitsClock(const StreamInput::Packet& packet) const;
    bool jumped(const StreamInput::Packet& packet) const;
    bool skippedAhead(const StreamInput::Packet& packet, std::int64_t now) const;
    bool settled() const;
    void fix(std::int64_t now, std::vector<TimedPacket>& placed);
    void place(StreamInput::Packet packet, std::vector<TimedPacket>& placed);

    bool hasSound_ = false;
    std::int64_t wrapNs_ = 0;
    std::int64_t unwrapBase_ = -1;  // the unwrapped time of the newest packet that sets the clock
    bool hasPictures_ = true;
    bool fixed_ = false;
    std::int64_t offset_ = 0;  // stream clock to running time
    std::int64_t end_ = 0;
    std::int64_t lastRaw_[2] = {-1, -1};  // sound, picture
    std::int64_t newestRaw_ = -1;
    int jumps_ = 0;
    bool firstClock_ = false;  // the next clock is a connection's first
    bool broken_ = false;       // the next packet placed follows a break
    Holes holes_;
    std::vector<StreamInput::Packet> settling_;
};

}  // namespace kelbo
