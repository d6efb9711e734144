#pragma once

#include "recorder/schedule/programme.h"

#include <functional>
#include <optional>

namespace kelbo {

class NextProgramme;
class ScheduleDocument;

// The one way the windows change the schedule: the change made through the
// model (the list follows it), the next programme chosen again where the
// change may move it, and the file rewritten.
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

private:
    ScheduleDocument& document_;
    NextProgramme& next_;
};

}  // namespace kelbo
