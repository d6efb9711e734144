#include "recorder_program.h"

#include "common/settings_store.h"
#include "recorder/device/capture_device.h"
#include "recorder/device/templates.h"
#include "recorder/engine/recorder.h"
#include "recorder/forms/column_layout_store.h"
#include "recorder/forms/detail_pane.h"
#include "recorder/forms/example_file_name.h"
#include "recorder/forms/schedule_commands.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/forms/settings_loader.h"

namespace kelbo::app {

RecorderProgram::RecorderProgram(ProgramServices services) : services_(std::move(services)) {}

RecorderProgram::~RecorderProgram() {
    // The widgets show the recorder's state and the recorder refers to the
    // device: they go in that order.
    if (window_) window_->releaseFrames();
    options_.reset();
    commands_.reset();
    pane_.reset();
    if (recorder_) recorder_->setOtherTunersListener({});
    listing_.reset();
    recorder_.reset();
    device_.reset();
}

bool RecorderProgram::openRecorder(const DeviceOpener& openDevice) {
    window_->createPreview();
    device_ = openDevice();
    if (!device_) return false;
    panels_ = std::make_unique<StatusPanels>(window_->statusBarPort(), *window_, window_->trayPort());
    recorder_ = std::make_unique<Recorder>(RecorderPorts{*panels_, services_.messages, services_.clock, *device_});
    listing_ = std::make_unique<ScheduleListing>(recorder_->document(), recorder_->next());
    recorder_->setOtherTunersListener([this] { listing_->showOtherTuners(recorder_->otherTunersProgrammes()); });
    device_->setMember135(true);
    device_->setPreviewWhileCapturing(true);
    device_->setMember116(32);
    return true;
}

bool RecorderProgram::startUp(MainWindowPort& window, const DeviceOpener& openDevice, TunerOpener openTuner) {
    window_ = &window;
    window.setCloseHandler([this] { shutDown(); });
    if (!openRecorder(openDevice)) return false;

    options_ = std::make_unique<OptionsForm>(recorder_->settings(), *device_, services_.store,
                                             services_.messages, *this);
    options_->setCaptureSources(services_.captureSources);
    if (Load_Settings(*options_, templateKeyFor(device_->DeviceRegistryKey()), services_.defaultFolders) ==
        SettingsLoadResult::EndProgram)
        return false;

    Recorder& r = *recorder_;
    if (openTuner) r.setTunerOpener(std::move(openTuner));
    listing_->list().setLayout(Load_Column_Layout(services_.store));
    pane_ = std::make_unique<DetailPane>(*listing_, r.settings(), services_.clock, services_.messages);
    commands_ = std::make_unique<ScheduleCommands>(*listing_, *device_, r.settings(), services_.messages);
    commands_->setStopAction([this] { recorder_->stopRecording(); });
    window.buildFrames(RecorderParts{r, *listing_, *device_, *options_, *pane_, *commands_});
    r.reloadSchedule();
    r.recoverInterruptedRecordings();

    window.showAt(readWindowRect(services_.store));
    started_ = true;
    window.timerPort().startTick();
    window.timerPort().startWatcher();
    if (r.settings().StartInSystemTray) {
        window.trayPort().setImage(TrayImage::Stopped);
        window.showMinimised();
    }
    return true;
}

void RecorderProgram::saveWindowLayout() {
    Save_Layout(services_.store, window_->columnStates());
    const WindowRect rect = window_->normalRect();
    saveWindowRect(services_.store, rect.left, rect.top, rect.width, rect.height);
}

void RecorderProgram::shutDown() {
    if (!started_ || shutDown_) return;
    shutDown_ = true;
    window_->timerPort().stopTimers();
    // Saved before the recording is ended, which may take a while.
    saveWindowLayout();
    recorder_->shutDown();
    window_->closeChildWindows();
}

void RecorderProgram::reloadSchedule() { recorder_->reloadSchedule(); }

std::string RecorderProgram::exampleFileName() {
    return Example_FileName(listing_->list(), 1, recorder_->settings().FileString);
}

}  // namespace kelbo::app
