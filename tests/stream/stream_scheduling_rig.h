#pragma once

// The recorder's logic on the real device for scheduled recordings from
// network streams: a fixed clock moved along with real time, and real
// servers on loopback.
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
#include "recorder/forms/schedule_listing.h"
#include "recorder/forms/status_panels.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"

#include <gtest/gtest.h>

namespace kelbo::testing {

using namespace std::chrono_literals;

inline const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

inline GuideRecord onChannel(const std::string& name, DateTime start, const std::string& number,
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
          next(document, clock),
          listing(document, next) {
        next.setChoosingListener([this] { status.nothingChosen(); });
        settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
        settings.FileString = (dir / "movies" / "%programme%.mpg").string();
        settings.ChannelPlaylist = (dir / "tv.m3u").string();
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.audioMonitor = false;
        device = createCaptureDevice(CaptureSource{}, ui, messages, options);
        const RecorderContext context{document, next, status, *device, settings, clock, messages};
        session = std::make_unique<RecordingSession>(context);
        tick = std::make_unique<SchedulerTick>(context, *session);
    }

    void load(const std::vector<GuideRecord>& records) {
        std::string text;
        for (const auto& r : records) text += r.text();
        writeFile(dir / "KelboSchedule.txt", text);
        document.Load_Schedule();
        listing.Display_Schedule(listing.NextRow());
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
    std::vector<std::string> titles() const { return messages.titles(); }
    std::filesystem::path recorded(const std::string& programme) const {
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
    ScheduleListing listing;
    FakeWindow window;
    FakeTray tray;
    StatusPanels status{statusBar, window, tray};
    std::unique_ptr<GstCaptureDevice> device;
    std::unique_ptr<RecordingSession> session;
    std::unique_ptr<SchedulerTick> tick;
};

}  // namespace kelbo::testing
