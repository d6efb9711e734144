#include "commands.h"

#include "common/default_folders.h"
#include "common/host_paths.h"
#include "common/iso_time.h"
#include "common/schedule_format.h"
#include "common/display_width.h"
#include "common/text_util.h"
#include "common/settings_store.h"
#include "recorder/forms/clash_tags.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/schedule/dropped_records.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/part_files.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder/schedule/slot_choice.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <unordered_set>

namespace kelbo::tool {

namespace {

// Messages the recorder would show in a box go to standard error.
class StderrMessages : public MessageBoxes {
public:
    explicit StderrMessages(std::ostream& err) : err_(err) {}
    Answer show(const std::string& title, const std::string& text, Icon, Buttons) override {
        err_ << "kelbo-schedule: " << escapeControls(title) << ": " << escapeControls(text) << '\n';
        return Answer::Ok;
    }

private:
    std::ostream& err_;
};

// Why the schedule file cannot be used, in words; nothing when it can. What
// is not a regular file is refused: reading a pipe would wait for a writer,
// and a rewrite would put a file in its place. A missing file is an empty
// schedule when `missingIsEmpty`.
std::optional<std::string> unusable(const std::string& path, bool missingIsEmpty) {
    const std::string cannotRead = "cannot read the schedule file \"" + path + "\"";
    if (path.empty()) return cannotRead;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return missingIsEmpty ? std::nullopt : std::optional(cannotRead);
    if (ec) return cannotRead;
    if (!std::filesystem::is_regular_file(status)) return "\"" + path + "\" is not a regular file";
    if (!std::ifstream(path, std::ios::binary)) return cannotRead;
    return std::nullopt;
}

// The schedule as the recorder would have it after loading the file: the
// list with duplicates dropped, clashes marked and the next programme red.
struct Session {
    Session(const Invocation& args, const Clock& clock, std::ostream& errors)
        : settings(readLiveSettings(SettingsStore(SettingsStore::defaultLocation()), desktopDefaultFolders(userVideosFolder()))),
          messages(errors), document(settings, messages, clock), next(document, clock), listing(document, next),
          err(errors) {
        if (args.file) settings.ScheduleFile = *args.file;
    }
    // Loads the file as the recorder does; false (and said) when it cannot.
    bool load() {
        const std::string path = document.scheduleFilePath().string();
        if (const auto why = unusable(path, true)) {
            err << "kelbo-schedule: " << escapeControls(*why) << '\n';
            return false;
        }
        document.Load_Schedule();
        listing.Display_Schedule();
        next.Find_Next_Schedule();
        return true;
    }
    LiveSettings settings;
    StderrMessages messages;
    ScheduleDocument document;
    NextProgramme next;
    ScheduleListing listing;
    std::ostream& err;
};

// Cells hold guide text: escape sequences in it must not reach the
// terminal, and a tab would move the columns after it.
std::string shown(const std::string& text) {
    std::string escaped = escapeControls(text);
    std::replace(escaped.begin(), escaped.end(), '\t', ' ');
    return escaped;
}

// `text` cut to `columns` columns with "..." where it was cut: at the end,
// or for a file name at the start, which keeps the name the file gets.
std::string clip(const std::string& text, size_t columns, bool keepEnd) {
    if (displayWidth(text) <= columns) return text;
    return keepEnd ? "..." + std::string(displaySuffix(text, columns - 3))
                   : std::string(displayPrefix(text, columns - 3)) + "...";
}

// The row's cell at `position`; the Filename column shows the name the
// programme's first file gets.
std::string cellText(const ScheduleListing& listing, int row, int position) {
    const ScheduleList& list = listing.list();
    if (list.layout().columnAt(position) == Column::Filename)
        return part_files::firstFileName(listing.document().fileNameOf(listing.idOfRow(row)));
    return list.Get_Cell(row, position - 1);
}

void printTable(const ScheduleListing& listing, std::ostream& out) {
    const ScheduleList& list = listing.list();
    const ColumnLayout& layout = list.layout();
    constexpr size_t kMostColumns = 48;
    std::vector<int> positions;
    for (int p = 1; p <= layout.shownCount(); ++p)
        if (layout.width(*layout.columnAt(p)) > 0) positions.push_back(p);

    std::vector<size_t> widths;
    for (const int p : positions) {
        size_t w = displayWidth(headerText(*layout.columnAt(p)));
        for (int row = 1; row <= list.rowCount(); ++row)
            w = std::max(w, std::min(displayWidth(shown(cellText(listing, row, p))), kMostColumns));
        widths.push_back(w);
    }
    // Every column padded to its width, so that the notes line up too.
    const auto line = [&](const auto& textAt, const std::string& mark, const std::string& note) {
        std::string text = mark;
        for (size_t i = 0; i < positions.size(); ++i) {
            const bool fileName = layout.columnAt(positions[i]) == Column::Filename;
            const std::string cell = clip(shown(textAt(positions[i])), widths[i], fileName);
            text += cell + std::string(widths[i] - displayWidth(cell) + 2, ' ');
        }
        text += note;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << '\n';
    };
    line([&](int p) { return headerText(*layout.columnAt(p)); }, "  ", "");
    for (int row = 1; row <= list.rowCount(); ++row) {
        const int colour = list.rowColour(row);
        const std::string mark = colour == colour::kRed ? "> " : colour == colour::kBlue ? "! " : "  ";
        line([&](int p) { return cellText(listing, row, p); }, mark, shown(clashDescription(list.tag(row))));
    }
    const bool listsFileNames = std::any_of(positions.begin(), positions.end(),
                                            [&](int p) { return layout.columnAt(p) == Column::Filename; });
    if (list.rowCount() == 0) out << "(no programmes)\n";
    else if (listsFileNames)
        out << "\nFilename: the name of a recording's file. A split recording numbers its parts ([1.2], [2.2], "
               "...); a name an earlier recording took gets the next number (...2[1.1].mpg).\n";
}

// Each row's cells by header, its colour and tag as the list shows them
// (the tag empty on a row that clashes with nothing), and the programme
// itself: its id, times, status, whether it is next, the ids of those it
// clashes with and the name its first file gets.
void printJson(const ScheduleListing& listing, std::ostream& out) {
    const ScheduleList& list = listing.list();
    const Schedule& schedule = listing.schedule();
    const NextProgramme& next = listing.next();
    const ColumnLayout& layout = list.layout();
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (int row = 1; row <= list.rowCount(); ++row) {
        nlohmann::ordered_json object;
        for (int p = 1; p <= layout.shownCount(); ++p)
            object[headerText(*layout.columnAt(p))] = list.Get_Cell(row, p - 1);
        object["colour"] = list.rowColour(row);
        object["tag"] = clashDescription(list.tag(row)).empty() ? std::string() : list.tag(row);
        const ProgrammeId id = listing.idOfRow(row);
        const auto programme = schedule.find(id);
        object["id"] = id;
        const auto instant = [&](Instant RowTimes::*which) {
            return programme && programme->times ? nlohmann::ordered_json(isoLocalTime((*programme->times).*which))
                                                 : nlohmann::ordered_json(nullptr);
        };
        object["start"] = instant(&RowTimes::start);
        object["bufferedStart"] = instant(&RowTimes::bufferedStart);
        object["bufferedEnd"] = instant(&RowTimes::bufferedEnd);
        object["status"] = std::string(statusName(schedule.statusOf(id)));
        object["next"] = next.any() && next.id() == id;
        object["clashesWith"] = next.clashes().with(id);
        object["firstFile"] = part_files::firstFileName(listing.document().fileNameOf(id));
        rows.push_back(std::move(object));
    }
    // Schedule files are 8-bit text; bytes that are not UTF-8 become U+FFFD.
    out << rows.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

int listSchedule(const Invocation& args, const Clock& clock, std::ostream& out, std::ostream& err) {
    Session session(args, clock, err);
    if (!session.load()) return 1;
    if (args.json) printJson(session.listing, out);
    else printTable(session.listing, out);
    return 0;
}

int rewriteSchedule(const Invocation& args, const Clock& clock, std::ostream& err) {
    Session session(args, clock, err);
    if (!session.load()) return 1;
    return session.document.Write_Schedule() ? 0 : 1;
}

namespace {

// The accepted records of the file (counted from 0) that the recorder
// gives a slot at `now`; all of them when they fit.
std::optional<std::unordered_set<long>> slotted(const std::string& path, const std::string& endBuffer,
                                                DateTime now) {
    std::ifstream in(path, std::ios::binary);
    SlotChoice choice(ScheduleTable::kSlots, endBuffer, now);
    long ordinal = 0;
    ScheduleReader reader(in);
    while (auto record = reader.next())
        if (record->accepted) choice.offer(ordinal++, std::move(record->item));
    if (choice.leftOut() == 0) return std::nullopt;
    std::unordered_set<long> chosen;
    for (const auto& [position, item] : choice.takeChosen()) chosen.insert(position);
    return chosen;
}

}  // namespace

int checkSchedule(const Invocation& args, const Clock& clock, std::ostream& out, std::ostream& err) {
    const SettingsStore store(SettingsStore::defaultLocation());
    const LiveSettings settings = readLiveSettings(store, desktopDefaultFolders(userVideosFolder()));
    const std::string path = toHostPath(args.file.value_or(settings.ScheduleFile));
    if (const auto why = unusable(path, false)) {
        err << "kelbo-schedule: " << escapeControls(*why) << '\n';
        return 1;
    }
    const auto chosen = slotted(path, settings.EndBuffer, clock.localNow());
    // Told as found, in file order: a file of many lost records costs no memory.
    bool anyLost = false;
    const auto tell = [&](long line, const std::string& why) {
        out << "line " << line << ": " << escapeControls(why) << '\n';
        anyLost = true;
    };
    DroppedRecords dropped([&](const DroppedRecord& record) {
        tell(record.line, describeProgramme(record.item) + " is " + record.reason +
                              ": left out when the recorder next rewrites the file");
    });
    std::ifstream in(path, std::ios::binary);
    long ordinal = 0;
    ScheduleReader reader(in);
    while (auto record = reader.next()) {
        if (!record->accepted) {
            if (!record->blank) tell(record->lastLine, record->problem);
            continue;
        }
        if (chosen && !chosen->contains(ordinal))
            tell(record->lastLine, "left out of the " + std::to_string(ScheduleTable::kSlots) +
                                       " programmes the recorder keeps, which go first to those still to come "
                                       "(kept in the file, not listed or recorded; delete finished items to make "
                                       "room)");
        else if (!record->item.hasRequiredFields())
            tell(record->lastLine, "accepted but not listed: a required line has an empty value "
                                   "(left out when the recorder next rewrites the file)");
        else
            dropped.offer(*record);
        ++ordinal;
    }
    if (reader.failed()) {
        err << "kelbo-schedule: read error in \"" << escapeControls(path) << "\"\n";
        return 1;
    }
    return anyLost ? 1 : 0;
}

}  // namespace kelbo::tool
