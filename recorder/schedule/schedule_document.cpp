#include "schedule_document.h"

#include "recorder/ports/log.h"
#include "recorder/ports/message_boxes.h"
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

void fnv1a(std::uint64_t& h, std::string_view text) {
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
}

// Records are compared by the fields the file stores, so a record reads the
// same whichever program wrote it. (A field never holds a line break, so a
// line break makes an unambiguous separator.)
std::uint64_t recordHash(const ScheduleItem& item) {
    std::uint64_t h = 1469598103934665603ull;
    for (const std::string* field :
         {&item.ProgrammeName, &item.StartDate, &item.StartTime, &item.ChannelNumber,
          &item.ChannelName, &item.Duration, &item.ReminderID, &item.SmartSearchID,
          &item.FavouriteID, &item.FileName, &item.Category, &item.Description, &item.Director,
          &item.Starring, &item.ExtraInfo, &item.Template, &item.Complete, &item.StartBuffer,
          &item.EndBuffer}) {
        fnv1a(h, *field);
        fnv1a(h, "\n");
    }
    return h;
}

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

ScheduleDocument::ScheduleDocument(const LiveSettings& settings, MessageBoxes& messages)
    : settings_(settings), messages_(messages) {}

std::filesystem::path ScheduleDocument::scheduleFilePath() const {
    return toHostPath(settings_.ScheduleFile);
}

void ScheduleDocument::Load_Schedule() {
    table_.clear();
    const std::filesystem::path file = scheduleFilePath();
    // Only a plain file is read: a folder or a pipe is an unreadable file.
    if (file.empty() || !isRegularFile(file)) return;
    // Stamped before reading: a record appended while the file is read then
    // shows as a change, and the next rewrite takes it in instead of
    // writing over it.
    const std::optional<FileStamp> stamp = stampOf(file);
    std::ifstream in(file, std::ios::binary);
    if (!in) return;

    known_.clear();
    int record = 0;
    ScheduleReader reader(in);
    while (auto read = reader.next()) {
        if (!read->accepted) continue;
        known_.insert(recordHash(read->item));
        if (record < ScheduleTable::kSlots) table_[record++] = std::move(read->item);
        else table_.overflow.push_back(std::move(read->item));
    }
    table_.LastIndex = record > 0 ? record - 1 : 0;
    stampedFile_ = file;
    // After a read error part of the file is unknown: leave the date unset,
    // so the next rewrite first takes in whatever it did not see.
    fileDate_ = reader.failed() ? std::nullopt : stamp;
    reportOverflowOnce();
}

std::vector<std::string> ScheduleDocument::cellsFor(int slot) const {
    const ScheduleItem& item = table_[slot];
    const ColumnLayout& layout = list_.layout();
    const auto orDefault = [](const std::string& own, const std::string& fallback) {
        return own.empty() ? fallback : own;
    };
    std::vector<std::string> cells(static_cast<size_t>(layout.shownCount()));
    for (int position = 1; position <= static_cast<int>(cells.size()); ++position) {
        std::string text;
        switch (*layout.columnAt(position)) {
        case Column::IndexString: text = item.IndexString; break;
        case Column::ArrayID: text = std::to_string(slot); break;
        case Column::Date: text = item.StartDate; break;
        case Column::Time: text = item.StartTime; break;
        case Column::Programme: text = item.ProgrammeName; break;
        case Column::Duration: text = item.Duration; break;
        case Column::Channel: text = item.ChannelName; break;
        case Column::ChannelNumber: text = item.ChannelNumber; break;
        case Column::Filename:
            text = item.FileName.empty() ? Expand_FileName(table_, slot, settings_.FileString)
                                         : item.FileName;
            break;
        case Column::Template: text = orDefault(item.Template, settings_.Template); break;
        case Column::SBuf: text = orDefault(item.StartBuffer, settings_.StartBuffer); break;
        case Column::EBuf: text = orDefault(item.EndBuffer, settings_.EndBuffer); break;
        case Column::Description: text = item.Description; break;
        case Column::Category: text = item.Category; break;
        case Column::Status: text = item.Complete; break;
        }
        cells[static_cast<size_t>(position - 1)] = std::move(text);
    }
    return cells;
}

void ScheduleDocument::Display_Schedule(int nextRow) {
    list_.sortBy(Column::IndexString);
    list_.clear();
    for (int slot = 0; slot <= table_.LastIndex; ++slot)
        if (table_[slot].hasRequiredFields()) list_.addRow(cellsFor(slot));
    if (nextRow != 0) list_.Set_Row_Colour(nextRow, colour::kRed);
}

int ScheduleDocument::slotOfRow(int row) const {
    const auto number = parseNumber(list_.cell(row, Column::ArrayID));
    if (!number) return -1;
    const double slot = std::floor(*number);
    return slot >= 0 && slot < ScheduleTable::kSlots ? static_cast<int>(slot) : -1;
}

void ScheduleDocument::takeIn(const ReadRecord& record) {
    const int slot = table_.slotForNewItem();
    if (slot < 0) {
        table_.overflow.push_back(record.item);
        reportOverflowOnce();
        return;
    }
    table_[slot] = record.item;
    if (record.item.hasRequiredFields()) list_.addRow(cellsFor(slot));
}

bool ScheduleDocument::takeInOutsideChanges(const std::filesystem::path& file, std::string& error) {
    if (!isRegularFile(file)) return true;
    if (fileDate_ && stampedFile_ == file && stampOf(file) == fileDate_) return true;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "the changed file cannot be read";
        return false;
    }
    std::unordered_multiset<std::uint64_t> unseen = known_;
    std::vector<ReadRecord> added;
    ScheduleReader reader(in);
    while (auto read = reader.next()) {
        if (!read->accepted) continue;
        const auto it = unseen.find(recordHash(read->item));
        if (it != unseen.end()) unseen.erase(it);
        else added.push_back(std::move(*read));
    }
    if (reader.failed()) {
        error = "the changed file cannot be read to the end";
        return false;
    }
    for (const ReadRecord& record : added) takeIn(record);
    return true;
}

bool ScheduleDocument::Write_Schedule() {
    const std::filesystem::path file = scheduleFilePath();
    std::string error;
    if (file.empty()) error = "no schedule file is set";

    std::vector<const ScheduleItem*> records;
    if (error.empty()) {
        FileLock lock(file.string());
        if (takeInOutsideChanges(file, error)) {
            for (int row = 1; row <= list_.rowCount(); ++row) {
                const int slot = slotOfRow(row);
                if (slot >= 0) records.push_back(&table_[slot]);
            }
            for (const ScheduleItem& item : table_.overflow) records.push_back(&item);
            std::string content;
            for (const ScheduleItem* item : records) content += formatRecord(*item);
            const WriteOutcome outcome = writeFileAtomically(file, content);
            if (outcome.ok) {
                rememberWritten(records);
                stampedFile_ = file;
                fileDate_ = stampOf(file);
                log::info("Schedule written to " + file.string() + " (" + std::to_string(records.size()) +
                          " programmes)");
                return true;
            }
            error = outcome.error;
        }
    }
    log::error("Schedule not written to " + file.string() + ": " + error);
    // Raised from the tick as often as from an edit: it must not hold up the
    // next recording.
    messages_.notify("Error writing schedule",
                     "The schedule could not be saved to " + file.string() + ": " + error +
                         ".\nThe file was left as it was.",
                     MessageBoxes::Icon::Exclamation);
    return false;
}

void ScheduleDocument::rememberWritten(const std::vector<const ScheduleItem*>& records) {
    known_.clear();
    for (const ScheduleItem* item : records) known_.insert(recordHash(*item));
}

void ScheduleDocument::reportOverflowOnce() {
    if (overflowReported_ || table_.overflow.empty()) return;
    overflowReported_ = true;
    messages_.show("Schedule full",
                   "The schedule file " + scheduleFilePath().string() + " holds more than " +
                       std::to_string(ScheduleTable::kSlots) +
                       " programmes. The recorder shows and records the first " +
                       std::to_string(ScheduleTable::kSlots) +
                       "; the others stay in the file unchanged.",
                   MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
}

}  // namespace kelbo
