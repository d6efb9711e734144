#pragma once

#include "live_settings.h"
#include "schedule_list.h"
#include "schedule_table.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>

namespace kelbo {

class MessageBoxes;
struct ReadRecord;

// When and how big a file was, to tell another writer's change from ours.
struct FileStamp {
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> stampOf(const std::filesystem::path& file);

// The schedule as the recorder holds it: the table read from the schedule
// file, the list built from the table, and the file's rewriting.
class ScheduleDocument {
public:
    ScheduleDocument(const LiveSettings& settings, MessageBoxes& messages);

    ScheduleTable& table() { return table_; }
    const ScheduleTable& table() const { return table_; }
    ScheduleList& list() { return list_; }
    const ScheduleList& list() const { return list_; }

    // Reads the file named by the ScheduleFile setting into the table. A
    // missing or unreadable file gives an empty table.
    void Load_Schedule();
    // Rebuilds the list from the table, sorted by start; `nextRow` (if not
    // 0) is coloured red as the last choice of the next programme.
    void Display_Schedule(int nextRow = 0);
    // Writes the listed items back, in list order. Records another program
    // appended since the last load are taken in first, so none is lost.
    // Failures are reported to the user and leave the old file in place.
    bool Write_Schedule();

    // The file's date as last read or written by the recorder.
    const std::optional<FileStamp>& ScheduleFileDate() const { return fileDate_; }
    std::filesystem::path scheduleFilePath() const;

    // The table slot a row stands for, from its "ArrayID" cell; -1 if none.
    int slotOfRow(int row) const;
    // The cells of a row for a table slot, in position order.
    std::vector<std::string> cellsFor(int slot) const;

private:
    bool takeInOutsideChanges(const std::filesystem::path& file, std::string& error);
    void takeIn(const ReadRecord& record);
    void rememberWritten(const std::vector<const ScheduleItem*>& records);
    void reportOverflowOnce();

    const LiveSettings& settings_;
    MessageBoxes& messages_;
    ScheduleTable table_;
    ScheduleList list_;
    std::optional<FileStamp> fileDate_;
    std::filesystem::path stampedFile_;
    // Hashes of the records the file held when the recorder last read or
    // wrote it; a record not among them was added by someone else.
    std::unordered_multiset<std::uint64_t> known_;
    bool overflowReported_ = false;
};

}  // namespace kelbo
