#include "commands.h"

#include "common/host_paths.h"
#include "common/schedule_format.h"
#include "common/settings_store.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/ports/ui_ports.h"
#include "recorder/schedule/schedule_document.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iostream>

namespace kelbo::tool {

namespace {

// Messages the recorder would show in a box go to standard error.
class StderrMessages : public MessageBoxes {
public:
    explicit StderrMessages(std::ostream& err) : err_(err) {}
    Answer show(const std::string& title, const std::string& text, Icon, Buttons) override {
        err_ << "kelbo-schedule: " << title << ": " << text << '\n';
        return Answer::Ok;
    }

private:
    std::ostream& err_;
};

// No window here: status-bar texts go nowhere.
class NoStatusBar : public StatusBarPort, ProgressBarView {
public:
    void setPanelText(const std::string&, const std::string&) override {}
    std::string panelText(const std::string&) const override { return {}; }
    void setPanelVisible(const std::string&, bool) override {}
    bool panelVisible(const std::string&) const override { return false; }
    ProgressBarView& progressBar() override { return *this; }
    void setTextOnly(bool) override {}
    void setValue(int) override {}
};

// The schedule as the recorder would have it after loading the file: the
// list with duplicates dropped, clashes marked and the next programme red.
struct Session {
    Session(const Invocation& args, const Clock& clock, std::ostream& err)
        : settings(readLiveSettings(SettingsStore(SettingsStore::defaultLocation()), programFolder())),
          messages(err), document(settings, messages), next(document.list(), statusBar, clock) {
        if (args.file) settings.ScheduleFile = *args.file;
        document.Load_Schedule();
        document.Display_Schedule();
        next.Find_Next_Schedule();
    }
    LiveSettings settings;
    StderrMessages messages;
    ScheduleDocument document;
    NoStatusBar statusBar;
    NextProgramme next;
};

std::string clip(const std::string& text, size_t width) {
    return text.size() <= width ? text : text.substr(0, width - 3) + "...";
}

std::string clashNote(const std::string& tag) {
    std::string note = tag;
    if (note.size() >= 5 && note.compare(note.size() - 5, 5, " AND ") == 0) note.resize(note.size() - 5);
    return note == "Clash with: " ? std::string() : note;
}

void printTable(const ScheduleList& list, std::ostream& out) {
    const ColumnLayout& layout = list.layout();
    std::vector<int> positions;
    for (int p = 1; p <= layout.shownCount(); ++p)
        if (layout.width(*layout.columnAt(p)) > 0) positions.push_back(p);

    std::vector<size_t> widths;
    for (const int p : positions) {
        size_t w = headerText(*layout.columnAt(p)).size();
        for (int row = 1; row <= list.rowCount(); ++row)
            w = std::max(w, std::min<size_t>(list.Get_Cell(row, p - 1).size(), 48));
        widths.push_back(w);
    }
    const auto line = [&](const auto& textAt, const std::string& mark, const std::string& note) {
        out << mark;
        for (size_t i = 0; i < positions.size(); ++i)
            out << std::left << std::setw(static_cast<int>(widths[i]))
                << clip(textAt(positions[i]), widths[i]) << (i + 1 < positions.size() ? "  " : "");
        if (!note.empty()) out << "  " << note;
        out << '\n';
    };
    line([&](int p) { return headerText(*layout.columnAt(p)); }, "  ", "");
    for (int row = 1; row <= list.rowCount(); ++row) {
        const int colour = list.rowColour(row);
        const std::string mark = colour == colour::kRed ? "> " : colour == colour::kBlue ? "! " : "  ";
        line([&](int p) { return list.Get_Cell(row, p - 1); }, mark, clashNote(list.tag(row)));
    }
    if (list.rowCount() == 0) out << "(no programmes)\n";
}

void printJson(const ScheduleList& list, std::ostream& out) {
    const ColumnLayout& layout = list.layout();
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (int row = 1; row <= list.rowCount(); ++row) {
        nlohmann::ordered_json object;
        for (int p = 1; p <= layout.shownCount(); ++p)
            object[headerText(*layout.columnAt(p))] = list.Get_Cell(row, p - 1);
        object["colour"] = list.rowColour(row);
        object["tag"] = list.tag(row);
        rows.push_back(std::move(object));
    }
    // Schedule files are 8-bit text; bytes that are not UTF-8 become U+FFFD.
    out << rows.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

int listSchedule(const Invocation& args, const Clock& clock, std::ostream& out, std::ostream& err) {
    Session session(args, clock, err);
    if (args.json) printJson(session.document.list(), out);
    else printTable(session.document.list(), out);
    return 0;
}

int rewriteSchedule(const Invocation& args, const Clock& clock, std::ostream& err) {
    Session session(args, clock, err);
    return session.document.Write_Schedule() ? 0 : 1;
}

int checkSchedule(const Invocation& args, std::ostream& out, std::ostream& err) {
    std::string file = args.file.value_or("");
    if (!args.file) {
        const SettingsStore store(SettingsStore::defaultLocation());
        file = readLiveSettings(store, programFolder()).ScheduleFile;
    }
    const std::string path = toHostPath(file);
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (path.empty() || !std::filesystem::is_regular_file(path, ec) || !in) {
        err << "kelbo-schedule: cannot read the schedule file \"" << path << "\"\n";
        return 1;
    }
    bool dropped = false;
    int accepted = 0;
    ScheduleReader reader(in);
    while (auto record = reader.next()) {
        std::string why = record->problem;
        if (record->accepted) {
            if (++accepted > ScheduleTable::kSlots)
                why = "beyond the " + std::to_string(ScheduleTable::kSlots) +
                      " programmes the recorder keeps (left in the file, not recorded)";
            else if (!record->item.hasRequiredFields())
                why = "accepted but not listed: a required line has an empty value "
                      "(left out when the recorder next rewrites the file)";
        }
        if (why.empty()) continue;
        out << "line " << record->lastLine << ": " << why << '\n';
        dropped = true;
    }
    if (reader.failed()) {
        err << "kelbo-schedule: read error in \"" << path << "\"\n";
        return 1;
    }
    return dropped ? 1 : 0;
}

}  // namespace kelbo::tool
