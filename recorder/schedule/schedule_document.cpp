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
#include <sys/stat.h>

namespace kelbo {

namespace {

bool isRegularFile(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

}  // namespace

std::optional<FileStamp> stampOf(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return std::nullopt;
    const auto nanoseconds = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     nanoseconds(st.st_mtim), nanoseconds(st.st_ctim), static_cast<std::uint64_t>(st.st_size)};
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
    deletedHere_.clear();
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

    if (error.empty()) {
        // Never waited for: a lock held elsewhere must not hold up a start.
        FileLock lock(file.string());
        if (lock.busy()) {
            deferWrite(FileLock::lockPathFor(file.string()) + " is held by another program");
            return true;
        }
        // A text editor takes no lock: each save it makes during a rewrite
        // is merged in by the next attempt.
        constexpr int kAttempts = 4;
        std::vector<std::string> passedUnseen;
        for (int attempt = 1; attempt <= kAttempts && error.empty(); ++attempt) {
            const Rewrite rewrite = rewriteOnce(file, passedUnseen, error);
            if (rewrite == Rewrite::Written) {
                if (!passedUnseen.empty()) reportPassedUnseen(passedUnseen);
                return true;
            }
            if (rewrite == Rewrite::FileMoved)
                log::info(log::Area::Schedule, "Schedule file " + file.string() +
                          " was saved by another program during the rewrite; taking it in again");
        }
        if (error.empty()) {
            deferWrite(file.string() + " kept changing during the rewrite");
            if (!passedUnseen.empty()) reportPassedUnseen(passedUnseen);  // taken in all the same
            return true;
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

ScheduleDocument::Rewrite ScheduleDocument::rewriteOnce(const std::filesystem::path& file,
                                                        std::vector<std::string>& passedUnseen,
                                                        std::string& error) {
    // Stamped before anything is read: the rename may replace only the
    // file as it was read.
    const std::optional<FileStamp> seen = stampOf(file);
    const auto failedOrMoved = [&] { return stampOf(file) == seen ? Rewrite::Failed : Rewrite::FileMoved; };
    const bool changed = !(fileDate_ && stampedFile_ == file && seen == fileDate_);
    // The old file is read only when it holds records the table does not.
    const bool readOld = isRegularFile(file) && (changed || leftOut_ > 0);
    OldRecords old;
    if (readOld && !matchOldRecords(file, changed, old, error)) return failedOrMoved();
    passedUnseen.insert(passedUnseen.end(), old.passedUnseen.begin(), old.passedUnseen.end());

    std::vector<std::pair<int, ScheduleItem>> records;  // slot, as written
    for (const ProgrammeId id : schedule_.inStartOrder()) {
        const int slot = schedule_.slotOf(id);
        if (auto form = fileFormOf(slot)) records.emplace_back(slot, std::move(*form));
    }
    AtomicFileWriter writer(file);
    for (const auto& [slot, item] : records) writer.write(formatRecord(item));
    std::size_t copied = 0;
    if (readOld && !copyLeftOut(file, old, writer, copied, error)) return failedOrMoved();
    const WriteOutcome outcome = writer.commit([&] {
        if (beforeReplacing_) beforeReplacing_();
        return stampOf(file) == seen;
    });
    if (outcome.targetMoved) {
        error.clear();
        return Rewrite::FileMoved;
    }
    if (!outcome.ok) {
        error = outcome.error;
        return Rewrite::Failed;
    }
    if (std::exchange(writePending_, false)) log::info(log::Area::Schedule, "The schedule is written at last");
    agreeWithFile(records);
    leftOut_ = copied;
    stampedFile_ = file;
    fileDate_ = stampOf(file);
    fileSeenAt_ = clock_.now();
    log::info(log::Area::Schedule, "Schedule written to " + file.string() + " (" +
              std::to_string(records.size() + copied) + " programmes)");
    if (old.comingLeftOut > 0) {
        // The next look at the file reloads it, and the load gives
        // programmes still to come the slots first.
        fileDate_.reset();
        reportFull(leftOut_, old.comingLeftOut);
    }
    return Rewrite::Written;
}

void ScheduleDocument::deferWrite(const std::string& why) {
    if (std::exchange(writePending_, true)) return;
    pendingSince_ = clock_.steadyNow();
    log::warn(log::Area::Schedule, "Schedule not written yet: " + why + "; the change is kept and written later");
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
