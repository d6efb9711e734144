// How a rewrite of the schedule file takes in what another program (a text
// editor, the guide add-in) changed since the recorder last read or wrote it.
#include "schedule_document.h"

#include "dropped_records.h"
#include "record_merge.h"
#include "recorder/ports/log.h"

namespace kelbo {

namespace {

void logConflicts(const ScheduleItem& item, const std::vector<FieldConflict>& conflicts) {
    for (const FieldConflict& conflict : conflicts)
        log::warn(log::Area::Schedule, "Schedule: " + describeProgramme(item) + ": " + conflict.field + " was changed both here (\"" +
                  conflict.ours + "\") and in the file (\"" + conflict.theirs + "\"); keeping \"" + conflict.ours +
                  "\"");
}

}  // namespace

const ScheduleItem* ScheduleDocument::writtenForm(int slot) const {
    const auto& tracked = tracked_[static_cast<size_t>(slot)];
    if (!tracked || (holds(slot) && tracked->removedOutside)) return nullptr;
    return &tracked->written;
}

std::optional<ScheduleItem> ScheduleDocument::fileFormOf(int slot) const {
    const auto& tracked = tracked_[static_cast<size_t>(slot)];
    if (!holds(slot) || !tracked || !tracked->keptBack()) return table_[slot];
    if (tracked->removedOutside) return std::nullopt;
    std::vector<FieldConflict> conflicts;
    return mergeRecord(tracked->base, table_[slot], *tracked->outside, conflicts);
}

void ScheduleDocument::agreeWithFile(const std::vector<std::pair<int, ScheduleItem>>& written) {
    std::vector<std::optional<Tracked>> agreed(tracked_.size());
    for (const auto& [slot, item] : written) {
        auto& tracked = tracked_[static_cast<size_t>(slot)];
        if (holds(slot) && tracked && tracked->keptBack()) {
            tracked->written = item;
            agreed[static_cast<size_t>(slot)] = std::move(tracked);
        } else {
            agreed[static_cast<size_t>(slot)] = Tracked{item, item, std::nullopt, false};
        }
    }
    // A removal kept back stays known until the recording ends.
    for (const int held : heldSlots_) {
        auto& tracked = tracked_[static_cast<size_t>(held)];
        if (tracked && tracked->removedOutside) agreed[static_cast<size_t>(held)] = std::move(tracked);
    }
    tracked_ = std::move(agreed);
}

void ScheduleDocument::takeOutsideChange(int slot, const ScheduleItem& theirs) {
    Tracked& tracked = *tracked_[static_cast<size_t>(slot)];
    ScheduleItem& ours = table_[slot];
    if (holds(slot)) {
        tracked.outside = theirs;
        tracked.removedOutside = false;
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(ours) + " was changed in the file while it records; it "
                  "records on under its own times and takes the change when the recording ends");
        return;
    }
    // The recorder deleted the record (and may have given its slot to another).
    if (!ours.inUse() || programmeKey(ours) != programmeKey(tracked.base)) {
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(theirs) + " was changed in the file but deleted here; it "
                  "stays deleted");
        return;
    }
    std::vector<FieldConflict> conflicts;
    ScheduleItem merged = mergeRecord(tracked.base, ours, theirs, conflicts);
    logConflicts(ours, conflicts);
    if (merged == ours) return;
    log::info(log::Area::Schedule, "Schedule: took in the change of " + describeProgramme(merged) + " made in the file");
    schedule_.edit(schedule_.idAt(slot), std::move(merged));
    showAgain(slot);
}

void ScheduleDocument::takeOutsideRemoval(int slot) {
    ScheduleItem& ours = table_[slot];
    auto& tracked = tracked_[static_cast<size_t>(slot)];
    if (holds(slot)) {
        tracked->removedOutside = true;
        tracked->outside.reset();
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(ours) + " was removed from the file while it records; it "
                  "records on and leaves the schedule when the recording ends");
        return;
    }
    if (ours.inUse() && programmeKey(ours) == programmeKey(tracked->base)) {
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(ours) + " was removed from the file; removed here too");
        schedule_.remove(schedule_.idAt(slot));
        outsideChanges_ = true;
    }
    tracked.reset();
}

void ScheduleDocument::holdWhileRecording(int slot) {
    if (slot >= 0) heldSlots_.insert(slot);
}

bool ScheduleDocument::releaseHeld() {
    bool changed = false;
    while (!heldSlots_.empty()) changed = releaseHeld(*heldSlots_.begin()) || changed;
    return changed;
}

bool ScheduleDocument::releaseHeld(int slot) {
    if (heldSlots_.erase(slot) == 0 || !tracked_[static_cast<size_t>(slot)] || !tracked_[static_cast<size_t>(slot)]->keptBack())
        return false;
    Tracked& tracked = *tracked_[static_cast<size_t>(slot)];
    ScheduleItem& ours = table_[slot];
    if (tracked.removedOutside) {
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(ours) + " leaves the schedule, as it was removed from the file");
        schedule_.remove(schedule_.idAt(slot));
        tracked_[static_cast<size_t>(slot)].reset();
    } else {
        std::vector<FieldConflict> conflicts;
        schedule_.edit(schedule_.idAt(slot), mergeRecord(tracked.base, ours, *tracked.outside, conflicts));
        logConflicts(ours, conflicts);
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(ours) + " takes the change made in the file while it recorded");
        tracked = Tracked{tracked.written, tracked.written, std::nullopt, false};
        showAgain(slot);
    }
    outsideChanges_ = true;
    return true;
}

// A changed programme goes where its start now puts it.
void ScheduleDocument::showAgain(int slot) {
    schedule_.placeAgain(schedule_.idAt(slot));
    outsideChanges_ = true;
}

}  // namespace kelbo
