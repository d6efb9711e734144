#include "schedule_editor.h"

#include "next_programme.h"
#include "schedule_document.h"

namespace kelbo {

void ScheduleEditor::edit(ProgrammeId id, const std::function<void(ScheduleItem&)>& change, Timing timing) {
    const ScheduleItem* stored = document_.schedule().stored(id);
    if (!stored) return;
    ScheduleItem item = *stored;
    change(item);
    document_.schedule().edit(id, std::move(item));
    if (timing == Timing::MayChange) next_.Find_Next_Schedule();
    document_.Write_Schedule();
}

void ScheduleEditor::remove(ProgrammeId id) {
    document_.schedule().remove(id);
    document_.Write_Schedule();
    next_.Find_Next_Schedule();
}

std::optional<ProgrammeId> ScheduleEditor::add(ScheduleItem item, bool recording) {
    const auto id = document_.schedule().add(std::move(item));
    if (!id) return std::nullopt;
    document_.schedule().listAll();
    if (!recording) {
        next_.Find_Next_Schedule();
    } else {
        // The next programme is kept by id, so the recording's finish finds
        // it wherever the start order put it.
        next_.findClashesKeepingChoice();
    }
    document_.Write_Schedule();
    return id;
}

void ScheduleEditor::markFailed(ProgrammeId id) {
    Schedule& schedule = document_.schedule();
    if (schedule.stored(id) == nullptr || schedule.statusOf(id) == ProgrammeStatus::Failed) return;
    if (schedule.setStatus(id, ProgrammeStatus::Failed)) document_.Write_Schedule();
}

void ScheduleEditor::recordingBegins(ProgrammeId id) {
    document_.schedule().setStatus(id, ProgrammeStatus::Recording);
    document_.holdWhileRecording(document_.schedule().slotOf(id));
    document_.Write_Schedule();
}

void ScheduleEditor::recordingEnds(ProgrammeId id, ProgrammeStatus outcome) {
    document_.schedule().setStatus(id, outcome);
    document_.Write_Schedule();
}

void ScheduleEditor::afterRecording(ProgrammeId id) {
    if (document_.releaseHeld(document_.schedule().slotOf(id))) document_.Write_Schedule();
    next_.Find_Next_Schedule();
}

void ScheduleEditor::recordingStopped(ProgrammeId id) {
    const int slot = document_.schedule().slotOf(id);
    document_.schedule().setStatus(id, ProgrammeStatus::Stopped);
    next_.moveOnFrom(id);
    document_.releaseHeld(slot);
    document_.Write_Schedule();
}

}  // namespace kelbo
