#pragma once

#include "recorder/schedule/programme.h"

#include <functional>
#include <optional>

namespace kelbo {

class NextProgramme;
class ScheduleDocument;

// The one way the schedule is changed, by the windows and by the recording:
// the change made through the model (the list follows it), the next
// programme chosen again where the change may move it, and the file
// rewritten.
class ScheduleEditor {
public:
    ScheduleEditor(ScheduleDocument& document, NextProgramme& next) : document_(document), next_(next) {}

    enum class Timing { Kept, MayChange };
    // One programme's record changed by `change`. When its timing may have
    // changed the next programme is chosen again before the rewrite, so a
    // duplicate that choice drops leaves the file.
    void edit(ProgrammeId id, const std::function<void(ScheduleItem&)>& change, Timing timing);
    // The programme leaves its slot, the list and the file; then the next
    // programme is chosen again.
    void remove(ProgrammeId id);
    // A new programme in the first free slot, every programme listed again;
    // none when the slots are full. During a recording the programme
    // recorded stays the next one and is shown so.
    std::optional<ProgrammeId> add(ScheduleItem item, bool recording);

    // The recording's changes.
    // Marks the programme failed; the file is rewritten when that changed it.
    void markFailed(ProgrammeId id);
    // The programme records: "Recording" in the model while the file keeps
    // "Failed" until it ends, and a change made outside to its record waits
    // until then.
    void recordingBegins(ProgrammeId id);
    // The recording has ended with `outcome`.
    void recordingEnds(ProgrammeId id, ProgrammeStatus outcome);
    // A change made outside while `id` recorded is taken in now, and the
    // next programme is chosen.
    void afterRecording(ProgrammeId id);
    // The user stopped it: kept as stopped, so no later choice takes it up
    // again, and on to the following programme in start order, whatever
    // its times.
    void recordingStopped(ProgrammeId id);

private:
    ScheduleDocument& document_;
    NextProgramme& next_;
};

}  // namespace kelbo
