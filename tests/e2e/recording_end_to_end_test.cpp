// A programme that is due now, recorded by the real tick through the real
// device from its test-pattern source, split by size, until it finishes.
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"
#include "support/command_output.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <regex>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// The real clock, moved to where the schedule wants it.
class ShiftedClock : public Clock {
public:
    explicit ShiftedClock(std::chrono::milliseconds shift) : shift_(shift) {}
    Instant now() const override { return std::chrono::system_clock::now() + shift_; }

private:
    std::chrono::milliseconds shift_;
};

nlohmann::json probe(const std::filesystem::path& file) {
    return nlohmann::json::parse(commandOutput("ffprobe -v error -show_entries format=format_name,duration:"
                                     "stream=codec_type,codec_name -of json '" + file.string() + "'"));
}

}  // namespace

TEST(RecordingEndToEnd, ADueProgrammeIsRecordedInPartsAndFinished) {
    // The programme ran from 20:00 to 20:01 with no buffers; the shifted
    // clock says it is 20:00:54, so six seconds are left to record.
    const DateTime start = DateTime::fromCivil(2026, 12, 7, 20, 0);
    const DateTime end = start.plusMinutes(1);
    ShiftedClock clock(std::chrono::duration_cast<std::chrono::milliseconds>(
        toInstant(end) - 6s - std::chrono::system_clock::now()));

    TempDir dir;
    LiveSettings settings;
    settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
    settings.FileString = (dir / "movies" / "%programme%-%starttime%.mpg").string();
    settings.Template = "DVD Full Quality";
    settings.splitType = SplitType::Size;
    settings.SplitValue = "1";  // a part per 1,024,000 bytes
    RecordingMessageBoxes messages;
    QueuedDispatcher dispatcher;
    DeviceOptions options;
    options.registryKey = (dir / "device").string();
    options.audioMonitor = false;
    CaptureSource source;  // the test pattern
    const auto device = createCaptureDevice(source, dispatcher, messages, options);
    ASSERT_TRUE(device) << (messages.shown.empty() ? "" : messages.shown[0].text);

    ScheduleDocument document(settings, messages);
    FakeStatusBar statusBar;
    NextProgramme next(document, clock);
    ScheduleListing listing(document, next);
    FakeWindow window;
    FakeTray tray;
    StatusPanels status(statusBar, window, tray);
    next.setChoosingListener([&status] { status.nothingChosen(); });
    const RecorderContext context{document, next, status, *device, settings, clock, messages};
    RecordingSession session(context);
    SchedulerTick tick(context, session);
    device->setStateListener([&session] { session.resolvePendingStart(); });

    writeFile(dir / "KelboSchedule.txt", programme("Pattern", start, 1).text());
    document.Load_Schedule();
    listing.Display_Schedule();
    next.Find_Next_Schedule();
    ASSERT_EQ(listing.NextRow(), 1);

    const auto began = std::chrono::steady_clock::now();
    std::int64_t limit = 0;
    while (listing.list().cell(1, Column::Status) != "Recorded" &&
           std::chrono::steady_clock::now() - began < 15s) {
        tick.Timer1_Timer();
        if (device->ReadyState() == CaptureDevice::Recording && limit == 0) limit = device->CaptureLimit();
        dispatcher.runFor(400ms);
    }
    ASSERT_EQ(listing.list().cell(1, Column::Status), "Recorded") << statusBar.panelText(panel::kStatus);
    // Six seconds of a one-minute programme: told as far short of its window.
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.back().text;
    ASSERT_FALSE(messages.announced.empty());
    EXPECT_EQ(messages.announced.back().title, "Recording incomplete");
    EXPECT_GE(messages.announced.back().files.size(), 2u) << "every part, for Play";
    EXPECT_NE(readFile(dir / "KelboSchedule.txt").find("Complete     : Recorded\r\n"), std::string::npos);

    // Parts under their final names, each a program stream that plays alone.
    std::vector<std::filesystem::path> parts;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "movies")) parts.push_back(entry.path());
    std::sort(parts.begin(), parts.end());
    ASSERT_GE(parts.size(), 2u);
    double total = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string expected = "Pattern-20001[" + std::to_string(i + 1) + "." +
                                     std::to_string(parts.size()) + "].mpg";
        EXPECT_EQ(parts[i].filename().string(), expected);
        const auto info = probe(parts[i]);
        EXPECT_NE(info["format"]["format_name"].get<std::string>().find("mpeg"), std::string::npos);
        std::set<std::string> codecs;
        for (const auto& stream : info["streams"]) codecs.insert(stream["codec_name"].get<std::string>());
        EXPECT_TRUE(codecs.count("mpeg2video")) << parts[i];
        EXPECT_TRUE(codecs.count("mp2")) << parts[i];
        total += std::stod(info["format"]["duration"].get<std::string>());
    }
    EXPECT_NEAR(total, static_cast<double>(limit) / 1000.0, 0.5);
}
