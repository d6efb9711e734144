#pragma once

#include "recorder_context.h"
#include "common/clock.h"

#include <optional>
#include <string>
#include <vector>

namespace kelbo {

// Starting, splitting and ending the recording of the next programme.
//
// Starting does not wait on the user-interface thread: StartCapture is
// issued and the outcome is judged when the device reports its state, or at
// the latest one second later (the tick calls resolvePendingStart).
class RecordingSession {
public:
    explicit RecordingSession(RecorderContext context);

    // Called by the tick, with PartNumber set to 1 first.
    void Start_Recording();
    void Split_Recording();
    void Finish_Recording();
    // The stop button: does nothing unless the device records.
    void Stop_Recording();

    // Judges a start in progress: success once the device records, failure
    // when it still does not one second after StartCapture.
    void resolvePendingStart();
    bool startPending() const { return pending_.has_value(); }
    // The device has stopped after recording this programme for as long as
    // it had left when it started: its real end has passed, whatever the
    // wall clock, which may have been set back, says now.
    bool ranToItsEnd() const;

    // Recording state.
    std::string CurrentFile;
    int PartNumber = 1;
    int FileNumber = 1;
    int StartAttempts = 0;

private:
    std::string baseName() const;
    void markFailed(int row);
    void startSucceeded();
    void startFailed();
    void Rename_Parts();
    void forgetCapture();
    void Restore_Preview();

    RecorderContext c_;
    struct PendingStart {
        Instant deadline;
    };
    std::optional<PendingStart> pending_;
    // The table slot whose recording has reached the device, and the files
    // it was given, so that only an item with a file of its own is marked
    // "Recorded".
    std::optional<int> capturedSlot_;
    std::vector<std::string> capturedFiles_;
    // When the programme really ends, on a clock that no setting moves.
    std::optional<Clock::Steady> realEnd_;
};

}  // namespace kelbo
