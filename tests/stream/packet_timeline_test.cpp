// Placing a stream's packets on the pipeline's timeline: whatever the
// stream's clock does, the copies' time stamps keep rising.
#include "recorder/media/gst/packet_timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

using namespace kelbo;

namespace {

constexpr std::int64_t kMs = 1'000'000;

StreamInput::Packet packetAt(bool picture, std::int64_t ms, bool key = false) {
    StreamInput::Packet packet;
    packet.packet = allocatePacket();
    packet.picture = picture;
    packet.key = key;
    packet.pts = packet.dts = ms * kMs;
    packet.duration = (picture ? 40 : 21) * kMs;
    return packet;
}

class PacketTimelineTest : public ::testing::Test {
protected:
    void take(bool picture, std::int64_t ms, std::int64_t nowMs) {
        timeline.take(packetAt(picture, ms), nowMs * kMs, placed);
    }
    // Sound and pictures of `seconds` of a stream whose clock starts at `fromMs`.
    void play(std::int64_t fromMs, int seconds, std::int64_t nowMs) {
        for (std::int64_t t = 0; t < seconds * 1000; t += 20) {
            if (t % 40 == 0) take(true, fromMs + t, nowMs + t);
            take(false, fromMs + t + 5, nowMs + t);
        }
    }
    // Each stream's times rise from packet to packet.
    void expectRising() const {
        std::int64_t last[2] = {-1, -1};
        for (const auto& packet : placed) {
            std::int64_t& previous = last[packet.picture ? 1 : 0];
            EXPECT_GT(packet.dts, previous);
            previous = packet.dts;
        }
    }

    PacketTimeline timeline;
    std::vector<TimedPacket> placed;
};

}  // namespace

TEST_F(PacketTimelineTest, AStreamStartsWhereTheTimelineStands) {
    timeline.reconnect(true);
    take(true, 90'000, 5000);
    EXPECT_TRUE(placed.empty()) << "the sound's first packet is waited for";
    take(false, 89'950, 5000);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[1].dts, 5000 * kMs) << "the earliest of them is now";
    EXPECT_EQ(placed[0].dts, 5050 * kMs);
}

TEST_F(PacketTimelineTest, AClockThatJumpsBackOrForwardCarriesOnAfterTheLastPacket) {
    timeline.reconnect(true);
    play(10'000, 2, 0);
    const std::int64_t end = timeline.end();
    const std::size_t before = placed.size();
    // A discontinuity: the new clock starts far behind, its sound a little
    // before its first picture.
    take(true, 1'400, 2000);
    take(false, 1'380, 2000);
    play(1'440, 2, 2000);
    // And another, far ahead.
    take(true, 1'000'000, 4000);
    play(1'000'040, 1, 4000);
    expectRising();
    EXPECT_EQ(timeline.jumps(), 2);
    std::int64_t earliest = INT64_MAX;
    for (std::size_t i = before; i < placed.size(); ++i) earliest = std::min(earliest, placed[i].dts);
    EXPECT_EQ(earliest, end) << "no gap at the discontinuity, and nothing before what came";
    EXPECT_LT(timeline.end(), 6000 * kMs) << "the jump ahead is not a hole of 1000 s";
}

TEST_F(PacketTimelineTest, AConnectionAfterAnOutageBeginsAtThePresentMoment) {
    timeline.reconnect(false);
    play(0, 1, 0);
    timeline.reconnect(false);
    take(true, 77'000, 13'000);
    ASSERT_FALSE(placed.empty());
    EXPECT_EQ(placed.back().dts, 13'000 * kMs) << "the outage stays in the timeline";
}

TEST_F(PacketTimelineTest, ANewClockDoesNotWaitForeverForSound) {
    timeline.reconnect(true);
    for (std::int64_t t = 0; t <= 1000; t += 40) take(true, 500 + t, 0);
    EXPECT_TRUE(placed.empty());
    take(true, 1540, 0);
    EXPECT_EQ(placed.size(), 27u) << "more than a second of pictures without sound fixes the clock";
}

// MPEG's 33-bit clock wraps round every 26.5 hours. Joined just before the
// wrap or long before it, the times keep rising across it, with no jump and
// no hole, though sound from before the wrap comes after pictures from after.
TEST_F(PacketTimelineTest, MpegTimesKeepRisingAcrossTheClockWrap) {
    constexpr std::int64_t kWrap = 95'443'717'688'889;  // 2^33 ticks of 90 kHz, in ns
    for (const std::int64_t beforeMs : {30, 1000, 30'000}) {
        placed.clear();
        timeline.reconnect(true, kWrap);
        for (std::int64_t t = 0; t < beforeMs + 2000; t += 20) {
            for (const bool picture : {true, false}) {
                StreamInput::Packet packet = packetAt(picture, 0);
                packet.pts = packet.dts = (kWrap + (t - beforeMs - (picture ? 0 : 25)) * kMs) % kWrap;
                if (!picture || t % 40 == 0) timeline.take(std::move(packet), t * kMs, placed);
            }
        }
        expectRising();
        EXPECT_EQ(timeline.jumps(), 0);
        EXPECT_NEAR(static_cast<double>(placed.back().dts - placed.front().dts), static_cast<double>(beforeMs + 2000) * 1e6, 50e6);
    }
}
