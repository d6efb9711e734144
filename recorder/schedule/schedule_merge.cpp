// How a rewrite of the schedule file takes in what another program (a text
// editor, the guide add-in) changed since the recorder last read or wrote it.
#include "schedule_document.h"

#include "dropped_records.h"
#include "record_merge.h"
#include "slot_choice.h"
#include "recorder/ports/log.h"
#include "common/schedule_format.h"

#include <fstream>
#include <unordered_map>

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
    deletedHere_.clear();  // the file holds them no more
}

void ScheduleDocument::setAsideDeletedHere() {
    for (int slot = 0; slot < ScheduleTable::kSlots; ++slot) {
        auto& tracked = tracked_[static_cast<size_t>(slot)];
        if (!tracked || holds(slot)) continue;
        const ScheduleItem& ours = table_[slot];
        if (ours.inUse() && programmeKey(ours) == programmeKey(tracked->base)) continue;
        deletedHere_.push_back(std::move(tracked->written));
        tracked.reset();
    }
}

const ScheduleItem* ScheduleDocument::knownForm(int known) const {
    if (known < ScheduleTable::kSlots) return writtenForm(known);
    return &deletedHere_[static_cast<size_t>(known - ScheduleTable::kSlots)];
}

void ScheduleDocument::takeOutsideChange(int slot, const ScheduleItem& theirs) {
    Tracked& tracked = *tracked_[static_cast<size_t>(slot)];
    ScheduleItem& ours = table_[slot];
    // The file holds `theirs` now; should this rewrite not get to replace
    // it, the next one merges from there, and a field changed again outside
    // takes the newer value.
    if (holds(slot)) {
        tracked.outside = theirs;
        tracked.written = theirs;
        tracked.removedOutside = false;
        log::info(log::Area::Schedule, "Schedule: " + describeProgramme(ours) + " was changed in the file while it records; it "
                  "records on under its own times and takes the change when the recording ends");
        return;
    }
    std::vector<FieldConflict> conflicts;
    ScheduleItem merged = mergeRecord(tracked.base, ours, theirs, conflicts);
    logConflicts(ours, conflicts);
    tracked = Tracked{theirs, theirs, std::nullopt, false};
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

bool ScheduleDocument::matchOldRecords(const std::filesystem::path& file, bool changed,
                                       OldRecords& old, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "the changed file cannot be read";
        return false;
    }
    setAsideDeletedHere();
    // The file's records as the recorder last wrote, read or merged them:
    // each slot's, then those of programmes deleted here.
    const int known = ScheduleTable::kSlots + static_cast<int>(deletedHere_.size());
    std::unordered_multimap<std::uint64_t, int> asWritten;
    for (int k = 0; k < known; ++k)
        if (const ScheduleItem* written = knownForm(k)) asWritten.emplace(recordHash(*written), k);
    std::vector<bool> found(static_cast<size_t>(known));
    const DateTime now = clock_.localNow();
    // Records the recorder did not write as they stand: changed, or added by
    // someone else. Dealt with once the whole file has been read; twice the
    // table's size is all that can be matched or find a slot.
    std::vector<std::pair<long, ReadRecord>> others;
    long ordinal = -1;
    ScheduleReader reader(in);
    while (auto read = reader.next()) {
        if (!read->accepted) continue;
        ++ordinal;
        auto [it, end] = asWritten.equal_range(recordHash(read->item));
        while (it != end && found[static_cast<size_t>(it->second)]) ++it;
        if (it != end) {
            found[static_cast<size_t>(it->second)] = true;
            old.represented.insert(ordinal);
        } else if (!changed) {
            continue;  // left out by the last load; copied as it is
        } else if (others.size() < 2 * static_cast<size_t>(ScheduleTable::kSlots)) {
            others.emplace_back(ordinal, std::move(*read));
        } else if (stillToCome(read->item, settings_.EndBuffer, now)) {
            ++old.comingLeftOut;
        }
    }
    if (reader.failed()) {
        error = "the changed file cannot be read to the end";
        return false;
    }
    if (!changed) return true;

    // A record whose programme the recorder wrote, but not as it stands, was
    // changed outside; one the file no longer has was removed outside.
    std::unordered_multimap<std::string, int> byProgramme;
    for (int k = 0; k < known; ++k)
        if (const ScheduleItem* written = knownForm(k); written && !found[static_cast<size_t>(k)])
            byProgramme.emplace(programmeKey(*written), k);
    std::vector<std::pair<long, ReadRecord>> added;
    for (auto& [position, record] : others) {
        auto [it, end] = byProgramme.equal_range(programmeKey(record.item));
        while (it != end && found[static_cast<size_t>(it->second)]) ++it;
        if (it == end) {
            added.emplace_back(position, std::move(record));
            continue;
        }
        found[static_cast<size_t>(it->second)] = true;
        old.represented.insert(position);
        if (it->second < ScheduleTable::kSlots) {
            takeOutsideChange(it->second, record.item);
        } else {
            log::info(log::Area::Schedule, "Schedule: " + describeProgramme(record.item) +
                      " was changed in the file but deleted here; it stays deleted");
            deletedHere_[static_cast<size_t>(it->second - ScheduleTable::kSlots)] = record.item;
        }
    }
    for (int slot = 0; slot < ScheduleTable::kSlots; ++slot)
        if (!found[static_cast<size_t>(slot)] && writtenForm(slot)) takeOutsideRemoval(slot);
    // A record deleted on both sides is known no more.
    std::vector<ScheduleItem> stillInFile;
    for (size_t i = 0; i < deletedHere_.size(); ++i)
        if (found[ScheduleTable::kSlots + i]) stillInFile.push_back(std::move(deletedHere_[i]));
    deletedHere_ = std::move(stillInFile);
    const Instant takenAt = clock_.now();
    for (const auto& [position, record] : added) {
        if (const auto id = schedule_.add(record.item)) {
            // Known from now on as the file holds it, so that a rewrite that
            // has to read the file again does not add it twice.
            if (const int slot = schedule_.slotOf(*id); slot >= 0) {
                auto& tracked = tracked_[static_cast<size_t>(slot)];
                // An incomplete record the add took over is gone here.
                if (tracked) deletedHere_.push_back(std::move(tracked->written));
                tracked = Tracked{record.item, record.item, std::nullopt, false};
            }
            old.represented.insert(position);
            outsideChanges_ = true;
            log::info(log::Area::Schedule, "Schedule: took in " + describeProgramme(record.item) + ", added to the file outside");
            const auto times = schedule_.timesOf(*id);
            if (times && fileSeenAt_ && times->bufferedEnd > *fileSeenAt_ && times->bufferedEnd <= takenAt)
                old.passedUnseen.push_back(describeProgramme(record.item));
        } else if (stillToCome(record.item, settings_.EndBuffer, now)) {
            ++old.comingLeftOut;
        }
    }
    return true;
}

// A changed programme goes where its start now puts it.
void ScheduleDocument::showAgain(int slot) {
    schedule_.placeAgain(schedule_.idAt(slot));
    outsideChanges_ = true;
}

}  // namespace kelbo
