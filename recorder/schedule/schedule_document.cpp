#include "schedule_document.h"

#include "recorder/ports/log.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "dropped_records.h"
#include "record_merge.h"
#include "slot_choice.h"
#include "common/atomic_file.h"
#include "common/file_lock.h"
#include "common/host_paths.h"
#include "common/schedule_format.h"
#include "common/text_util.h"
#include "recorder/schedule/file_naming.h"

#include <cmath>
#include <fstream>

namespace kelbo {

namespace {

bool isRegularFile(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

}  // namespace

std::optional<FileStamp> stampOf(const std::filesystem::path& file) {
    std::error_code ec;
    const auto modified = std::filesystem::last_write_time(file, ec);
    if (ec) return std::nullopt;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return std::nullopt;
    return FileStamp{modified, size};
}

ScheduleDocument::ScheduleDocument(const LiveSettings& settings, MessageBoxes& messages,
                                   const Clock& clock)
    : settings_(settings), messages_(messages), clock_(clock),
      schedule_(settings.StartBuffer, settings.EndBuffer) {}

const Clock& ScheduleDocument::systemClock() {
    static const SystemClock clock;
    return clock;
}

std::filesystem::path ScheduleDocument::scheduleFilePath() const {
    return toHostPath(settings_.ScheduleFile);
}

namespace {

// How many dropped programmes a notice names.
constexpr std::size_t kNamed = 10;

// A programme as the user knows it, whatever else a hand edit spoilt.
std::string shownAs(const ScheduleItem& item) {
    return item.ProgrammeName + '\0' + item.StartDate + '\0' + item.StartTime;
}

}  // namespace

void ScheduleDocument::Load_Schedule() {
    // What the list showed before: a record that was listed and is dropped
    // now is told of even when its programme is over.
    listedBefore_.clear();
    for (const ProgrammeId id : schedule_.inStartOrder()) listedBefore_.insert(shownAs(*schedule_.stored(id)));
    leftOut_ = 0;
    const std::filesystem::path file = scheduleFilePath();
    // Rewrites that a crash or a kill cut short leave their temporary files.
    if (!file.empty() && std::exchange(firstLoad_, false)) {
        if (const int removed = removeStaleTemporaries(file); removed > 0)
            log::info(log::Area::Schedule, "Removed " + std::to_string(removed) + " temporary files of interrupted rewrites beside " +
                      file.string());
    }
    // Only a plain file is read: a folder or a pipe is an unreadable file.
    if (file.empty() || !isRegularFile(file)) {
        schedule_.load({});
        return;
    }
    // Stamped before reading: a record appended while the file is read then
    // shows as a change, and the next rewrite takes it in instead of
    // writing over it.
    const std::optional<FileStamp> stamp = stampOf(file);
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        schedule_.load({});
        return;
    }

    for (auto& tracked : tracked_) tracked.reset();
    heldSlots_.clear();
    SlotChoice choice(ScheduleTable::kSlots, settings_.EndBuffer, clock_.localNow());
    long ordinal = 0;
    DroppedNotice notice;
    DroppedRecords dropped([&, now = clock_.localNow()](const DroppedRecord& record) {
        noteDropped(record, now, notice);
    });
    ScheduleReader reader(in);
    while (auto read = reader.next()) {
        dropped.offer(*read);
        if (read->accepted) choice.offer(ordinal++, std::move(read->item));
    }
    std::vector<ScheduleItem> items;
    for (auto& [position, item] : choice.takeChosen()) {
        tracked_[items.size()] = Tracked{item, item, std::nullopt, false};
        items.push_back(std::move(item));
    }
    schedule_.load(std::move(items));
    leftOut_ = choice.leftOut();
    stampedFile_ = file;
    // After a read error part of the file is unknown: leave the date unset,
    // so the next rewrite first takes in whatever it did not see.
    fileDate_ = reader.failed() ? std::nullopt : stamp;
    fileSeenAt_ = clock_.now();
    if (leftOut_ > 0)
        log::warn(log::Area::Schedule, "Schedule file " + file.string() + ": " + std::to_string(leftOut_) +
                  " records left out of the table, " + std::to_string(choice.comingLeftOut()) +
                  " of them still to come");
    if (choice.comingLeftOut() > 0) reportFull(leftOut_, choice.comingLeftOut());
    reportDropped(notice);
}

void ScheduleDocument::noteDropped(const DroppedRecord& record, DateTime now, DroppedNotice& notice) {
    const std::string what =
        describeProgramme(record.item) + " (line " + std::to_string(record.line) + "): " + record.reason;
    log::warn(log::Area::Schedule, "Schedule file " + scheduleFilePath().string() + ": left out " + what);
    if (!record.lost) return;
    if (!mayStillCome(record.item, settings_.EndBuffer, now) && !listedBefore_.contains(shownAs(record.item)))
        return;
    // Each is told once a run, not at every reload of an unchanged record.
    if (!toldDropped_.insert(recordHash(record.item)).second) return;
    if (++notice.told <= kNamed) notice.names += "\n" + what;
}

void ScheduleDocument::reportDropped(const DroppedNotice& notice) {
    if (notice.told == 0) return;
    std::string names = notice.names;
    if (notice.told > kNamed)
        names += fillIn(translate("ScheduleDocument", "\n... and %1 more"), {std::to_string(notice.told - kNamed)});
    messages_.notify(translate("ScheduleDocument", "Programmes left out"),
                     fillIn(translate("ScheduleDocument",
                                      "The schedule file %1 holds programmes the recorder cannot list; they will "
                                      "not be recorded, and the next rewrite of the file leaves them out:%2"),
                            {scheduleFilePath().string(), names}),
                     MessageBoxes::Icon::Exclamation);
}

std::string ScheduleDocument::fileNameOf(ProgrammeId id) const {
    const int slot = schedule_.slotOf(id);
    if (slot < 0) return {};
    const ScheduleItem& item = table_[slot];
    return item.FileName.empty() ? Expand_FileName(table_, slot, settings_.FileString) : item.FileName;
}

std::string ScheduleDocument::templateOf(ProgrammeId id) const {
    const ScheduleItem* item = schedule_.stored(id);
    if (!item) return {};
    return item->Template.empty() ? settings_.Template : item->Template;
}


bool ScheduleDocument::matchOldRecords(const std::filesystem::path& file, bool changed,
                                       OldRecords& old, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "the changed file cannot be read";
        return false;
    }
    // The file's records as the recorder last wrote or read them.
    std::unordered_multimap<std::uint64_t, int> asWritten;
    for (int slot = 0; slot < ScheduleTable::kSlots; ++slot)
        if (const ScheduleItem* written = writtenForm(slot)) asWritten.emplace(recordHash(*written), slot);
    std::vector<bool> found(ScheduleTable::kSlots);
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
    for (int slot = 0; slot < ScheduleTable::kSlots; ++slot)
        if (const ScheduleItem* written = writtenForm(slot); written && !found[static_cast<size_t>(slot)])
            byProgramme.emplace(programmeKey(*written), slot);
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
        takeOutsideChange(it->second, record.item);
    }
    for (int slot = 0; slot < ScheduleTable::kSlots; ++slot)
        if (!found[static_cast<size_t>(slot)] && writtenForm(slot)) takeOutsideRemoval(slot);
    const Instant takenAt = clock_.now();
    for (const auto& [position, record] : added) {
        if (const auto id = schedule_.add(record.item)) {
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

bool ScheduleDocument::copyLeftOut(const std::filesystem::path& file, const OldRecords& old,
                                   AtomicFileWriter& writer, std::size_t& copied,
                                   std::string& error) {
    std::ifstream in(file, std::ios::binary);
    long ordinal = -1;
    ScheduleReader reader(in);
    while (auto read = reader.next()) {
        if (!read->accepted || old.represented.contains(++ordinal)) continue;
        if (!writer.write(formatRecord(read->item))) return true;  // commit() tells why
        ++copied;
    }
    if (!in.is_open() || reader.failed()) {
        error = "the old file cannot be read to the end";
        return false;
    }
    return true;
}

bool ScheduleDocument::Write_Schedule() {
    const std::filesystem::path file = scheduleFilePath();
    std::string error;
    std::error_code ec;
    if (file.empty()) error = "no schedule file is set";
    else if (std::filesystem::exists(file, ec) && !isRegularFile(file)) error = "it is not a regular file";

    std::vector<std::pair<int, ScheduleItem>> records;  // slot, as written
    if (error.empty()) {
        // Never waited for: a lock held elsewhere must not hold up a start.
        FileLock lock(file.string());
        if (lock.busy()) {
            if (!std::exchange(writePending_, true)) {
                pendingSince_ = clock_.steadyNow();
                log::warn(log::Area::Schedule, "Schedule not written yet: " + FileLock::lockPathFor(file.string()) +
                          " is held by another program; the change is kept and written once it is free");
            }
            return true;
        }
        const bool changed = !(fileDate_ && stampedFile_ == file && stampOf(file) == fileDate_);
        // The old file is read only when it holds records the table does not.
        const bool readOld = isRegularFile(file) && (changed || leftOut_ > 0);
        OldRecords old;
        if (!readOld || matchOldRecords(file, changed, old, error)) {
            for (const ProgrammeId id : schedule_.inStartOrder()) {
                const int slot = schedule_.slotOf(id);
                if (auto form = fileFormOf(slot)) records.emplace_back(slot, std::move(*form));
            }
            AtomicFileWriter writer(file);
            for (const auto& [slot, item] : records) writer.write(formatRecord(item));
            std::size_t copied = 0;
            if (!readOld || copyLeftOut(file, old, writer, copied, error)) {
                const WriteOutcome outcome = writer.commit();
                if (outcome.ok) {
                    if (std::exchange(writePending_, false)) log::info(log::Area::Schedule, "The schedule's lock is free again");
                    agreeWithFile(records);
                    leftOut_ = copied;
                    stampedFile_ = file;
                    fileDate_ = stampOf(file);
                    fileSeenAt_ = clock_.now();
                    if (!old.passedUnseen.empty()) reportPassedUnseen(old.passedUnseen);
                    log::info(log::Area::Schedule, "Schedule written to " + file.string() + " (" +
                              std::to_string(records.size() + copied) + " programmes)");
                    if (old.comingLeftOut > 0) {
                        // The next look at the file reloads it, and the load
                        // gives programmes still to come the slots first.
                        fileDate_.reset();
                        reportFull(leftOut_, old.comingLeftOut);
                    }
                    return true;
                }
                error = outcome.error;
            }
        }
    }
    writePending_ = false;
    log::error(log::Area::Schedule, "Schedule not written to " + file.string() + ": " + error);
    // Raised from the tick as often as from an edit: it must not hold up the
    // next recording.
    messages_.notify(translate("ScheduleDocument", "Error writing schedule"),
                     fillIn(translate("ScheduleDocument",
                                      "The schedule could not be saved to %1: %2.\nThe file was left as it was."),
                            {file.string(), error}),
                     MessageBoxes::Icon::Exclamation);
    return false;
}

void ScheduleDocument::retryPendingWrite(bool slowly) {
    constexpr auto kEveryTick = std::chrono::seconds(10);
    if (!writePending_ || (!slowly && clock_.steadyNow() - pendingSince_ > kEveryTick)) return;
    Write_Schedule();
}

void ScheduleDocument::reportPassedUnseen(const std::vector<std::string>& programmes) {
    std::string list;
    for (const std::string& programme : programmes) list += "\n" + programme;
    log::warn(log::Area::Schedule, "Not recorded: added to the schedule file during a recording, over before it ended:" + list);
    // Raised from the tick: it must not hold up the next recording.
    messages_.notify(translate("ScheduleDocument", "Programme not recorded"),
                     fillIn(translate("ScheduleDocument",
                                      "Added to the schedule file while a recording was in progress, and over "
                                      "before the recorder could take it in:%1"),
                            {list}),
                     MessageBoxes::Icon::Exclamation);
}

void ScheduleDocument::reportFull(std::size_t leftOut, std::size_t comingLeftOut) {
    messages_.notify(translate("ScheduleDocument", "Schedule full"),
                     fillIn(translate("ScheduleDocument",
                                      "The schedule file %1 holds more programmes than the %2 the recorder can "
                                      "keep. %3 were left out, %4 of them still to come: they stay in the file, "
                                      "but are not listed or recorded. Delete finished items to make room for "
                                      "them."),
                            {scheduleFilePath().string(), std::to_string(ScheduleTable::kSlots),
                             std::to_string(leftOut), std::to_string(comingLeftOut)}),
                     MessageBoxes::Icon::Exclamation);
}

}  // namespace kelbo
