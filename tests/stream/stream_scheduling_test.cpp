// Scheduled recordings from network streams: the recorder's logic on the
// real device, a fixed clock moved along with real time, and real servers
// on loopback.
#include "media/media_probe.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "stream_servers.h"
#include "support/fake_window.h"
#include "support/recorder_home.h"
#include "support/recording_message_boxes.h"
#include "support/schedule_text.h"
#include "support/scoped_state_home.h"
#include "support/temp_dir.h"
#include "common/clock.h"
#include "recorder/engine/recording_session.h"
#include "recorder/engine/scheduler_tick.h"
#include "recorder/engine/status_display.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

GuideRecord onChannel(const std::string& name, DateTime start, const std::string& number,
                      const std::string& channel) {
    GuideRecord record = recordAt(name, start, 1);
    record.channelNumber = number;
    record.channelName = channel;
    return record;
}

class StreamSchedulingTest : public ::testing::Test {
protected:
    StreamSchedulingTest()
        : clock(toInstant(kEight)),
          document(settings, messages, clock),
          next(document.list(), statusBar, clock),
          status(statusBar) {
        settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
        settings.FileString = (dir / "movies" / "%programme%.mpg").string();
        settings.ChannelPlaylist = (dir / "tv.m3u").string();
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.audioMonitor = false;
        device = createCaptureDevice(CaptureSource{}, ui, messages, options);
        const RecorderContext context{document, next,  status,   statusBar, *device,
                                      settings, clock, messages, window,    tray};
        session = std::make_unique<RecordingSession>(context);
        tick = std::make_unique<SchedulerTick>(context, *session);
    }

    void load(const std::vector<GuideRecord>& records) {
        std::string text;
        for (const auto& r : records) text += r.text();
        writeFile(dir / "KelboSchedule.txt", text);
        document.Load_Schedule();
        document.Display_Schedule(next.NextRow());
        next.Find_Next_Schedule();
    }
    // Real time and the recorder's clock move on together, tick by tick.
    void run(std::chrono::milliseconds span) {
        for (auto done = 0ms; done < span; done += 100ms) {
            ui.runFor(100ms);
            clock.advance(100ms);
            tick->Timer1_Timer();
        }
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> all;
        for (const auto& shown : messages.shown) all.push_back(shown.title);
        return all;
    }
    fs::path recorded(const std::string& programme) const {
        for (const auto& file : filesBelow(dir / "movies"))
            if (file.filename().string().rfind(programme, 0) == 0) return file;
        return {};
    }

    ScopedStateHome logHome;
    TempDir dir;
    QueuedDispatcher ui;
    LiveSettings settings;
    RecordingMessageBoxes messages;
    FixedClock clock;
    ScheduleDocument document;
    FakeStatusBar statusBar;
    NextProgramme next;
    StatusDisplay status;
    FakeWindow window;
    FakeTray tray;
    std::unique_ptr<GstCaptureDevice> device;
    std::unique_ptr<RecordingSession> session;
    std::unique_ptr<SchedulerTick> tick;
};

}  // namespace

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
    load({onChannel("ByNumber", kEight, "101", "Not the name"),
          onChannel("ByName", kEight.plusMinutes(2), "N/A", "dark channel")});
    clock.set(toInstant(kEight) + 56s);
    run(6s);
    EXPECT_EQ(document.list().cell(1, Column::Status), "Recorded");
    clock.set(toInstant(kEight.plusMinutes(2)) + 56s);
    run(6s);
    EXPECT_EQ(document.list().cell(2, Column::Status), "Recorded");

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
    EXPECT_EQ(document.list().cell(1, Column::Status), "Failed");
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
    ASSERT_TRUE(device->tuneStream(url));
    device->setRecordingTemplate(copy);
    device->PrepareDevice();
    device->StartPreview();
    ui.runFor(6s);  // watched for longer than a group of pictures
    GuideRecord programme = onChannel("Copied", kEight, "5", "Five");
    programme.templateName = copy;
    clock.set(toInstant(kEight) + 49900ms);  // the first tick comes at 50 s
    load({programme});
    run(11s);

    EXPECT_EQ(document.list().cell(1, Column::Status), "Recorded");
    // Begun 50 s into the programme: the only notice tells the time that is
    // in the file.
    ASSERT_EQ(titles(), std::vector<std::string>{"Recording incomplete"});
    EXPECT_NE(messages.shown[0].text.find("recorded 0:10 of 1:00"), std::string::npos) << messages.shown[0].text;
    const std::string log = logHome.logText();
    EXPECT_EQ(log.find("did not start recording"), std::string::npos) << log;
    const auto files = filesBelow(dir / "movies");
    ASSERT_EQ(files.size(), 1u) << "one file, and no second one for the last seconds";
    EXPECT_NEAR(probeMedia(files[0]).duration, 10.0, 0.5);
    EXPECT_EQ(decodeMedia(files[0]).errors, "");
    EXPECT_NE(log.find("Recorded, 0:10 recorded"), std::string::npos) << log;
}
