#pragma once

#include "common/clock.h"
#include "live_settings.h"
#include "schedule.h"
#include "schedule_table.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kelbo {

class AtomicFileWriter;
class MessageBoxes;
struct DroppedRecord;
struct ReadRecord;

// Which file a name led to, when it was changed and how big it was: to
// tell another writer's change from ours, whether it wrote the file in
// place or renamed a new one over it.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;  // the inode's change, which no program can set back
    std::uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> stampOf(const std::filesystem::path& file);

// The schedule as the recorder holds it: the programmes read from the
// schedule file, and the file's rewriting.
class ScheduleDocument {
public:
    // `clock` tells which programmes are still to come when the file holds
    // more than the table can.
    ScheduleDocument(const LiveSettings& settings, MessageBoxes& messages,
                     const Clock& clock = systemClock());

    ScheduleDocument(const ScheduleDocument&) = delete;
    ScheduleDocument& operator=(const ScheduleDocument&) = delete;

    Schedule& schedule() { return schedule_; }
    const Schedule& schedule() const { return schedule_; }
    // The slots themselves; whoever writes them directly lists the
    // programmes again (Schedule::listAll).
    ScheduleTable& table() { return schedule_.slotTable(); }
    const ScheduleTable& table() const { return schedule_.slotTable(); }
    const LiveSettings& settings() const { return settings_; }

    // Reads the file named by the ScheduleFile setting into the table. A
    // missing or unreadable file gives an empty table. When the file holds
    // more records than the table has slots, programmes still to come get
    // them first, then finished ones, each in file order; the rest stay in
    // the file only, and leaving out one still to come is told.
    void Load_Schedule();
    // Writes the listed items back, in list order, then the records the
    // table left out, copied from the old file. Records another program
    // appended since the last load are taken in first, so none is lost; a
    // change another program (a text editor, which takes no lock) saves
    // while the new file is written is found just before the rename, and
    // taken in again. Failures are reported to the user and leave the old
    // file in place.
    bool Write_Schedule();
    // Run by each rewrite after its new file is written, just before it
    // looks at the old file a last time and replaces it: the one moment
    // another program's save would otherwise be lost (tests save there).
    void beforeReplacing(std::function<void()> step) { beforeReplacing_ = std::move(step); }

    // A slot being recorded (one for each tuner recording). A change made
    // outside to its record waits until the recording ends, so that it
    // records under its own times and file name; the file holds the change
    // meanwhile.
    void holdWhileRecording(int slot);
    // The recording of `slot` has ended: a change kept back is applied to
    // the table now. True when it changed them (the caller rewrites).
    bool releaseHeld(int slot);
    // The same for every slot held.
    bool releaseHeld();
    bool holding() const { return !heldSlots_.empty(); }
    bool holds(int slot) const { return heldSlots_.contains(slot); }
    // True once after a rewrite took in changes made outside, so that the
    // next programme is chosen again from the merged list.
    bool takeOutsideChanges() { return std::exchange(outsideChanges_, false); }

    // Another program of the user holds the schedule's lock: the change is
    // kept in memory and written when the lock is free. Retried at every
    // tick for a few seconds, then at the file watcher's pace (`slowly`).
    bool writePending() const { return writePending_; }
    void retryPendingWrite(bool slowly);

    // Accepted records of the file that the table does not hold.
    std::size_t recordsLeftOut() const { return leftOut_; }

    // The file's date as last read or written by the recorder.
    const std::optional<FileStamp>& ScheduleFileDate() const { return fileDate_; }
    std::filesystem::path scheduleFilePath() const;

    // A programme's file name and template: its own, else the one the
    // settings give.
    std::string fileNameOf(ProgrammeId id) const;
    std::string templateOf(ProgrammeId id) const;

    static const Clock& systemClock();

private:
    // What a rewrite found in the old file: the accepted records (counted
    // from 0) that the table stands for, and the programmes still to come
    // that found no slot.
    struct OldRecords {
        std::unordered_set<long> represented;
        std::size_t comingLeftOut = 0;
        // Programmes added outside whose time passed before they were
        // taken in (while a recording kept the file's changes out).
        std::vector<std::string> passedUnseen;
    };
    enum class Rewrite { Written, FileMoved, Failed };
    // One attempt: the old file read (and merged when it changed), the new
    // one written, and put in place only while the old is still as read.
    Rewrite rewriteOnce(const std::filesystem::path& file, std::vector<std::string>& passedUnseen,
                        std::string& error);
    void deferWrite(const std::string& why);
    bool matchOldRecords(const std::filesystem::path& file, bool changed, OldRecords& old,
                         std::string& error);
    // Slots whose programme was deleted (or given another key) here while
    // the file still holds its record: that record is set aside, so that a
    // rewrite drops it whatever slot an added programme takes.
    void setAsideDeletedHere();
    // The file's record (or none) for one of the known forms: a slot's
    // (below kSlots) or one set aside.
    const ScheduleItem* knownForm(int known) const;
    bool copyLeftOut(const std::filesystem::path& file, const OldRecords& old,
                     AtomicFileWriter& writer, std::size_t& copied, std::string& error);
    // What a rewrite does with a record another program changed or removed.
    void takeOutsideChange(int slot, const ScheduleItem& theirs);
    void takeOutsideRemoval(int slot);
    void showAgain(int slot);
    // What the file should hold for a slot: its item, or for the slot being
    // recorded the item with the change kept back; nothing when removed.
    std::optional<ScheduleItem> fileFormOf(int slot) const;
    // The slot's record as the recorder last read or wrote it; null if none.
    const ScheduleItem* writtenForm(int slot) const;
    void agreeWithFile(const std::vector<std::pair<int, ScheduleItem>>& written);
    void reportFull(std::size_t leftOut, std::size_t comingLeftOut);
    void reportPassedUnseen(const std::vector<std::string>& programmes);
    // One notice for the programmes still to come that the load dropped,
    // gathered record by record as the file is read.
    struct DroppedNotice {
        std::string names;  // the first few
        std::size_t told = 0;
    };
    void noteDropped(const DroppedRecord& record, DateTime now, DroppedNotice& notice);
    void reportDropped(const DroppedNotice& notice);

    const LiveSettings& settings_;
    MessageBoxes& messages_;
    const Clock& clock_;
    Schedule schedule_;
    ScheduleTable& table_ = schedule_.slotTable();
    std::optional<FileStamp> fileDate_;
    // When the recorder last read or wrote the file, on its clock.
    std::optional<Instant> fileSeenAt_;
    std::filesystem::path stampedFile_;
    // Each slot's record as the file held it when the recorder last read,
    // merged or wrote it: the common ancestor of the merge with another
    // program's changes. Any other record of the file was left out then, or
    // was added by someone else since.
    struct Tracked {
        ScheduleItem base;
        ScheduleItem written;  // as the file holds it; differs from base while a change is kept back
        std::optional<ScheduleItem> outside;  // the change kept back
        bool removedOutside = false;
        bool keptBack() const { return outside || removedOutside; }
    };
    std::vector<std::optional<Tracked>> tracked_ =
        std::vector<std::optional<Tracked>>(ScheduleTable::kSlots);
    // The records, as the file holds them, of programmes deleted here since
    // the recorder last wrote it (see setAsideDeletedHere).
    std::vector<ScheduleItem> deletedHere_;
    std::function<void()> beforeReplacing_;
    std::set<int> heldSlots_;
    bool firstLoad_ = true;
    bool writePending_ = false;
    Clock::Steady pendingSince_{};
    bool outsideChanges_ = false;
    // Dropped records already told of in this run.
    std::unordered_set<std::uint64_t> toldDropped_;
    // The programmes the list showed before the load.
    std::unordered_set<std::string> listedBefore_;
    // Kept on disk, not in memory, so that a huge file costs no memory.
    std::size_t leftOut_ = 0;
};

}  // namespace kelbo
