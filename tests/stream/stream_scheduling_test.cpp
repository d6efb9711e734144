// Scheduled recordings from network streams: the recorder's logic on the
// real device, a fixed clock moved along with real time, and real servers
// on loopback.
#include "media/media_probe.h"
#include "stream_scheduling_rig.h"
#include "support/small_disk.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

TEST_F(StreamSchedulingTest, ThePlaylistPicksTheChannelByNumberAndByName) {
    ASSERT_TRUE(device);
    makeClip(dir / "bars.ts", 15);
    makeClip(dir / "dark.ts", 15, true);
    const int port = freePort();
    TestServer server = TestServer::http(dir.path(), port);
    ASSERT_TRUE(server.running());
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    writeFile(dir / "tv.m3u", "#EXTM3U\n#EXTINF:-1 tvg-chno=\"101\",Bars\n" + base +
                                  "/bars.ts\n#EXTINF:-1 tvg-id=\"dark.tv\",Dark Channel\n" + base +
                                  "/dark.ts\n");
    // The recorder comes up 56 s into each one-minute programme: 4 s each.
    load({onChannel("ByNumber", kEight, "101", "Bars East"),
          onChannel("ByName", kEight.plusMinutes(2), "N/A", "dark channel")});
    clock.set(toInstant(kEight) + 56s);
    run(6s);
    EXPECT_EQ(listing.list().cell(1, Column::Status), "Recorded");
    clock.set(toInstant(kEight.plusMinutes(2)) + 56s);
    run(6s);
    EXPECT_EQ(listing.list().cell(2, Column::Status), "Recorded");

    const fs::path bars = recorded("ByNumber"), dark = recorded("ByName");
    ASSERT_FALSE(bars.empty());
    ASSERT_FALSE(dark.empty());
    EXPECT_NEAR(probeMedia(bars).duration, 4.0, 0.5);
    EXPECT_NEAR(probeMedia(dark).duration, 4.0, 0.5);
    EXPECT_GT(meanLuma(bars, 50), 60) << "channel 101 is the bars";
    EXPECT_LT(meanLuma(dark, 50), 25) << "\"dark channel\" is the black one";
    EXPECT_EQ(device->source().path, base + "/dark.ts") << "the preview shows the channel recorded";
}

TEST_F(StreamSchedulingTest, AWrongUrlFailsWithANoticeAndFailed) {
    ASSERT_TRUE(device);
    const std::string url = "http://127.0.0.1:" + std::to_string(freePort()) + "/gone.ts";
    writeFile(dir / "tv.m3u", "#EXTM3U\n#EXTINF:-1 tvg-chno=\"7\",Seven\n" + url + "\n");
    load({onChannel("Lost", kEight, "7", "Seven")});
    clock.set(toInstant(kEight) + 50s);
    run(8s);
    EXPECT_EQ(listing.list().cell(1, Column::Status), "Failed");
    ASSERT_EQ(titles(), std::vector<std::string>{"No video Source Detected"});
    EXPECT_TRUE(messages.shown[0].notice);
    EXPECT_NE(logHome.logText().find(url + " cannot be opened"), std::string::npos) << logHome.logText();
    EXPECT_TRUE(recorded("Lost").empty()) << "no file is left behind";
}

// A channel with a key picture every 5 s, watched before its programme and
// recorded with "Original stream (no re-encoding)" for the last 10 s of it:
// the start succeeds at once, one file holds the whole 10 s, nothing is
// started again for the moment between the copy's end (it began at a key
// picture before its start) and the programme's, and the log and the
// notice tell the time that is in the file.
TEST_F(StreamSchedulingTest, TheCopyTemplateRecordsTheWholeWindowAtOnce) {
    ASSERT_TRUE(device);
    const fs::path clip = dir / "channel.ts";
    makeBroadcastClip(clip, {.seconds = 30, .keyEverySeconds = 5});
    const int port = freePort();
    TestServer server = TestServer::liveChannel(clip, port);
    ASSERT_TRUE(server.running());
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/live.ts";
    writeFile(dir / "tv.m3u", "#EXTM3U\n#EXTINF:-1 tvg-chno=\"5\",Five\n" + url + "\n");
    const char copy[] = "Original stream (no re-encoding)";
    ASSERT_TRUE(device->tuneStream(StreamRequest{url, {}}));
    device->setRecordingTemplate(copy);
    device->PrepareDevice();
    device->StartPreview();
    ui.runFor(6s);  // watched for longer than a group of pictures
    GuideRecord programme = onChannel("Copied", kEight, "5", "Five");
    programme.templateName = copy;
    clock.set(toInstant(kEight) + 49900ms);  // the first tick comes at 50 s
    load({programme});
    run(11s);

    EXPECT_EQ(listing.list().cell(1, Column::Status), "Recorded");
    // Begun 50 s into the programme: the only notice tells the time that is
    // in the file.
    EXPECT_TRUE(titles().empty());
    ASSERT_FALSE(messages.announced.empty());
    EXPECT_EQ(messages.announced.back().title, "Recording incomplete");
    EXPECT_NE(messages.announced.back().text.find("recorded 0:10 of 1:00"), std::string::npos)
        << messages.announced.back().text;
    const std::string log = logHome.logText();
    EXPECT_EQ(log.find("did not start recording"), std::string::npos) << log;
    const auto files = filesBelow(dir / "movies");
    ASSERT_EQ(files.size(), 1u) << "one file, and no second one for the last seconds";
    EXPECT_NEAR(probeMedia(files[0]).duration, 10.0, 0.5);
    EXPECT_EQ(decodeMedia(files[0]).errors, "");
    EXPECT_NE(log.find("Recorded, 0:10 recorded"), std::string::npos) << log;
}

// A loaded server answers the first viewer of a channel late: the start
// waits for the stream while it opens, and the programme is recorded whole
// into one file, whatever a start given up on the way may have left.
TEST_F(StreamSchedulingTest, ASlowFirstAnswerIsWaitedForAndRecordedInOneFile) {
    ASSERT_TRUE(device);
    makeClip(dir / "slow.ts", 30);
    const int port = freePort();
    TestServer server = TestServer::guarded(dir.path(), port, dir / "requests.log", {"--slow-first", "1.6"});
    ASSERT_TRUE(server.running());
    writeFile(dir / "tv.m3u", "#EXTM3U\n#EXTINF:-1 tvg-chno=\"3\",Three\n" + ("http://127.0.0.1:" + std::to_string(port)) +
                                  "/slow.ts\n");
    load({onChannel("Retried", kEight, "3", "Three")});
    clock.set(toInstant(kEight) + 48s);
    run(14s);

    EXPECT_EQ(listing.list().cell(1, Column::Status), "Recorded");
    const auto files = filesBelow(dir / "movies");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_GT(probeMedia(files[0]).duration, 8.0) << "12 s were left when the stream first answered at 49.6 s";
}

// A disk that fills up during a copy, as during an encoded recording: the
// part ends at once with what it holds, the device says the disk is full,
// one notice tells it, the programme records on in a new file once there
// is room again, and it ends "Failed", never "Recorded".
TEST_F(StreamSchedulingTest, AFullDiskStopsTheCopyAtOnceAndItRecordsOnWhenThereIsRoom) {
    ASSERT_TRUE(device);
    SmallDisk disk(dir / "movies", "64m");
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs here: " << disk.why();
    makeBroadcastClip(dir / "channel.ts", {.seconds = 30, .keyEverySeconds = 2, .size = "640x360"});
    const int port = freePort();
    TestServer server = TestServer::liveChannel(dir / "channel.ts", port);
    writeFile(dir / "tv.m3u", "#EXTM3U\n#EXTINF:-1 tvg-chno=\"5\",Five\nhttp://127.0.0.1:" + std::to_string(port) + "/live.ts\n");
    GuideRecord programme = onChannel("Filled", kEight, "5", "Five");
    programme.templateName = "Original stream (no re-encoding)";
    clock.set(toInstant(kEight) + 46s);
    load({programme});
    std::error_code ec;
    for (int step = 0; step < 60 && !(fs::file_size(recorded("Filled"), ec) > 200'000 && !ec); ++step) run(100ms);
    ASSERT_EQ(device->ReadyState(), CaptureDevice::Recording) << device->lastError();
    disk.fill(dir / "movies" / "filler");
    run(1500ms);
    EXPECT_NE(device->ReadyState(), CaptureDevice::Recording) << "the copy stopped at once";
    EXPECT_EQ(device->lastFault(), DeviceFault::DiskFull);
    EXPECT_NE(device->lastError().find("No space left on device"), std::string::npos) << device->lastError();
    fs::remove(dir / "movies" / "filler");
    run(std::chrono::duration_cast<std::chrono::milliseconds>(toInstant(kEight) + 61s - clock.now()));

    EXPECT_EQ(listing.list().cell(1, Column::Status), "Failed");
    EXPECT_EQ(titles(), std::vector<std::string>{"Recording stopped"}) << "told once";
    for (const auto& news : messages.announced) EXPECT_NE(news.title, "Recording finished");
    auto files = filesBelow(dir / "movies");
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u) << "what the full disk took, and a new file once there was room";
    EXPECT_GT(probeMedia(files[0]).duration, 0.5) << "what reached the disk before it was full is kept";
    EXPECT_GT(probeMedia(files[1]).duration, 3.0);
}
