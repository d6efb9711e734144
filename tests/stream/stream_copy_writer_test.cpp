// The copy's parts on their own, fed the packets of real clips as fast as
// they can be read: where a part begins and ends, what it holds, and what
// it tells.
#include "copy_check.h"
#include "media/media_probe.h"
#include "recorder/media/gst/packet_timeline.h"
#include "recorder/media/gst/stream_copy_writer.h"
#include "recorder/media/gst/stream_input.h"
#include "recorder/media/gst/stream_packet_tap.h"
#include "stream_servers.h"
#include "support/scoped_state_home.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
}

using namespace kelbo;
using namespace kelbo::testing;

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

struct Events : PartEvents {
    void partStarted(int) override { ++started; }
    void partProgress(int, std::int64_t ms) override { progressMs = ms; }
    void partEnded(int, std::int64_t ms, PartEnd why, const DeviceFailure& words) override {
        ++ends;
        endedMs = ms;
        reason = why;
        failure = words.text;
        fault = words.fault;
    }
    int started = 0, ends = 0;
    std::int64_t progressMs = 0, endedMs = -1;
    PartEnd reason = PartEnd::Stopped;
    std::string failure;
    DeviceFault fault = DeviceFault::None;
};

// A clip's packets going into the tap, as the feeder hands them on. The
// clips are served over HTTP from `served`, as streams are.
class Feed {
public:
    Feed(StreamPacketTap& tap, const fs::path& clip, std::string served) : tap_(tap), served_(std::move(served)) {
        connect(clip);
    }

    void connect(const fs::path& clip) {
        std::string error;
        input_ = StreamInput::open(StreamRequest{served_ + "/" + clip.filename().string(), {}}, 64, 36, {}, &error);
        ASSERT_TRUE(input_) << error;
        input_->setDecoding({false, false, false});
        timeline_.reconnect(input_->hasSound(), input_->clockWrapNs());
        tap_.setCodecs(std::make_shared<const StreamCodecs>(input_->copyTracks()));
        clipStart_ = -1;
    }
    // As when the stream was joined and probed before its first sequence
    // header came: the pictures' codec is known, their size is not.
    void forgetPictureSize() {
        std::vector<CopyTrack> tracks = input_->copyTracks();
        AvCodecParametersPtr picture(avcodec_parameters_alloc());
        ASSERT_TRUE(picture);
        avcodec_parameters_copy(picture.get(), tracks[0].codec);
        picture->width = picture->height = 0;
        tracks[0].codec = picture.get();
        tap_.setCodecs(std::make_shared<const StreamCodecs>(tracks));
    }
    // Every packet up to `seconds` into the clip (by its decoding time).
    void until(double seconds) {
        std::vector<StreamInput::Media> decoded;
        std::vector<StreamInput::Packet> packets;
        std::vector<TimedPacket> placed;
        while (true) {
            if (!pending_.packet) {
                packets.clear();
                std::string error;
                if (!input_->read(decoded, &error, &packets)) return;
                if (packets.empty()) continue;
                pending_ = std::move(packets.front());
            }
            const std::int64_t raw = pending_.dts >= 0 ? pending_.dts : pending_.pts;
            if (clipStart_ < 0) clipStart_ = raw;
            if (raw - clipStart_ > static_cast<std::int64_t>(seconds * kSecond)) return;
            if (alter) alter(pending_);
            placed.clear();
            timeline_.take(std::move(pending_), timeline_.end(), placed);
            pending_ = {};
            for (auto& packet : placed) tap_.publish(std::move(packet));
        }
    }
    // Changes each packet before it goes in.
    std::function<void(StreamInput::Packet&)> alter;

private:
    StreamPacketTap& tap_;
    std::string served_;
    std::unique_ptr<StreamInput> input_;
    PacketTimeline timeline_;
    StreamInput::Packet pending_;
    std::int64_t clipStart_ = -1;
};

class StreamCopyWriterTest : public ::testing::Test {
protected:
    std::shared_ptr<StreamCopyWriter> part(const fs::path& file, Events& events, std::int64_t limitMs,
                                           StreamCopyWriter::Start start = {}) {
        auto writer = StreamCopyWriter::create(
            file.string(), 1, events, limitMs, start,
            [this](const StreamCopyWriter::Result& r) { results.push_back(r); }, nullptr);
        EXPECT_TRUE(writer);
        tap.attach(writer);
        return writer;
    }

    ScopedStateHome logHome;
    TempDir dir;
    int port = freePort();
    TestServer server = TestServer::http(dir.path(), port);
    std::string served = "http://127.0.0.1:" + std::to_string(port);
    StreamPacketTap tap;
    std::vector<StreamCopyWriter::Result> results;
};

}  // namespace

TEST_F(StreamCopyWriterTest, APartBeginsWithTheKeyPictureBeforeItAndHoldsItsLimit) {
    const fs::path clip = dir / "clip.ts";
    makeBroadcastClip(clip, {.seconds = 12, .keyEverySeconds = 2, .bFrames = true});
    Feed feed(tap, clip, served);
    feed.until(5.0);
    Events events;
    auto writer = part(dir / "show.mpg", events, 3000);
    feed.until(12);
    tap.end();
    EXPECT_EQ(events.started, 1);
    EXPECT_EQ(events.reason, PartEnd::Limit);
    EXPECT_EQ(events.endedMs, 3000);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].ok) << results[0].error;
    EXPECT_NEAR(static_cast<double>(results[0].elapsedMs), 3000, 40) << "the media in the file";
    EXPECT_NEAR(probeMedia(dir / "show.mpg").duration, 3.0, 0.1);
    const CopyCheck check = compareWithSource(packetPrints(dir / "show.mpg"), packetPrints(clip));
    EXPECT_EQ(check.problem, "");
    EXPECT_EQ(check.firstPicture, 100u) << "the key picture at 4 s";
}

TEST_F(StreamCopyWriterTest, APartThatCarriesOnBeginsAtTheNextKeyPictureAndTheTimeAddsUp) {
    const fs::path clip = dir / "clip.ts";
    makeBroadcastClip(clip, {.seconds = 12, .keyEverySeconds = 2, .bFrames = true});
    Feed feed(tap, clip, served);
    feed.until(0.5);
    Events first, second;
    auto one = part(dir / "one.mpg", first, 6000);
    feed.until(3.5);
    one->stop();
    const std::int64_t counted = first.progressMs;
    auto two = part(dir / "two.mpg", second, 6000 - counted, one->carryOn());
    feed.until(12);
    tap.end();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(first.endedMs, counted) << "a stopped part's time is what it had counted";
    EXPECT_EQ(first.reason, PartEnd::Stopped);
    EXPECT_EQ(second.reason, PartEnd::Limit);
    EXPECT_EQ(first.endedMs + second.endedMs, 6000) << "the parts' times add up to the limit";
    const double a = probeMedia(dir / "one.mpg").duration, b = probeMedia(dir / "two.mpg").duration;
    EXPECT_NEAR(a, 4.0, 0.05) << "the first part runs on to the key picture at 4 s";
    EXPECT_NEAR(a + b, 6.0, 0.1) << "and the second holds the rest";
    EXPECT_NEAR(static_cast<double>(results[0].elapsedMs + results[1].elapsedMs), 6000, 80);
    const CopyCheck check =
        compareWithSource(packetPrintsOf({dir / "one.mpg", dir / "two.mpg"}), packetPrints(clip));
    EXPECT_EQ(check.problem, "") << "no packet lost or doubled at the seam";
    EXPECT_EQ(check.firstPicture, 0u);
    EXPECT_TRUE(packetPrints(dir / "two.mpg").front().key);
}

TEST_F(StreamCopyWriterTest, AStopWithNoPartAfterItEndsWhereItStopped) {
    const fs::path clip = dir / "clip.ts";
    makeBroadcastClip(clip, {.seconds = 8, .keyEverySeconds = 2});
    Feed feed(tap, clip, served);
    feed.until(0.2);
    Events events;
    auto writer = part(dir / "show.mpg", events, 0);
    feed.until(3.3);
    writer->stop();
    writer->finishAtStop(true);
    feed.until(8);
    tap.end();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].ok);
    EXPECT_NEAR(probeMedia(dir / "show.mpg").duration, static_cast<double>(events.endedMs) / 1000, 0.05);
    EXPECT_NEAR(static_cast<double>(events.endedMs), 3300, 80);
    EXPECT_EQ(compareWithSource(packetPrints(dir / "show.mpg"), packetPrints(clip)).problem, "")
        << "with the sound up to the stop";
}

TEST_F(StreamCopyWriterTest, AStreamWithoutKeyPicturesFailsAndSaysSo) {
    const fs::path clip = dir / "clip.ts";
    makeBroadcastClip(clip, {.seconds = 35, .keyEverySeconds = 2, .size = "160x90"});
    Feed feed(tap, clip, served);
    feed.alter = [](StreamInput::Packet& p) { p.key = false; };
    feed.until(0.1);
    Events events;
    auto writer = part(dir / "show.mpg", events, 60000);
    feed.until(35);
    EXPECT_EQ(events.started, 1) << "packets came: the part recorded";
    EXPECT_EQ(events.reason, PartEnd::Failed);
    EXPECT_EQ(events.failure, "the stream brought no key picture in 30 s");
    EXPECT_EQ(events.fault, DeviceFault::Stream) << "the stream's fault, not the disk's";
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].ok);
    EXPECT_EQ(results[0].error, events.failure);
    EXPECT_EQ(results[0].fault, DeviceFault::Stream);
    EXPECT_FALSE(fs::exists(dir / "show.mpg"));
}

// A stream that comes back as MPEG-2 where it was H.264: the file cannot
// hold both, so the part ends, whole, and says why in the log.
TEST_F(StreamCopyWriterTest, ANewCodecEndsThePart) {
    const fs::path clip = dir / "clip.ts", other = dir / "other.ts";
    makeBroadcastClip(clip, {.seconds = 4, .keyEverySeconds = 1});
    makeClip(other, 4);
    Feed feed(tap, clip, served);
    feed.until(0.1);
    Events events;
    auto writer = part(dir / "show.mpg", events, 60000);
    feed.until(4);
    feed.connect(other);
    feed.until(4);
    EXPECT_EQ(events.reason, PartEnd::SourceEnded);
    EXPECT_EQ(events.failure, "");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].ok);
    EXPECT_EQ(probeMedia(dir / "show.mpg").videoCodec, "h264");
    EXPECT_EQ(decodeMedia(dir / "show.mpg").errors, "");
    EXPECT_NE(logHome.logText().find("The stream changed its codecs from h264/aac to mpeg2video/mp2"),
              std::string::npos)
        << logHome.logText();
}

// A program stream holds no picture size of its own (the pictures' sequence
// headers do), so an MPEG-2 stream whose size the probe had not read yet is
// copied all the same.
TEST_F(StreamCopyWriterTest, AnMpeg2StreamWhosePictureSizeIsNotKnownYetIsCopied) {
    const fs::path clip = dir / "clip.ts";
    makeClip(clip, 3);
    Feed feed(tap, clip, served);
    feed.forgetPictureSize();
    feed.until(0.1);
    Events events;
    auto writer = part(dir / "show.mpg", events, 60000);
    feed.until(3);
    tap.end();
    EXPECT_EQ(events.failure, "");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].ok) << results[0].error;
    const auto media = probeMedia(dir / "show.mpg");
    EXPECT_EQ(media.videoCodec, "mpeg2video");
    EXPECT_EQ(media.width, probeMedia(clip).width) << "the size its own sequence headers give";
    EXPECT_EQ(decodeMedia(dir / "show.mpg").errors, "");
}

// A broadcast's tracks, each kept with its language and disposition from
// the key picture on, with the sound that plays with that picture, even
// where the head end sends the sound ahead. A program stream carries no
// teletext, nor the languages that tell two sounds apart.
TEST_F(StreamCopyWriterTest, EveryTrackIsCopiedWithItsLanguageFromTheKeyPicture) {
    const std::vector<std::pair<TracksShape, std::string>> cases{
        {{.soundLeadSeconds = 1.5}, "h264|aac eng|ac3 deu descriptions visual_impaired|dvb_teletext deu|"},
        {{.mpeg2 = true, .germanSound = false}, "mpeg2video|mp2 eng|dvb_teletext deu|"},
        {{.mpeg2 = true, .teletext = false}, "mpeg2video|mp2 eng|ac3 deu descriptions visual_impaired|"}};
    int made = 0;
    for (const auto& [shape, tracks] : cases) {
        const fs::path clip = dir / "tracks.ts", copy = dir / ("copy" + std::to_string(++made) + ".mpg");
        makeTracksClip(clip, shape);
        StreamPacketTap caseTap;
        Feed feed(caseTap, clip, served);
        feed.until(8.0);  // past the key picture at 5 s, which the copy begins with
        Events events;
        auto writer = StreamCopyWriter::create(copy.string(), 1, events, 4000, {}, {}, nullptr);
        ASSERT_TRUE(writer) << copy;
        caseTap.attach(std::move(writer));
        feed.until(12);
        const MediaProbe probe = probeMedia(copy), sent = probeMedia(clip);
        EXPECT_EQ(probe.formatName, "mpegts");
        EXPECT_NEAR(probe.duration, 4.0, 0.1);
        std::string kept, given;
        for (const auto& track : probe.tracks) kept += track.description + "|";
        for (const auto& track : sent.tracks) given += track.description + "|";
        EXPECT_EQ(kept, tracks);
        EXPECT_EQ(given, tracks);
        for (const auto& track : probe.tracks) {  // each sound within a picture's time of the first picture
            if (track.description.rfind("dvb", 0) == 0) continue;
            EXPECT_LT(static_cast<unsigned long long>(track.firstPts - probe.tracks[0].firstPts), 3600u) << track.description;
        }
    }
}

// A full disk, and a stream whose packets the muxer will not take: the part
// ends at once, failed, saying why in words and kind, rather than run on
// empty to its limit. What reached the disk is kept.
TEST_F(StreamCopyWriterTest, APartThatCannotBeWrittenEndsAtOnceAndSaysWhy) {
    const fs::path clip = dir / "clip.ts", full = dir / "full";
    makeBroadcastClip(clip, {.seconds = 12, .keyEverySeconds = 2, .size = "640x360"});
    SmallDisk disk(full, "300k");
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs here: " << disk.why();
    for (const bool refused : {false, true}) {
        const fs::path file = refused ? dir / "refused.mpg" : full / "show.mpg";
        StreamPacketTap caseTap;
        Feed feed(caseTap, clip, served);
        if (refused) feed.alter = [](StreamInput::Packet& p) { p.pts = p.picture ? p.dts - kSecond : p.pts; };
        Events events;
        results.clear();
        caseTap.attach(StreamCopyWriter::create(file.string(), 1, events, 60000, {},
                                                [&](const StreamCopyWriter::Result& r) { results.push_back(r); }, nullptr));
        feed.until(10);
        ASSERT_EQ(results.size(), 1u) << "ended before the stream did";
        EXPECT_EQ(events.reason, PartEnd::Failed);
        EXPECT_EQ(results[0].fault, refused ? DeviceFault::Stream : DeviceFault::DiskFull);
        EXPECT_EQ(events.failure.rfind(refused ? "the muxer refuses the stream's packets"
                                               : "Cannot write " + full.string() + ": No space left on device", 0), 0u)
            << events.failure;
        EXPECT_EQ(results[0].error, events.failure);
        EXPECT_EQ(fs::exists(file), !refused) << "what was written is kept";
        EXPECT_GE(probeMedia(file).duration, refused ? 0.0 : 1.0) << "and plays";
    }
}
