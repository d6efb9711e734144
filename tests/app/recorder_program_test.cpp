// The program's start-up and shutdown without a display: the scripted
// device, a fixed clock and a fake main window whose calls land among the
// device's in one journal.
#include "recorder/forms/schedule_listing.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/app/recorder_program.h"
#include "recorder/device/templates.h"
#include "recorder/engine/recorder.h"
#include "recorder/forms/column_layout_store.h"
#include "recorder/forms/schedule_commands.h"
#include "support/fake_main_window.h"
#include "support/recorder_rig.h"
#include "support/scoped_state_home.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kNow = DateTime::fromCivil(2026, 12, 7, 12, 0);

class RecorderProgramTest : public ::testing::Test {
protected:
    RecorderProgramTest()
        : store(dir / "registry.ini"), clock(toInstant(kNow)), made(std::make_unique<ScriptedCaptureDevice>()),
          device(*made) {
        store.SaveSetting(settings::kDefaults, settings::kTemplate, "Long Play");
        store.SaveSetting(settings::kDefaults, settings::kScheduleFile, (dir / "Saved.txt").string());
        store.SaveSetting(settings::kDefaults, settings::kFileString, (dir / "tv-%programme%.mpg").string());
        device.registryKey = (dir / "device").string();
        const std::filesystem::path templates = templateKeyFor(device.registryKey);
        std::filesystem::create_directories(templates);
        writeFile(templates / "DVD Full Quality.tmpl", "Size=D1\n");
        writeFile(templates / "Long Play.tmpl", "Size=D1\n");
        window.journal = &device.calls;
    }

    bool start() {
        return program.startUp(window, [this]() -> std::unique_ptr<CaptureDevice> {
            device.calls.push_back("opened");
            return std::move(made);
        });
    }

    // Where `call` first stands in the journal; past its end when absent.
    long at(const std::string& call) const {
        const auto& j = device.calls;
        return std::find(j.begin(), j.end(), call) - j.begin();
    }
    long end() const { return static_cast<long>(device.calls.size()); }

    ScopedStateHome state;
    TempDir dir;
    SettingsStore store;
    RecordingMessageBoxes messages;
    FixedClock clock;
    std::unique_ptr<ScriptedCaptureDevice> made;
    ScriptedCaptureDevice& device;
    FakeMainWindow window;  // outlives the program
    app::RecorderProgram program{app::ProgramServices{store, messages, clock, dir.path().string(), {}}};
};

LiveSettings& settingsOf(app::RecorderProgram& program) { return program.recorder().settings(); }

}  // namespace

TEST_F(RecorderProgramTest, StartsUpInOrderWithTheStoredSettingsScheduleAndWindowPlace) {
    writeFile(dir / "Saved.txt", programme("Later", kNow.plusMinutes(60), 30).text() +
                                     programme("Soon", kNow.plusMinutes(10), 30).text());
    ColumnLayout saved = ColumnLayout::defaults();
    saved.set(Column::Programme, saved.position(Column::Date), 2000);
    saved.set(Column::Date, ColumnLayout::defaults().position(Column::Programme), 900);
    std::vector<ColumnState> states;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        states.push_back({headerText(column), saved.position(column), saved.width(column)});
    }
    Save_Layout(store, states);
    saveWindowRect(store, 1500, 3000, 12000, 7500);

    ASSERT_TRUE(start());
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].title;

    // The preview exists before the device draws into it; the device is set
    // up before the recorder's settings reach it; the window is built over
    // the loaded schedule, shown, and only then do the timers run.
    EXPECT_LT(at("window: createPreview"), at("opened"));
    EXPECT_LT(at("opened"), at("setMember135 1"));
    EXPECT_LT(at("setMember116 32"), at("window: buildFrames"));
    EXPECT_LT(at("window: buildFrames"), at("window: showAt"));
    EXPECT_LT(at("window: showAt"), at("window: startTick"));
    EXPECT_LT(at("window: startTick"), end());
    EXPECT_LT(at("window: startWatcher"), end());
    EXPECT_EQ(at("window: showMinimised"), end());

    // The stored settings, not the defaults: template, schedule file, names.
    Recorder& r = program.recorder();
    EXPECT_EQ(r.settings().Template, "Long Play");
    EXPECT_EQ(r.settings().ScheduleFile, (dir / "Saved.txt").string());
    ASSERT_TRUE(window.parts);
    EXPECT_EQ(&window.parts->recorder, &r);
    EXPECT_EQ(&window.parts->device, &program.device());

    // The schedule from that file, sorted, its next programme chosen, and
    // the columns as the user left them.
    ASSERT_EQ(program.listing().list().rowCount(), 2);
    EXPECT_EQ(program.listing().list().cell(1, Column::Programme), "Soon");
    EXPECT_EQ(program.listing().NextRow(), 1);
    EXPECT_EQ(program.listing().list().layout().position(Column::Programme), saved.position(Column::Programme));
    EXPECT_EQ(program.listing().list().layout().width(Column::Programme), 2000);

    ASSERT_TRUE(window.shownAt);
    EXPECT_EQ(*window.shownAt, (WindowRect{1500, 3000, 12000, 7500}));
}

TEST_F(RecorderProgramTest, AProgrammeDueAtStartUpRecordsAtTheFirstTickWithTheStoredSettings) {
    writeFile(dir / "Saved.txt", programme("Running", kNow.plusMinutes(-5), 30).text());
    ASSERT_TRUE(start());
    const std::string startCapture = "StartCapture " + (dir / "tv-Running1[1.].mpg").string();
    EXPECT_EQ(device.count(startCapture), 0) << "nothing records before the tick runs";

    ASSERT_TRUE(window.fireTick());
    EXPECT_EQ(device.count(startCapture), 1) << ::testing::PrintToString(device.calls);
    EXPECT_EQ(device.count("setRecordingTemplate Long Play"), 1);
    EXPECT_TRUE(program.recorder().recording());
    EXPECT_EQ(program.listing().list().cell(1, Column::Status), "Recording");
    EXPECT_TRUE(window.stopEnabled);
}

TEST_F(RecorderProgramTest, EveryProgrammeATunerRecordsIsRedAndCannotBeDeleted) {
    store.SaveSetting(settings::kDefaults, settings::kTuners, "2");
    writeFile(dir / "Saved.txt", programme("Quiz", kNow.plusMinutes(-5), 30, "1").text() +
                                     programme("Новости", kNow.plusMinutes(-2), 20, "2").text() +
                                     programme("Later", kNow.plusMinutes(90), 30, "3").text());
    std::vector<ScriptedCaptureDevice*> others;
    ASSERT_TRUE(program.startUp(window, [this]() -> std::unique_ptr<CaptureDevice> { return std::move(made); },
                                [&others](int) {
                                    auto tuner = std::make_unique<ScriptedCaptureDevice>();
                                    others.push_back(tuner.get());
                                    return tuner;
                                }));
    ScheduleList& list = program.listing().list();
    ASSERT_EQ(list.cell(2, Column::Programme), "Новости");
    EXPECT_EQ(list.rowColour(2), colour::kBlack) << "no tuner has it yet";

    ASSERT_TRUE(window.fireTick());
    ASSERT_TRUE(window.fireTick());
    ASSERT_EQ(others.size(), 1u);
    ASSERT_EQ(others[0]->state, CaptureDevice::Recording) << ::testing::PrintToString(others[0]->calls);
    EXPECT_EQ(list.rowColour(1), colour::kRed) << "tuner 1";
    EXPECT_EQ(list.rowColour(2), colour::kRed) << "tuner 2";
    EXPECT_EQ(list.rowColour(3), colour::kBlack);

    // Neither can be deleted while it records.
    settingsOf(program).ExpertMode = true;
    for (const int row : {1, 2}) {
        list.select(row);
        messages.shown.clear();
        window.parts->commands.Delete_Selected_Item();
        ASSERT_EQ(messages.shown.size(), 1u) << row;
        EXPECT_EQ(messages.shown[0].title, "Delete Error");
        EXPECT_EQ(list.rowCount(), 3);
    }

    // Stopped, tuner 2's row has its own colour back and can go.
    ASSERT_TRUE(program.recorder().stopRecording(program.listing().idOfRow(2)));
    ASSERT_TRUE(window.fireTick());
    EXPECT_EQ(list.rowColour(2), colour::kBlack);
    EXPECT_EQ(list.rowColour(1), colour::kRed);
    messages.shown.clear();
    list.select(2);
    window.parts->commands.Delete_Selected_Item();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(list.rowCount(), 2);
}

TEST_F(RecorderProgramTest, ShutdownStopsTheTimersSavesTheLayoutThenEndsTheRecording) {
    writeFile(dir / "Saved.txt", programme("Running", kNow.plusMinutes(-5), 30).text());
    ASSERT_TRUE(start());
    ASSERT_TRUE(window.fireTick());
    ASSERT_TRUE(program.recorder().recording());

    ColumnLayout moved = ColumnLayout::defaults();
    moved.set(Column::Channel, moved.position(Column::Channel), 3210);
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        window.columns.push_back({headerText(column), moved.position(column), moved.width(column)});
    }
    window.rect = {450, 600, 11400, 6000};
    const long before = end();
    window.close();

    // Timers first, so no tick runs into the shutdown; the layout before
    // the stop, which may take a while; the preview and tray last.
    EXPECT_GT(at("window: stopTimers"), before - 1);
    EXPECT_LT(at("window: stopTimers"), at("window: columnStates"));
    EXPECT_LT(at("window: normalRect"), at("StopCapture"));
    EXPECT_LT(at("StopCapture"), at("window: closeChildWindows"));
    EXPECT_LT(at("window: closeChildWindows"), end());
    EXPECT_FALSE(program.recorder().recording());
    EXPECT_FALSE(window.fireTick());
    EXPECT_FALSE(window.fireWatcher());

    EXPECT_EQ(Load_Column_Layout(store).width(Column::Channel), 3210);
    const WindowRect rect = readWindowRect(store);
    EXPECT_EQ(rect, (WindowRect{450, 600, 11400, 6000}));
    // The programme records on after a restart.
    EXPECT_NE(readFile(dir / "Saved.txt").find("Failed"), std::string::npos);

    // A second close (the signal, then the close box) does it once.
    const long after = end();
    window.close();
    EXPECT_EQ(end(), after);
}

TEST_F(RecorderProgramTest, StartsInTheTrayWhenAskedOnceTheTimersRun) {
    store.SaveSetting(settings::kDefaults, settings::kStartInSystemTray, "1");
    writeFile(dir / "Saved.txt", "");
    ASSERT_TRUE(start());
    EXPECT_LT(at("window: startWatcher"), at("window: showMinimised"));
    EXPECT_LT(at("window: showMinimised"), end());
    ASSERT_FALSE(window.tray.images.empty());
    EXPECT_EQ(window.tray.images.back(), TrayImage::Stopped);
    EXPECT_TRUE(program.recorder().settings().MinimizeToSystem);
}

TEST_F(RecorderProgramTest, ADeviceThatFailsToOpenEndsTheStartUpBeforeAnythingIsShown) {
    const bool started = program.startUp(window, [this]() -> std::unique_ptr<CaptureDevice> {
        // As the device factory does when GStreamer or an element is missing.
        messages.show("Error", "You do not have a Dazzle DVCII card installed!", MessageBoxes::Icon::Critical,
                      MessageBoxes::Buttons::Ok);
        return nullptr;
    });
    EXPECT_FALSE(started);
    ASSERT_EQ(messages.shown.size(), 1u) << "the opener's report, and nothing more";
    EXPECT_EQ(device.calls, (std::vector<std::string>{"window: createPreview"}));

    // Closing the window now saves nothing over the user's layout.
    window.close();
    EXPECT_EQ(device.calls.size(), 1u);
    EXPECT_EQ(store.GetSetting(settings::kDefaults, settings::kPositionLeft), "");
}

TEST_F(RecorderProgramTest, MissingRecordingTemplatesEndTheStartUpCleanly) {
    std::filesystem::remove_all(templateKeyFor(device.registryKey));
    writeFile(dir / "Saved.txt", programme("Soon", kNow.plusMinutes(10), 30).text());
    EXPECT_FALSE(start());
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(at("window: buildFrames"), end());
    EXPECT_EQ(at("window: showAt"), end());
    EXPECT_EQ(at("window: startTick"), end());
    EXPECT_FALSE(window.fireTick());
    window.close();
    EXPECT_EQ(at("window: stopTimers"), end());
}

// The picture and standard chosen in Options while previewing outlive the
// run: the next start gives them to the device before it shows or records
// anything, and the programme due then records with them.
TEST_F(RecorderProgramTest, PictureAndStandardChosenInOptionsReachTheDeviceAfterARestart) {
    writeFile(dir / "Saved.txt", "");
    ASSERT_TRUE(start());
    device.state = CaptureDevice::Previewing;
    OptionsForm& options = program.options();
    options.OptionsMenu_Click();
    options.pictureScrolled(PictureControl::Brightness, 8000);
    options.choosePal(false);
    options.Command_OK_Click();
    ASSERT_EQ(device.VideoStandard(), CaptureDevice::NTSC);
    window.close();

    writeFile(dir / "Saved.txt", programme("Running", kNow.plusMinutes(-5), 30).text());
    auto reopened = std::make_unique<ScriptedCaptureDevice>();
    ScriptedCaptureDevice& second = *reopened;
    second.registryKey = device.registryKey;
    FakeMainWindow secondWindow;
    secondWindow.journal = &second.calls;
    app::RecorderProgram restarted{app::ProgramServices{store, messages, clock, dir.path().string(), {}}};
    ASSERT_TRUE(restarted.startUp(secondWindow, [&]() -> std::unique_ptr<CaptureDevice> { return std::move(reopened); }));
    ASSERT_TRUE(secondWindow.fireTick());

    const auto& calls = second.calls;
    const auto first = [&calls](const std::string& prefix) {
        return std::find_if(calls.begin(), calls.end(),
                            [&prefix](const std::string& c) { return c.rfind(prefix, 0) == 0; }) -
               calls.begin();
    };
    EXPECT_LT(first("setBrightness 8000"), first("StartCapture"));
    EXPECT_LT(first("setVideoStandard 53"), first("CommitVideoSettings"));
    EXPECT_LT(first("CommitVideoSettings"), first("StartCapture"));
    EXPECT_EQ(first("StartPreview"), static_cast<long>(calls.size())) << "no preview before the settings";
    EXPECT_LT(first("StartCapture"), static_cast<long>(calls.size())) << ::testing::PrintToString(calls);
    EXPECT_EQ(second.VideoStandard(), CaptureDevice::NTSC);
    EXPECT_EQ(second.Brightness(), 8000);
    EXPECT_FALSE(restarted.options().pal());
    EXPECT_EQ(restarted.options().pictureText(PictureControl::Brightness), "8000");
    secondWindow.close();
}
