// The whole recorder with two real tuners: two overlapping programmes on
// two channels of a playlist, each from a head end of its own, recorded at
// once, each tuner reading its own programme's channel.
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
    record.templateName = "Original stream (no re-encoding)";
    return record;
}

std::string entry(const std::string& attributes, const std::string& name, int port) {
    return "#EXTINF:-1 " + attributes + "," + name + "\nhttp://127.0.0.1:" + std::to_string(port) + "/live.ts\n";
}

}  // namespace

TEST(RecorderTuners, TwoChannelsOfThePlaylistAreRecordedAtOnce) {
    ScopedStateHome logHome;
    TempDir dir;
    makeClip(dir / "bars.ts", 8);
    makeClip(dir / "dark.ts", 8);
    const int barsPort = freePort();
    TestServer bars = TestServer::liveChannel(dir / "bars.ts", barsPort);
    const int darkPort = freePort();
    TestServer dark = TestServer::liveChannel(dir / "dark.ts", darkPort);
    ASSERT_TRUE(bars.running() && dark.running());
    writeFile(dir / "tv.m3u",
              iptvPlaylist({entry("tvg-id=\"Bars.test\" tvg-chno=\"31\" group-title=\"Test\"", "Bars (576p)", barsPort)},
                           {entry("tvg-id=\"Dunkel.de\" tvg-name=\"Dunkel\"", "Dunkel HD [Not 24/7]", darkPort)}));

    QueuedDispatcher ui;
    RecordingMessageBoxes messages;
    FixedClock clock(toInstant(kEight) + 50s);
    FakeStatusBar bar;
    FakeWindow window;
    FakeTray tray;
    StatusPanels panels{bar, window, tray};
    DeviceOptions options;
    options.registryKey = (dir / "device").string();
    options.audioMonitor = false;
    auto device = createCaptureDevice(CaptureSource{}, ui, messages, options);
    ASSERT_TRUE(device);
    Recorder recorder(RecorderPorts{panels, messages, clock, *device});
    LiveSettings& settings = recorder.settings();
    settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
    settings.FileString = (dir / "movies" / "%programme%.mpg").string();
    settings.ChannelPlaylist = (dir / "tv.m3u").string();
    settings.Tuners = 2;
    recorder.setTunerOpener([&](int number) -> std::unique_ptr<CaptureDevice> {
        return createOtherTuner(CaptureSource{}, ui, number, options);
    });
    ASSERT_EQ(recorder.tunerCount(), 2);
    writeFile(dir / "KelboSchedule.txt",
              onChannel("Балки", "31", "Bars").text() + onChannel("الظلام", "N/A", "dunkel").text());
    recorder.reloadSchedule();

    // Ten seconds before the end of both: they record side by side.
    std::size_t together = 0;
    for (auto done = 0ms; done < 12s; done += 100ms) {
        ui.runFor(100ms);
        clock.advance(100ms);
        recorder.Timer1_Timer();
        together = std::max(together, recorder.state().recordings.size());
        // Each tuner reads the stream of its own programme's channel.
        for (const auto& r : recorder.state().recordings) {
            const auto stream = recorder.tunerDevice(r.tuner).streamStatus();
            ASSERT_TRUE(stream);
            EXPECT_EQ(stream->url, "http://127.0.0.1:" + std::to_string(r.name == "Балки" ? barsPort : darkPort) +
                                       "/live.ts")
                << r.name << " on tuner " << r.tuner;
        }
    }
    recorder.shutDown();
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
