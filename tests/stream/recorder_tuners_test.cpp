// The whole recorder with real tuners, each reading its own programme's
// channel of a playlist, every channel from a head end of its own.
#include "stream_servers.h"
#include "media/media_probe.h"
#include "recorder/engine/recorder.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "recorder/media/gst/tuner_devices.h"
#include "recorder/forms/status_panels.h"
#include "support/fake_window.h"
#include "support/iptv_playlist.h"
#include "support/recorder_home.h"
#include "support/recording_message_boxes.h"
#include "support/scoped_state_home.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

GuideRecord onChannel(const std::string& name, const std::string& number, const std::string& channel) {
    GuideRecord record = recordAt(name, kEight, 1);
    record.channelNumber = number;
    record.channelName = channel;
    return record;
}

std::string entry(const std::string& attributes, const std::string& name, int port) {
    return "#EXTINF:-1 " + attributes + "," + name + "\nhttp://127.0.0.1:" + std::to_string(port) + "/live.ts\n";
}

class RecorderTuners : public ::testing::Test {
protected:
    int serve(const fs::path& clip) {  // a head end serving `clip` live; its port
        const int port = freePort();
        servers.push_back(TestServer::liveChannel(clip, port));
        return port;
    }
    // The recorder with `tuners` tuners, the playlist tv.m3u and `programmes`.
    void open(int tuners, const std::vector<GuideRecord>& programmes) {
        options.registryKey = (dir / "device").string();
        options.audioMonitor = false;
        first = createCaptureDevice(CaptureSource{}, ui, messages, options);
        ASSERT_TRUE(first);
        recorder = std::make_unique<Recorder>(RecorderPorts{panels, messages, clock, *first});
        LiveSettings& settings = recorder->settings();
        settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
        settings.FileString = (dir / "movies" / "%programme%.mpg").string();
        settings.ChannelPlaylist = (dir / "tv.m3u").string();
        settings.Tuners = tuners;
        recorder->setTunerOpener([this](int number) { return createOtherTuner(CaptureSource{}, ui, number, options); });
        ASSERT_EQ(recorder->tunerCount(), tuners);
        std::string text;
        for (const GuideRecord& record : programmes) text += record.text();
        writeFile(dir / "KelboSchedule.txt", text);
        recorder->reloadSchedule();
    }
    // Real time and the clock move on together, tick by tick, while `more`.
    void run(std::chrono::milliseconds most, const std::function<bool()>& more) {
        for (auto done = 0ms; done < most && more(); done += 100ms) {
            ui.runFor(100ms);
            clock.advance(100ms);
            recorder->Timer1_Timer();
        }
    }
    GstCaptureDevice& device(int tuner) { return dynamic_cast<GstCaptureDevice&>(recorder->tunerDevice(tuner)); }

    ScopedStateHome logHome;
    TempDir dir;
    std::vector<TestServer> servers;
    QueuedDispatcher ui;
    RecordingMessageBoxes messages;
    FixedClock clock{toInstant(kEight)};
    FakeStatusBar bar;
    FakeWindow window;
    FakeTray tray;
    StatusPanels panels{bar, window, tray};
    DeviceOptions options;
    std::unique_ptr<GstCaptureDevice> first;
    std::unique_ptr<Recorder> recorder;
};

}  // namespace

TEST_F(RecorderTuners, TwoChannelsOfThePlaylistAreRecordedAtOnce) {
    makeClip(dir / "bars.ts", 8);
    makeClip(dir / "dark.ts", 8);
    const int barsPort = serve(dir / "bars.ts"), darkPort = serve(dir / "dark.ts");
    writeFile(dir / "tv.m3u",
              iptvPlaylist({entry("tvg-id=\"Bars.test\" tvg-chno=\"31\" group-title=\"Test\"", "Bars (576p)", barsPort)},
                           {entry("tvg-id=\"Dunkel.de\" tvg-name=\"Dunkel\"", "Dunkel HD [Not 24/7]", darkPort)}));
    GuideRecord bars = onChannel("Балки", "31", "Bars"), dark = onChannel("الظلام", "N/A", "dunkel");
    bars.templateName = dark.templateName = "Original stream (no re-encoding)";
    clock.set(toInstant(kEight) + 50s);
    open(2, {bars, dark});

    // Ten seconds before the end of both: they record side by side.
    std::size_t together = 0;
    run(12s, [&] {
        together = std::max(together, recorder->state().recordings.size());
        // Each tuner reads the stream of its own programme's channel.
        for (const auto& r : recorder->state().recordings) {
            const auto stream = recorder->tunerDevice(r.tuner).streamStatus();
            EXPECT_TRUE(stream);
            if (!stream) continue;
            EXPECT_EQ(stream->url, "http://127.0.0.1:" + std::to_string(r.name == "Балки" ? barsPort : darkPort) +
                                       "/live.ts")
                << r.name << " on tuner " << r.tuner;
        }
        return true;
    });
    recorder->shutDown();
    EXPECT_EQ(together, 2u) << "both at once";
    EXPECT_TRUE(messages.titles().empty()) << messages.titles().front();

    const fs::path barsFile = dir / "movies" / "Балки1[1.1].mpg", darkFile = dir / "movies" / "الظلام1[1.1].mpg";
    ASSERT_TRUE(fs::exists(barsFile));
    ASSERT_TRUE(fs::exists(darkFile)) << readFile(logHome.logFile());
    // Ten seconds were left; opening a stream on a loaded machine may take
    // a second or two of them.
    for (const fs::path& file : {barsFile, darkFile}) {
        const double seconds = probeMedia(file).duration;
        EXPECT_GT(seconds, 7.0) << file;
        EXPECT_LT(seconds, 10.5) << file;
    }
}

// Programmes starting together on channels that flash and beep together
// every 5 s, recorded with the default template: each tuner records from
// the start (its channel opened ahead), its sound on its pictures from the
// first second to the last, on a tuner opened cold as well.
// Tuners, and how long before the start the recorder runs (0: cold).
class TunersStartingTogether : public RecorderTuners,
                               public ::testing::WithParamInterface<std::pair<int, std::chrono::seconds>> {};

TEST_P(TunersStartingTogether, EachRecordsFromItsStartWithItsSoundOnItsPictures) {
    const auto [tuners, running] = GetParam();
    makeBroadcastClip(dir / "flash.ts", {.seconds = 30, .keyEverySeconds = 5, .flashAndBeep = true});
    std::string playlist;
    std::vector<GuideRecord> programmes;
    for (int i = 1; i <= tuners; ++i) {
        playlist += entry("tvg-chno=\"" + std::to_string(i) + "\"", "Канал " + std::to_string(i), serve(dir / "flash.ts"));
        programmes.push_back(onChannel("Programme " + std::to_string(i), std::to_string(i), "Канал " + std::to_string(i)));
    }
    writeFile(dir / "tv.m3u", iptvPlaylist({playlist}, {}));
    clock.set(toInstant(kEight) - running);
    open(tuners, programmes);
    std::map<int, Instant> recordingFrom;
    run(running + 18s, [&] {
        bool more = false;
        for (int n = 1; n <= tuners; ++n) {
            if (device(n).ReadyState() == CaptureDevice::Recording) recordingFrom.emplace(n, clock.now());
            more = more || !recordingFrom.count(n) || device(n).CaptureElapsed() < 6500;
        }
        return more;
    });
    recorder->shutDown();
    const auto openFiles = [&] { int open = 0; for (int n = 1; n <= tuners; ++n) open += device(n).openFiles(); return open; };
    ui.runUntil([&] { return openFiles() == 0; }, 10s);

    for (int n = 1; n <= tuners; ++n) {
        SCOPED_TRACE("Programme " + std::to_string(n));
        ASSERT_TRUE(recordingFrom.count(n));
        if (running > 0s) {
            EXPECT_LE(std::chrono::abs(recordingFrom[n] - toInstant(kEight)), 500ms);
        }
        const AvSync sync = measureAvSync(dir / "movies" / ("Programme " + std::to_string(n) + "1[1.1].mpg"));
        EXPECT_FALSE(sync.beepAfterFlashMs.empty());
        for (const double offset : sync.beepAfterFlashMs) EXPECT_LE(std::abs(offset), 40) << "beep after flash";
        EXPECT_LE(std::abs(sync.soundStartMs), 40) << "the sound starts with the pictures";
        EXPECT_LE(std::abs(sync.soundEndMs), 40) << "and ends with them";
    }
}

INSTANTIATE_TEST_SUITE_P(Starts, TunersStartingTogether,
                         ::testing::Values(std::pair{1, 0s}, std::pair{4, 0s}, std::pair{4, 7s}));
