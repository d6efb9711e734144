#include "recorder/media/gst/part_router.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace kelbo;

namespace {

constexpr std::int64_t kFrameNs = 40'000'000;  // PAL
constexpr std::size_t kChunk = 1024;           // samples per sound block

// Sample n of the stream starts at n / 48000 s.
std::int64_t sampleTime(std::int64_t n) { return n * 1'000'000'000 / kAudioRate; }

struct FakePicture : VideoFrame {
    using VideoFrame::VideoFrame;
    const AVFrame* picture() const override { return nullptr; }
};

struct FakeSound : AudioChunk {
    FakeSound(std::int64_t first, std::int64_t shift = 0)
        : AudioChunk(sampleTime(first + shift), kChunk), firstSample(first) {}
    const std::int16_t* data() const override { return nullptr; }
    std::int64_t firstSample;
};

struct FakeOutput : PartOutput {
    std::int64_t begunAt = -1;
    std::vector<std::int64_t> frames;        // timeline indices
    std::vector<std::int64_t> framePts;
    std::vector<std::int64_t> samples;       // stream sample numbers received; -1 silence
    std::vector<std::int64_t> sampleTimes;   // each one's time stamp; -1 silence
    bool finished = false;
    bool broken = false;

    void begin(std::int64_t index) override { begunAt = index; }
    void video(VideoFramePtr frame, std::int64_t index) override {
        EXPECT_FALSE(finished);
        frames.push_back(index);
        framePts.push_back(frame->pts());
    }
    void audio(AudioChunkPtr chunk, std::size_t first, std::size_t count) override {
        EXPECT_FALSE(finished);
        const auto* sound = dynamic_cast<const FakeSound*>(chunk.get());
        for (std::size_t i = first; i < first + count; ++i) {
            const auto n = static_cast<std::int64_t>(i);
            samples.push_back(sound ? sound->firstSample + n : -1);
            sampleTimes.push_back(sound ? chunk->pts() + sampleTime(n) : -1);
        }
    }
    void finish() override { finished = true; }
    bool failed() const override { return broken; }
    DeviceFailure failure() const override {
        return broken ? DeviceFailure{DeviceFault::DiskFull, "Cannot write /x: disk full"} : DeviceFailure{};
    }
};

struct FakeEvents : PartEvents {
    std::vector<int> started;
    std::map<int, std::int64_t> elapsed;
    std::map<int, PartEnd> ended;
    std::map<int, std::string> failures;
    std::map<int, DeviceFault> faults;
    void partStarted(int id) override { started.push_back(id); }
    void partProgress(int id, std::int64_t ms) override { elapsed[id] = ms; }
    void partEnded(int id, std::int64_t ms, PartEnd reason, const DeviceFailure& failure) override {
        elapsed[id] = ms;
        ended[id] = reason;
        failures[id] = failure.text;
        faults[id] = failure.fault;
    }
};

// Feeds pictures and sound as a live source would: sound blocks up to each
// picture's time, then the picture.
struct PartRouterTest : ::testing::Test {
    FakeEvents events;
    PartRouter router{VideoFormat{}, events};
    std::int64_t nextFrame = 0;
    std::int64_t nextSample = kAudioRate;  // both streams start 1 s in

    void feed(int frames) {
        for (int i = 0; i < frames; ++i) {
            const std::int64_t pts = 1'000'000'000 + nextFrame++ * kFrameNs;
            while (sampleTime(nextSample) <= pts + kFrameNs) {
                router.onAudio(std::make_shared<FakeSound>(nextSample));
                nextSample += kChunk;
            }
            router.onVideo(std::make_shared<FakePicture>(pts));
        }
    }
    std::shared_ptr<FakeOutput> start(int id, std::int64_t limitMs = 0, bool* carriesOn = nullptr) {
        auto output = std::make_shared<FakeOutput>();
        const bool carried = router.startPart(id, output, limitMs);
        if (carriesOn) *carriesOn = carried;
        return output;
    }
};

// The sample that starts with picture `frame` of the feed.
std::int64_t firstSampleOfFrame(std::int64_t frame) { return kAudioRate + frame * 1920; }

void expectContiguous(const std::vector<std::int64_t>& values, std::int64_t from, std::int64_t to) {
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), from);
    EXPECT_EQ(values.back(), to - 1);
    EXPECT_EQ(static_cast<std::int64_t>(values.size()), to - from);
}

}  // namespace

TEST_F(PartRouterTest, APartStartsAtTheNextPictureWithItsSound) {
    feed(5);
    auto part = start(1);
    EXPECT_TRUE(events.started.empty());
    feed(10);
    EXPECT_EQ(part->begunAt, 0);
    EXPECT_EQ(part->frames, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(part->framePts.front(), 1'000'000'000 + 5 * kFrameNs);
    EXPECT_EQ(events.started, std::vector<int>{1});
    EXPECT_EQ(events.elapsed[1], 400);
    // Its sound begins exactly with its first picture.
    ASSERT_FALSE(part->samples.empty());
    EXPECT_EQ(part->samples.front(), firstSampleOfFrame(5));
}

TEST_F(PartRouterTest, TheLimitEndsThePartAfterExactlyThatMuchMedia) {
    auto part = start(1, 1000);
    feed(40);
    EXPECT_EQ(part->frames.size(), 25u);
    EXPECT_EQ(events.ended.at(1), PartEnd::Limit);
    EXPECT_EQ(events.elapsed[1], 1000);
    EXPECT_TRUE(part->finished);
    expectContiguous(part->samples, firstSampleOfFrame(0), firstSampleOfFrame(25));
}

TEST_F(PartRouterTest, ALimitSetBelowTheElapsedTimeEndsThePartAtOnce) {
    auto part = start(1);
    feed(10);
    router.setLimit(1, 200);
    EXPECT_EQ(events.ended.count(1), 1u);
    feed(3);
    EXPECT_EQ(part->frames.size(), 10u);
}

TEST_F(PartRouterTest, ASplitCarriesOnWithTheNextPictureAndSample) {
    auto first = start(1);
    feed(10);
    router.stopPart(1);
    feed(3);  // arrive between the stop and the next start
    bool carriesOn = false;
    auto second = start(2, 0, &carriesOn);
    EXPECT_TRUE(carriesOn);
    feed(7);
    router.stopPart(2);
    feed(30);

    EXPECT_EQ(first->frames.size(), 10u);
    EXPECT_EQ(second->begunAt, 10);
    ASSERT_EQ(second->frames.size(), 10u);
    EXPECT_EQ(second->frames.front(), 10);
    EXPECT_EQ(second->framePts.front(), first->framePts.back() + kFrameNs);
    EXPECT_TRUE(first->finished);
    EXPECT_TRUE(second->finished);
    // Sound: cut at the same instant, nothing lost and nothing twice.
    expectContiguous(first->samples, firstSampleOfFrame(0), firstSampleOfFrame(10));
    expectContiguous(second->samples, firstSampleOfFrame(10), firstSampleOfFrame(20));
}

TEST_F(PartRouterTest, StopAndStartInOneGoLoseNoPicture) {
    auto first = start(1);
    feed(8);
    router.stopPart(1);
    auto second = start(2);
    feed(4);
    EXPECT_EQ(first->frames.size(), 8u);
    EXPECT_EQ(second->frames, (std::vector<std::int64_t>{8, 9, 10, 11}));
    EXPECT_EQ(events.started, (std::vector<int>{1, 2}));
}

TEST_F(PartRouterTest, AStartLongAfterAStopBeginsANewRecording) {
    auto first = start(1);
    feed(5);
    router.stopPart(1);
    feed(static_cast<int>(PartRouter::kMaxHeldFrames) + 1);
    bool carriesOn = true;
    auto second = start(2, 0, &carriesOn);
    EXPECT_FALSE(carriesOn);
    feed(3);
    EXPECT_EQ(second->begunAt, 0);
    EXPECT_EQ(second->frames.front(), 0);
}

TEST_F(PartRouterTest, AStoppedPartWaitsForItsSoundThenFinishes) {
    auto part = start(1);
    feed(5);
    // Three pictures whose sound comes late.
    for (int i = 0; i < 3; ++i)
        router.onVideo(std::make_shared<FakePicture>(1'000'000'000 + nextFrame++ * kFrameNs));
    router.stopPart(1);
    EXPECT_FALSE(part->finished);
    while (!part->finished && nextSample < 2 * kAudioRate) {
        router.onAudio(std::make_shared<FakeSound>(nextSample));
        nextSample += kChunk;
    }
    EXPECT_TRUE(part->finished);
    EXPECT_EQ(events.ended.at(1), PartEnd::Stopped);
    expectContiguous(part->samples, firstSampleOfFrame(0), firstSampleOfFrame(8));
}

TEST_F(PartRouterTest, WithoutSoundAStoppedPartFinishesAfterASecondOfPictures) {
    auto part = start(1);
    router.onVideo(std::make_shared<FakePicture>(0));
    router.stopPart(1);
    for (int i = 1; i < 25; ++i) router.onVideo(std::make_shared<FakePicture>(i * kFrameNs));
    EXPECT_FALSE(part->finished);
    router.onVideo(std::make_shared<FakePicture>(26 * kFrameNs));
    EXPECT_TRUE(part->finished);
}

TEST_F(PartRouterTest, AFailedOutputEndsItsPartAndIsNotCarriedOn) {
    auto part = start(1);
    feed(5);
    part->broken = true;
    feed(5);
    EXPECT_EQ(part->frames.size(), 5u);
    EXPECT_EQ(events.ended.at(1), PartEnd::Failed);
    EXPECT_EQ(events.failures.at(1), "Cannot write /x: disk full");
    EXPECT_EQ(events.faults.at(1), DeviceFault::DiskFull) << "the output's kind of failure goes with its words";
    EXPECT_TRUE(part->finished);
    bool carriesOn = true;
    start(2, 0, &carriesOn);
    EXPECT_FALSE(carriesOn);
}

TEST_F(PartRouterTest, FlushFinishesRunningAndWaitingParts) {
    auto running = start(1);
    feed(5);
    router.flush();
    EXPECT_TRUE(running->finished);
    EXPECT_EQ(events.ended.at(1), PartEnd::SourceEnded);

    auto waiting = start(2);
    router.flush();
    EXPECT_TRUE(waiting->finished);
    EXPECT_TRUE(waiting->frames.empty());
    EXPECT_EQ(events.ended.at(2), PartEnd::SourceEnded);
}

TEST_F(PartRouterTest, StoppingAPartBeforeItsFirstPictureClosesItEmpty) {
    auto part = start(1);
    router.stopPart(1);
    EXPECT_TRUE(part->finished);
    feed(3);
    EXPECT_TRUE(part->frames.empty());
    EXPECT_EQ(events.elapsed[1], 0);
}

// Whatever the source's sound does, each sample of a part lies within the
// tolerance of its own time, and the part's sound lasts as long as its pictures.
TEST_F(PartRouterTest, APartsSoundKeepsToItsPicturesWhereverTheSourcesSoundGoes) {
    // The sound begins with chunk `first`; from chunk 20 on it is stamped `shift` samples off.
    const struct { const char* what; std::int64_t first, shift, silence; } cases[] = {
        {"it begins 0.19 s after the first picture", 9, 0, 9 * 1024},
        {"a hole of 0.1 s", 0, 4800, 4800},
        {"0.1 s stamped over what came before", 0, -4800, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PartRouter caseRouter{VideoFormat{}, events};
        auto part = std::make_shared<FakeOutput>();
        caseRouter.startPart(1, part, 2000);
        for (std::int64_t frame = 0, chunk = c.first; frame < 60; ++frame) {
            for (; sampleTime(kAudioRate + chunk * 1024) <= 1'000'000'000 + (frame + 1) * kFrameNs; ++chunk)
                caseRouter.onAudio(std::make_shared<FakeSound>(kAudioRate + chunk * 1024, chunk >= 20 ? c.shift : 0));
            caseRouter.onVideo(std::make_shared<FakePicture>(1'000'000'000 + frame * kFrameNs));
        }
        EXPECT_NEAR(static_cast<double>(part->samples.size()), 2.0 * kAudioRate, kAudioRate / 100.0);
        EXPECT_EQ(std::count(part->samples.begin(), part->samples.end(), -1), c.silence);
        std::int64_t worst = 0;
        for (std::size_t i = 0; i < part->sampleTimes.size(); ++i)
            if (part->sampleTimes[i] >= 0)
                worst = std::max(worst, std::abs(part->sampleTimes[i] - 1'000'000'000 - sampleTime(std::int64_t(i))));
        EXPECT_LE(worst, PartRouter::kSoundToleranceNs);
    }
}
