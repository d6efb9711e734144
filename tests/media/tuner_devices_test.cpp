// Several tuners in one process: the factory's devices record at the same
// time, each into its own files, and what befalls one leaves the others be.
#include "support/small_disk.h"
#include "tuner_fixture.h"
#include "support/scoped_state_home.h"

#include <array>
#include <cmath>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

using Kind = CaptureSource::Kind;

std::vector<std::string> paths(const std::vector<CaptureSource>& sources) {
    std::vector<std::string> all;
    all.reserve(sources.size());
    for (const auto& s : sources) all.push_back(s.path);
    return all;
}

}  // namespace

TEST(TunerSources, PatternFileAndStreamGiveEveryTunerTheSameSource) {
    const CaptureSource file{Kind::File, "/media/clips/news.ts"};
    HttpOptions http;
    http.userAgent = "X/1";
    const CaptureSource stream{Kind::Stream, "http://iptv.example/one.m3u8", http};
    const std::vector<std::string> cards = {"/dev/video0", "/dev/video1"};
    EXPECT_EQ(tunerSources(CaptureSource{}, 3, cards), std::vector<CaptureSource>(3, CaptureSource{}));
    EXPECT_EQ(tunerSources(file, 2, cards), std::vector<CaptureSource>(2, file));
    EXPECT_EQ(tunerSources(stream, 4, cards), std::vector<CaptureSource>(4, stream));
    // The setting's range is 1 to 8, whatever the settings file says.
    EXPECT_EQ(tunerSources(file, 0, cards).size(), 1u);
    EXPECT_EQ(tunerSources(file, -3, cards).size(), 1u);
    EXPECT_EQ(tunerSources(file, 40, cards).size(), 8u);
}

TEST(TunerSources, CaptureCardsAreOneTunerEachTheChosenOneFirst) {
    const std::vector<std::string> cards = {"/dev/video0", "/dev/video2", "/dev/video5"};
    const CaptureSource chosen{Kind::V4l2, "/dev/video2"};
    using Paths = std::vector<std::string>;
    EXPECT_EQ(paths(tunerSources(chosen, 1, cards)), Paths{"/dev/video2"});
    EXPECT_EQ(paths(tunerSources(chosen, 2, cards)), (Paths{"/dev/video2", "/dev/video0"}));
    EXPECT_EQ(paths(tunerSources(chosen, 3, cards)), (Paths{"/dev/video2", "/dev/video0", "/dev/video5"}));
    // Fewer cards than tuners: fewer tuners.
    EXPECT_EQ(paths(tunerSources(chosen, 8, cards)), (Paths{"/dev/video2", "/dev/video0", "/dev/video5"}));
    // The same card spelt otherwise is not a second tuner.
    EXPECT_EQ(paths(tunerSources({Kind::V4l2, "/dev/./video0"}, 8, {"/dev/video0"})), Paths{"/dev/./video0"});
    // A chosen card that was not found is still tuner 1, as with one tuner.
    EXPECT_EQ(paths(tunerSources({Kind::V4l2, "/dev/video9"}, 2, cards)), (Paths{"/dev/video9", "/dev/video0"}));
    EXPECT_EQ(paths(tunerSources(chosen, 4, {})), Paths{"/dev/video2"});
    for (const CaptureSource& s : tunerSources(chosen, 3, cards)) EXPECT_EQ(s.kind, Kind::V4l2);
}

TEST_F(TunerDevicesTest, OneTunerIsTheDeviceOfTheSourceAndFewerCardsThanTunersAreLogged) {
    ScopedStateHome logHome;
    makeTuners(CaptureSource{}, 1);
    ASSERT_EQ(tuners.size(), 1u);
    EXPECT_EQ(tuners[0]->device->source(), CaptureSource{});
    EXPECT_EQ(logHome.logText(), "");

    // This machine has no capture card besides the one named (which need
    // not exist until the stream opens).
    const CaptureSource card{Kind::V4l2, (dir / "video7").string()};
    makeTuners(card, 3);
    ASSERT_EQ(tuners.size(), 1u);
    EXPECT_EQ(tuners[0]->device->source(), card);
    EXPECT_NE(logHome.logText().find("3 tuners set, but only 1 capture card(s) found (" + card.path + ")"),
              std::string::npos)
        << logHome.logText();
}

TEST_F(TunerDevicesTest, TwoPatternTunersRecordAtOnceEachIntoItsOwnFile) {
    makeTuners(CaptureSource{}, 2);
    ASSERT_EQ(tuners.size(), 2u);
    ASSERT_NE(tuners[0]->device.get(), tuners[1]->device.get());
    const fs::path one = dir / "tuner1.mpg", two = dir / "tuner2.mpg";
    start(*tuners[0], one, 3000);
    start(*tuners[1], two, 3000);
    bool together = false;
    ASSERT_TRUE(waitFor([&] {
        together = together || (tuners[0]->recording() && tuners[1]->recording());
        return together;
    })) << tuners[0]->device->lastError() << " / " << tuners[1]->device->lastError();
    ASSERT_TRUE(waitFor([&] { return allFinished(); }, 15s));

    for (const auto* file : {&one, &two}) EXPECT_LT(lengthError(*file, 3.0), 0.5) << *file;
    for (const auto& tuner : tuners) {
        ASSERT_EQ(tuner->closed.size(), 1u);
        EXPECT_TRUE(tuner->closed[0].ok) << tuner->closed[0].error;
        EXPECT_EQ(tuner->closed[0].elapsedMs, 3000);
        EXPECT_EQ(tuner->device->skippedPictures().count, 0);
        EXPECT_EQ(tuner->device->lastError(), "");
    }
    EXPECT_EQ(tuners[0]->closed[0].path, one.string());
    EXPECT_EQ(tuners[1]->closed[0].path, two.string());
}

// Each tuner's pictures go to its own sink at its own size; a tuner other
// than the first makes them only once a sink takes them.
TEST_F(TunerDevicesTest, EachTunerPreviewsIntoItsOwnSink) {
    makeTuners(CaptureSource{}, 2);
    ASSERT_EQ(tuners.size(), 2u);
    std::array<std::vector<int>, 2> widths;
    tuners[0]->device->setPreviewSink([&](const PreviewFrame& f) { widths[0].push_back(f.width); });
    tuners[1]->device->setPreviewSize(160, 120);
    for (auto& tuner : tuners) tuner->device->StartPreview();
    ASSERT_TRUE(waitFor([&] { return widths[0].size() >= 3; }));
    tuners[1]->device->setPreviewSink([&](const PreviewFrame& f) { widths[1].push_back(f.width); });
    ASSERT_TRUE(waitFor([&] { return widths[1].size() >= 3; }));
    EXPECT_EQ(std::count(widths[0].begin(), widths[0].end(), 320), std::ssize(widths[0]));
    EXPECT_EQ(std::count(widths[1].begin(), widths[1].end(), 160), std::ssize(widths[1]));
    for (auto& tuner : tuners) EXPECT_EQ(tuner->device->ReadyState(), CaptureDevice::Previewing);
}

// A write error on one tuner, then a recording stopped early and the tuner
// closed: the other tuner's recording goes on whole.
TEST_F(TunerDevicesTest, ATunerRecordsOnWhileAnotherFailsAndIsClosed) {
    makeTuners(CaptureSource{}, 2);
    ASSERT_EQ(tuners.size(), 2u);
    Tuner& steady = *tuners[0];
    Tuner& troubled = *tuners[1];
    std::vector<int> steadyStates;
    steady.device->setStateListener([&] { steadyStates.push_back(steady.device->ReadyState()); });
    const fs::path kept = dir / "kept.mpg";
    start(steady, kept, 4000);
    ASSERT_TRUE(waitFor([&] { return steady.recording(); })) << steady.device->lastError();

    // The troubled tuner writes to a disk of its own that fills up.
    SmallDisk small(dir / "disk", "64k");
    if (!small.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here: " << small.why();
    start(troubled, dir / "disk" / "full.mpg", 4000);
    ASSERT_TRUE(waitFor([&] { return !troubled.recording() && troubled.device->openFiles() == 0; }, 10s));
    EXPECT_NE(troubled.device->lastError().find("No space left on device"), std::string::npos)
        << troubled.device->lastError();
    EXPECT_TRUE(steady.recording());

    start(troubled, dir / "short.mpg", 4000);
    ASSERT_TRUE(waitFor([&] { return troubled.recording(); })) << troubled.device->lastError();
    ui.runFor(500ms);
    troubled.device->StopCapture();
    ASSERT_TRUE(waitFor([&] { return troubled.device->openFiles() == 0; }));
    troubled.device.reset();
    EXPECT_TRUE(steady.recording());

    // The listener hears of each state after it is taken: wait for the end
    // to be told as well.
    ASSERT_TRUE(waitFor([&] { return !steady.recording() && steady.device->openFiles() == 0 &&
                                     steadyStates.back() != CaptureDevice::Recording; }, 10s))
        << "the end of the recording is told";
    ASSERT_EQ(steady.closed.size(), 1u);
    EXPECT_TRUE(steady.closed[0].ok) << steady.closed[0].error;
    EXPECT_EQ(steady.closed[0].elapsedMs, 4000);
    EXPECT_LT(lengthError(kept, 4.0), 0.5);
    EXPECT_EQ(steady.device->skippedPictures().count, 0);
    EXPECT_EQ(steady.device->lastError(), "");
    // Recording from its start to its end, never interrupted.
    const auto firstRecording = std::find(steadyStates.begin(), steadyStates.end(), CaptureDevice::Recording);
    ASSERT_NE(firstRecording, steadyStates.end());
    EXPECT_EQ(std::count(firstRecording, steadyStates.end(), CaptureDevice::Recording),
              std::count(steadyStates.begin(), steadyStates.end(), CaptureDevice::Recording));
}
