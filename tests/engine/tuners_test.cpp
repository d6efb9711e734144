// Several tuners recording at once: which programmes each takes, and that
// one tuner's failure, stop or crash leaves the others recording.
#include "recorder_under_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kNoon = DateTime::fromCivil(2026, 12, 7, 12, 0);

// Titles as the guides send them, each on a channel of its own.
const std::vector<std::string> kTitles = {"Новости", "ニュース", "الأخبار", "Tagesschau", "Weather"};

GuideRecord show(std::size_t index, DateTime start, int minutes) {
    return programme(kTitles.at(index), start, minutes, std::to_string(101 + index));
}

// A recorder with `count` scripted tuners; devices[0] is tuner 1.
struct TunersUnderTest : RecorderUnderTest {
    explicit TunersUnderTest(int count) : RecorderUnderTest(kNoon, "movies/%programme%.mpg") {
        devices.push_back(&device);
        recorder.settings().Tuners = count;
        recorder.setTunerOpener([this](int) {
            auto opened = std::make_unique<ScriptedCaptureDevice>();
            devices.push_back(opened.get());
            return opened;
        });
    }

    void load(const std::vector<GuideRecord>& records) {
        std::string text;
        for (const GuideRecord& record : records) text += record.text();
        writeFile(dir / "KelboSchedule.txt", text);
        recorder.reloadSchedule();
    }

    // The clock and every recording device's media time move on together.
    void runTo(DateTime until, std::chrono::milliseconds step = 400ms) { runUntil(toInstant(until), step); }
    void runFor(std::chrono::milliseconds span) { runUntil(clock.now() + span, 400ms); }
    void runUntil(Instant until, std::chrono::milliseconds step) {
        while (clock.now() < until) {
            for (ScriptedCaptureDevice* d : devices)
                if (d->state == CaptureDevice::Recording) d->advance(step.count());
            clock.set(clock.now() + step);
            recorder.Timer1_Timer();
        }
    }

    // The programmes being recorded, by the name in their file.
    std::vector<std::string> recordingNow() const {
        std::vector<std::string> names;
        for (const ScriptedCaptureDevice* d : devices)
            if (d->state == CaptureDevice::Recording)
                names.push_back(std::filesystem::path(d->capturing).filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string status(const std::string& title) const {
        for (int row = 1; row <= rows(); ++row)
            if (listing.list().cell(row, Column::Programme) == title) return listing.list().cell(row, Column::Status);
        return "(no row)";
    }
    int colour(const std::string& title) const {
        for (int row = 1; row <= rows(); ++row)
            if (listing.list().cell(row, Column::Programme) == title) return listing.list().rowColour(row);
        return -1;
    }
    ProgrammeId idOf(const std::string& title) const {
        for (int row = 1; row <= rows(); ++row)
            if (listing.list().cell(row, Column::Programme) == title) return listing.idOfRow(row);
        return 0;
    }
    bool recorded(const std::string& title, int fileNumber = 1) const {
        return std::filesystem::exists(dir / "movies" / (title + std::to_string(fileNumber) + "[1.1].mpg"));
    }

    std::vector<ScriptedCaptureDevice*> devices;
};

std::string writing(const std::string& title) { return title + "1[1.].mpg"; }

}  // namespace

// Programmes sharing one window: as many record as there are tuners, the
// first in the list first; the rest are blue and never recorded.
TEST(Tuners, OverlappingProgrammesRecordUpToTheTunersAndTheRestAreBlue) {
    for (const auto& [programmes, tuners] : {std::pair{2, 1}, std::pair{3, 2}, std::pair{5, 3}, std::pair{2, 3}}) {
        SCOPED_TRACE(std::to_string(programmes) + " programmes, " + std::to_string(tuners) + " tuners");
        TunersUnderTest r(tuners);
        ASSERT_EQ(r.recorder.tunerCount(), tuners);
        std::vector<GuideRecord> records;
        records.reserve(static_cast<std::size_t>(programmes));
        for (int i = 0; i < programmes; ++i) records.push_back(show(static_cast<std::size_t>(i), kNoon.plusMinutes(10), 30));
        r.load(records);
        const int recording = std::min(programmes, tuners);

        r.runTo(kNoon.plusMinutes(11));
        std::vector<std::string> expected;
        expected.reserve(static_cast<std::size_t>(recording));
        for (int i = 0; i < recording; ++i) expected.push_back(writing(kTitles[static_cast<std::size_t>(i)]));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(r.recordingNow(), expected);
        EXPECT_EQ(r.recorder.state().recordings.size(), static_cast<std::size_t>(recording));
        for (int i = recording; i < programmes; ++i)
            EXPECT_EQ(r.colour(kTitles[static_cast<std::size_t>(i)]), colour::kBlue) << kTitles[static_cast<std::size_t>(i)];

        r.runTo(kNoon.plusMinutes(45), 10s);
        EXPECT_TRUE(r.recordingNow().empty());
        for (int i = 0; i < programmes; ++i) {
            const std::string& title = kTitles[static_cast<std::size_t>(i)];
            EXPECT_EQ(r.recorded(title), i < recording) << title;
            EXPECT_EQ(r.status(title) == "Recorded", i < recording) << title << ": " << r.status(title);
        }
    }
}

// A freed tuner takes the programme the clashes gave it, not the blue one
// left over; back to back with the one it has just finished, that starts in
// the same tick, on time.
TEST(Tuners, AFreedTunerFollowsTheClashesAndBackToBackStartsOnTime) {
    TunersUnderTest r(2);
    r.load({show(0, kNoon, 120),                 // 12:00-14:00, tuner 1
            show(1, kNoon.plusMinutes(15), 30),  // 12:15-12:45, tuner 2
            show(2, kNoon.plusMinutes(20), 60),  // 12:20-13:20, blue: no tuner at 12:20
            show(3, kNoon.plusMinutes(45), 30)});  // 12:45-13:15, tuner 2 once free
    r.runTo(kNoon.plusMinutes(21));
    std::vector<std::string> both = {writing(kTitles[0]), writing(kTitles[1])};
    std::sort(both.begin(), both.end());
    EXPECT_EQ(r.recordingNow(), both);
    EXPECT_EQ(r.colour(kTitles[2]), colour::kBlue);
    EXPECT_NE(r.colour(kTitles[3]), colour::kBlue);

    // At 12:45 tuner 2 finishes; the blue one, due since 12:20, would keep
    // it from the one that starts now.
    r.runTo(kNoon.plusMinutes(44));
    const std::size_t before = r.devices[1]->calls.size();
    r.runTo(kNoon.plusMinutes(45));
    r.runFor(400ms);
    EXPECT_EQ(r.status(kTitles[1]), "Recorded");
    const std::vector<std::string> since(r.devices[1]->calls.begin() + static_cast<std::ptrdiff_t>(before),
                                         r.devices[1]->calls.end());
    EXPECT_NE(std::find(since.begin(), since.end(),
                        "StartCapture " + (r.dir / "movies" / writing(kTitles[3])).string()),
              since.end())
        << "started in the tick the last one ended";
    EXPECT_GE(r.devices[1]->CaptureLimit(), (30min - 400ms) / 1ms) << "from 12:45 at the latest";
    EXPECT_EQ(r.devices[0]->count("StopCapture"), 0) << "tuner 1 records on undisturbed";

    r.runTo(kNoon.plusMinutes(125), 10s);
    for (const std::size_t i : {0u, 1u, 3u}) EXPECT_EQ(r.status(kTitles[i]), "Recorded") << kTitles[i];
    const auto& calls = r.devices[1]->calls;
    const auto started = [&](std::size_t i) {
        return std::find(calls.begin(), calls.end(), "StartCapture " + (r.dir / "movies" / writing(kTitles[i])).string());
    };
    ASSERT_NE(started(2), calls.end()) << "what is left of the blue one, once tuner 2 is free at 13:15";
    EXPECT_GT(started(2), started(3));
}

TEST(Tuners, AWriteErrorOnOneTunerLeavesTheOtherRecording) {
    TunersUnderTest r(2);
    r.load({show(0, kNoon.plusMinutes(10), 30), show(1, kNoon.plusMinutes(10), 30)});
    r.runTo(kNoon.plusMinutes(20));
    ASSERT_EQ(r.recordingNow().size(), 2u);

    r.devices[1]->failWrite("Error writing: Input/output error", DeviceFault::Folder);
    r.runTo(kNoon.plusMinutes(21));
    EXPECT_EQ(r.devices[0]->state, CaptureDevice::Recording);
    EXPECT_EQ(r.devices[0]->count("StopCapture"), 0);
    const auto titles = r.messages.titles();
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Recording stopped (tuner 2)"), titles.end());
    EXPECT_EQ(r.currentStatus().state, "Recording");

    r.runTo(kNoon.plusMinutes(41), 10s);
    EXPECT_EQ(r.status(kTitles[0]), "Recorded");
    EXPECT_EQ(r.status(kTitles[1]), "Failed");
    EXPECT_TRUE(r.recorded(kTitles[0]));
}

TEST(Tuners, NoticesNameTheTunerOnlyWhenThereIsMoreThanOne) {
    for (const int tuners : {1, 2}) {
        TunersUnderTest r(tuners);
        r.load({show(0, kNoon.plusMinutes(10), 30)});
        r.runTo(kNoon.plusMinutes(11));
        ASSERT_FALSE(r.messages.announced.empty());
        EXPECT_EQ(r.messages.announced.front().title,
                  tuners == 1 ? "Recording started" : "Recording started (tuner 1)");
    }
}

TEST(Tuners, StopOneStopsOnlyItsTunerAndStopAllStopsEvery) {
    TunersUnderTest r(3);
    r.load({show(0, kNoon.plusMinutes(10), 30), show(1, kNoon.plusMinutes(10), 30), show(2, kNoon.plusMinutes(10), 30),
            show(3, kNoon.plusMinutes(10), 30)});
    r.runTo(kNoon.plusMinutes(12));
    ASSERT_EQ(r.recordingNow().size(), 3u);

    const ProgrammeId second = r.idOf(kTitles[1]);
    EXPECT_TRUE(r.recorder.stopRecording(second));
    EXPECT_EQ(r.status(kTitles[1]), "Stopped");
    EXPECT_FALSE(r.recorder.stopRecording(second)) << "no tuner records it now";
    EXPECT_FALSE(r.recorder.stopRecording(r.idOf(kTitles[3]))) << "a programme no tuner records";
    EXPECT_EQ(r.devices[0]->state, CaptureDevice::Recording);
    EXPECT_EQ(r.devices[2]->state, CaptureDevice::Recording);
    EXPECT_TRUE(r.recorded(kTitles[1])) << "its part has its final name";

    // The freed tuner takes the programme no tuner had, never the stopped one.
    r.runTo(kNoon.plusMinutes(13));
    EXPECT_EQ(r.recordingNow(), (std::vector<std::string>{writing(kTitles[3]), writing(kTitles[0]), writing(kTitles[2])}));

    EXPECT_TRUE(r.recorder.stopRecording());
    EXPECT_FALSE(r.recorder.recording());
    for (const std::size_t i : {0u, 2u, 3u}) EXPECT_EQ(r.status(kTitles[i]), "Stopped") << kTitles[i];
    r.runTo(kNoon.plusMinutes(15));
    EXPECT_TRUE(r.recordingNow().empty()) << "nothing stopped is taken up again";
    EXPECT_FALSE(r.recorder.stopRecording());
}

// Killed with two recordings running: the next start gives both their
// parts' final names and records the rest of each under a new file number.
TEST(Tuners, ACrashWithTwoRecordingsLeavesBothRecoveredAndRecordedOn) {
    TunersUnderTest crashed(2);
    crashed.load({show(0, kNoon.plusMinutes(10), 30), show(1, kNoon.plusMinutes(10), 30)});
    crashed.runTo(kNoon.plusMinutes(20));
    ASSERT_EQ(crashed.recordingNow().size(), 2u);

    // The same files, a new recorder: nothing of the first is shut down.
    ScopedStateHome state;
    FixedClock clock(crashed.clock.now());
    FakeStatusBar bar;
    FakeWindow window;
    FakeTray tray;
    StatusPanels panels{bar, window, tray};
    RecordingMessageBoxes messages;
    ScriptedCaptureDevice device, second;
    Recorder restarted(RecorderPorts{panels, messages, clock, device});
    restarted.settings().ScheduleFile = crashed.recorder.settings().ScheduleFile;
    restarted.settings().FileString = crashed.recorder.settings().FileString;
    restarted.settings().Template = "DVD";
    restarted.settings().Tuners = 2;
    bool opened = false;
    restarted.setTunerOpener([&](int) {
        opened = true;
        return std::unique_ptr<CaptureDevice>(std::make_unique<ScriptedCaptureDevice>());
    });
    ASSERT_TRUE(opened);
    restarted.reloadSchedule();
    restarted.recoverInterruptedRecordings();
    for (const std::size_t i : {0u, 1u}) EXPECT_TRUE(crashed.recorded(kTitles[i])) << kTitles[i] << " recovered";

    restarted.Timer1_Timer();
    const RecorderState s = restarted.state();
    ASSERT_EQ(s.recordings.size(), 2u);
    for (const auto& r : s.recordings)
        EXPECT_NE(r.file.find("2[1.].mpg"), std::string::npos) << r.file << " goes on under file number 2";
    EXPECT_EQ(s.recordings[0].tuner + s.recordings[1].tuner, 3) << "one on each tuner";
    restarted.shutDown();
}

TEST(Tuners, TheSettingOpensTunersAtOnceAndClosesThemOnceFree) {
    TunersUnderTest r(1);
    r.load({show(0, kNoon.plusMinutes(10), 30), show(1, kNoon.plusMinutes(10), 30)});
    EXPECT_EQ(r.recorder.tunerCount(), 1);
    EXPECT_EQ(r.colour(kTitles[1]), colour::kBlue);

    r.recorder.settings().Tuners = 2;
    r.recorder.reloadSchedule();  // as OK in Options does
    EXPECT_EQ(r.recorder.tunerCount(), 2);
    EXPECT_EQ(r.colour(kTitles[1]), colour::kBlack) << "a tuner for each now";
    r.runTo(kNoon.plusMinutes(11));
    EXPECT_EQ(r.recordingNow().size(), 2u);

    r.recorder.settings().Tuners = 1;
    r.runTo(kNoon.plusMinutes(12));
    EXPECT_EQ(r.recorder.tunerCount(), 2) << "kept while it records";
    r.runTo(kNoon.plusMinutes(41), 10s);
    EXPECT_EQ(r.recorder.tunerCount(), 1);
    EXPECT_EQ(r.status(kTitles[1]), "Recorded");
}

// With fewer tuners opened than the setting asks (fewer capture cards),
// the clashes count the tuners there are.
TEST(Tuners, ClashesCountTheTunersThatCouldBeOpened) {
    TunersUnderTest r(1);
    r.recorder.settings().Tuners = 3;
    r.recorder.setTunerOpener([&](int number) -> std::unique_ptr<CaptureDevice> {
        if (number > 2) return nullptr;
        auto opened = std::make_unique<ScriptedCaptureDevice>();
        r.devices.push_back(opened.get());
        return opened;
    });
    r.load({show(0, kNoon.plusMinutes(10), 30), show(1, kNoon.plusMinutes(10), 30), show(2, kNoon.plusMinutes(10), 30)});
    EXPECT_EQ(r.recorder.tunerCount(), 2);
    EXPECT_EQ(r.colour(kTitles[2]), colour::kBlue);
    EXPECT_NE(r.colour(kTitles[1]), colour::kBlue);
}

// The View menu's choice: the live preview moves to the tuner chosen, its
// recording's end brings that tuner's preview back, not tuner 1's, and the
// choice falls back to tuner 1 when the tuner chosen is closed.
TEST(Tuners, TheLivePreviewShowsTheTunerChosenAndFallsBackToTunerOne) {
    TunersUnderTest r(2);
    std::vector<std::pair<CaptureDevice*, CaptureDevice*>> moves;
    r.recorder.setPreviewMoveListener([&](CaptureDevice& from, CaptureDevice& to) { moves.emplace_back(&from, &to); });
    r.window.livePreviewTicked = true;
    r.recorder.IsLivePreview_Click();
    ASSERT_EQ(r.device.state, CaptureDevice::Previewing);

    r.recorder.choosePreviewTuner(2);
    EXPECT_EQ(r.recorder.previewTuner(), 2);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].first, &r.device);
    EXPECT_EQ(moves[0].second, r.devices[1]);
    EXPECT_NE(r.device.state, CaptureDevice::Previewing);
    EXPECT_EQ(r.devices[1]->state, CaptureDevice::Previewing);
    r.recorder.choosePreviewTuner(3);
    EXPECT_EQ(r.recorder.previewTuner(), 2) << "no tuner 3";

    // Tuner 2 records the second of two programmes, and previews again after.
    r.load({show(0, kNoon.plusMinutes(10), 20), show(1, kNoon.plusMinutes(10), 10)});
    r.runTo(kNoon.plusMinutes(11));
    ASSERT_EQ(r.devices[1]->state, CaptureDevice::Recording);
    const int tunerOnePreviews = r.device.count("StartPreview");
    r.runTo(kNoon.plusMinutes(21), 10s);
    EXPECT_EQ(r.devices[1]->state, CaptureDevice::Previewing);
    EXPECT_EQ(r.device.count("StartPreview"), tunerOnePreviews) << "tuner 1 is not watched";

    r.recorder.settings().Tuners = 1;
    r.runTo(kNoon.plusMinutes(22));
    EXPECT_EQ(r.recorder.tunerCount(), 1);
    EXPECT_EQ(r.recorder.previewTuner(), 1);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[1].second, &r.device);
}

// Programmes added to the file by another program while one recording runs.
// With a tuner idle they are taken in at once and recorded on time; with
// one tuner they wait for the recording to end, and one that was over by
// then is told, not passed in silence.
TEST(Tuners, ProgrammesAddedDuringARecordingAreTakenInWhileATunerIsIdle) {
    for (const int tuners : {1, 2}) {
        SCOPED_TRACE(std::to_string(tuners) + " tuners");
        TunersUnderTest r(tuners);
        r.load({show(0, kNoon, 30)});  // 12:00-12:30
        r.runTo(kNoon.plusMinutes(5));
        ASSERT_EQ(r.recordingNow(), std::vector<std::string>{writing(kTitles[0])});
        // The guide appends two at 12:05: one over before 12:30, one after.
        std::ofstream(r.dir / "KelboSchedule.txt", std::ios::app)
            << show(1, kNoon.plusMinutes(7), 10).text() << show(2, kNoon.plusMinutes(40), 10).text();
        for (int i = 0; i < 3; ++i) {
            r.recorder.Timer2_Timer();
            r.runFor(400ms);
        }
        EXPECT_EQ(r.recorder.ReloadSchedule_Click(), tuners > 1) << "refused only with one tuner";

        r.runTo(kNoon.plusMinutes(8));
        EXPECT_EQ(r.recordingNow().size(), static_cast<std::size_t>(tuners));
        r.runTo(kNoon.plusMinutes(60), 10s);
        for (int i = 0; i < 4 && tuners == 1; ++i) r.recorder.Timer2_Timer();
        EXPECT_EQ(r.status(kTitles[0]), "Recorded");
        if (tuners > 1) {
            EXPECT_EQ(r.status(kTitles[1]), "Recorded");
        }
        EXPECT_EQ(r.status(kTitles[2]), "Recorded");
        const auto titles = r.messages.titles();
        const auto told = std::count(titles.begin(), titles.end(), "Programme not recorded");
        EXPECT_EQ(told, tuners > 1 ? 0 : 1);
        if (told == 1) {
            const auto notice = std::find_if(r.messages.shown.begin(), r.messages.shown.end(),
                                             [](const auto& m) { return m.title == "Programme not recorded"; });
            EXPECT_NE(notice->text.find(kTitles[1]), std::string::npos) << notice->text;
            EXPECT_EQ(notice->text.find(kTitles[2]), std::string::npos) << notice->text;
        }
    }
}
