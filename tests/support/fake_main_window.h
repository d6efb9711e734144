#pragma once

#include "fake_window.h"
#include "recorder/engine/recorder.h"
#include "recorder/forms/main_window_port.h"

#include <optional>
#include <string>
#include <vector>

namespace kelbo::testing {

// The main window as the program's start-up and shutdown see it. What is
// asked of it goes to `journal` as "window: <call>"; point the journal at
// the scripted device's calls to see both in one order. Its timers fire
// only while started, into the recorder it was given, as the Qt timers do.
class FakeMainWindow : public MainWindowPort, public TimerPort {
public:
    // WindowPort
    bool isMinimised() const override { return minimised; }
    void setReloadScheduleEnabled(bool e) override { reloadEnabled = e; }
    void setLivePreviewEnabled(bool e) override { livePreviewEnabled = e; }
    void setStopButtonEnabled(bool e) override { stopEnabled = e; }
    bool isLivePreviewTicked() const override { return false; }

    // MainWindowPort
    StatusBarPort& statusBarPort() override { return statusBar; }
    TrayPort& trayPort() override { return tray; }
    TimerPort& timerPort() override { return *this; }
    void createPreview() override { note("createPreview"); }
    void buildFrames(const RecorderParts& p) override {
        note("buildFrames");
        parts.emplace(p);
    }
    void showAt(const WindowRect& placed) override {
        note("showAt");
        shownAt = placed;
    }
    void showMinimised() override {
        note("showMinimised");
        minimised = true;
    }
    void setCloseHandler(std::function<void()> handler) override { closeHandler = std::move(handler); }
    std::vector<ColumnState> columnStates() const override {
        note("columnStates");
        return columns;
    }
    WindowRect normalRect() const override {
        note("normalRect");
        return rect;
    }
    void closeChildWindows() override { note("closeChildWindows"); }
    void releaseFrames() override {
        note("releaseFrames");
        parts.reset();
    }

    // TimerPort
    void startTick() override {
        note("startTick");
        tickRunning = true;
    }
    void startWatcher() override {
        note("startWatcher");
        watcherRunning = true;
    }
    void stopTimers() override {
        note("stopTimers");
        tickRunning = watcherRunning = false;
    }

    // The user closes the window.
    void close() {
        if (closeHandler) closeHandler();
    }
    // A timeout of each timer; false when that timer is not running.
    bool fireTick() {
        if (!tickRunning || !parts) return false;
        parts->recorder.Timer1_Timer();
        return true;
    }
    bool fireWatcher() {
        if (!watcherRunning || !parts) return false;
        parts->recorder.Timer2_Timer();
        return true;
    }

    FakeStatusBar statusBar;
    FakeTray tray;
    std::vector<std::string> events;
    std::vector<std::string>* journal = &events;
    std::optional<RecorderParts> parts;
    std::function<void()> closeHandler;
    std::optional<WindowRect> shownAt;
    // What the shutdown reads.
    std::vector<ColumnState> columns;
    WindowRect rect;
    bool minimised = false;
    bool reloadEnabled = true;
    bool livePreviewEnabled = true;
    bool stopEnabled = false;
    bool tickRunning = false;
    bool watcherRunning = false;

private:
    void note(const std::string& call) const { journal->push_back("window: " + call); }
};

}  // namespace kelbo::testing
