#include "schedule_editor.h"

#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"

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

}  // namespace kelbo
