#pragma once

#include "live_preview.h"
#include "recorder_state.h"
#include "tuner.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder_view.h"

#include <functional>
#include <memory>
#include <vector>

namespace kelbo {

// What the program gives the recorder to work with; `device` is tuner 1's.
struct RecorderPorts {
    RecorderView& view;
    MessageBoxes& messages;
    const Clock& clock;
    CaptureDevice& device;
};

// Opens the capture device of tuner `number` (2 to 8); nothing when there
// is none (fewer capture cards than tuners).
using TunerOpener = std::function<std::unique_ptr<CaptureDevice>(int number)>;

// Everything the main window owns for the whole run, without the window:
// the live settings, the schedule, the tuners (each with the programme it
// records next, its recording and its tick), and the reloads of the
// schedule file.
class Recorder : private TunerCrowd {
    RecorderPorts ports_;  // first: the members below are built from it

public:
    explicit Recorder(RecorderPorts ports);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Load_Schedule, the programmes listed again and Find_Next_Schedule, in that order.
    void reloadSchedule();
    // The watcher: reloads when another program has changed the file.
    void Timer2_Timer();
    // "Reload Schedule": reloads whatever the file's date. While recording,
    // with several tuners it takes in the file's changes instead; with one
    // it is false (and nothing done).
    bool ReloadSchedule_Click();
    // The stop button: stops every recording; false when nothing was recording.
    bool stopRecording();
    // Stops the recording of one programme; false when no tuner records it.
    bool stopRecording(ProgrammeId id);
    RecorderState state() const override;
    // Gives the part files of recordings that were cut short by a crash or
    // a power loss their final names; run after the first load of the
    // schedule, before the first tick.
    void recoverInterruptedRecordings();
    // Ends a recording in progress so its parts are complete files under
    // their final names; the program is about to end.
    void shutDown();

    // Any tuner records.
    bool recording() const;

    // Tuners 2 on are opened with `opener` as the Tuners setting asks, at
    // the next tick or reload; fewer are closed once they are free.
    void setTunerOpener(TunerOpener opener);
    int tunerCount() const { return static_cast<int>(tuners_.size()); }
    CaptureDevice& tunerDevice(int number) { return tuners_.at(static_cast<size_t>(number - 1))->device(); }
    // The programmes tuners 2 on have taken; told again whenever that changes.
    std::vector<ProgrammeId> otherTunersProgrammes() const;
    void setOtherTunersListener(std::function<void()> listener) { otherTunersChanged_ = std::move(listener); }

    // The tuner the live preview shows (1 unless chosen in the View menu).
    int previewTuner() const override { return previewTuner_; }
    // Watches tuner `number` instead: the preview moves to its device; told
    // to the listener (which moves the picture's sink) before it starts.
    void choosePreviewTuner(int number);
    using PreviewMove = std::function<void(CaptureDevice& from, CaptureDevice& to)>;
    void setPreviewMoveListener(PreviewMove listener) { previewMoved_ = std::move(listener); }

    // The 400 ms tick.
    void Timer1_Timer();
    // The Live Preview menu entry, and whether it is ticked.
    void IsLivePreview_Click();
    bool livePreviewTicked() const;

    // What the windows' forms edit in place: they share these with the
    // recording, so that a change is seen by the next tick.
    LiveSettings& settings() { return settings_; }
    const LiveSettings& settings() const { return settings_; }
    ScheduleDocument& document() { return document_; }
    const ScheduleDocument& document() const { return document_; }
    NextProgramme& next() { return first().next(); }
    const NextProgramme& next() const { return first().next(); }

private:
    class TunerChoices;

    Tuner& first() { return *tuners_.front(); }
    const Tuner& first() const { return *tuners_.front(); }
    TunerServices services();
    void addTuner(std::unique_ptr<CaptureDevice> device);
    void matchTuners();
    void listenTo(Tuner& tuner);
    bool takenByOthers(const Tuner& tuner, ProgrammeId id) const;
    void tickOthers();
    void takeInOutsideChanges();
    // TunerCrowd
    RecorderState withOtherTuners(RecorderState first) const override;
    bool anyRecording() const override { return recording(); }
    bool othersCapturing(int tuner) const override;

    LiveSettings settings_;
    ScheduleDocument document_;
    std::vector<std::unique_ptr<Tuner>> tuners_;  // tuner 1 first
    std::unique_ptr<TunerChoices> choices_;
    LivePreview livePreview_;
    TunerOpener opener_;
    int openedFor_ = 1;  // the Tuners setting the opener was last asked for
    std::function<void()> otherTunersChanged_;
    int previewTuner_ = 1;
    PreviewMove previewMoved_;
};

}  // namespace kelbo
