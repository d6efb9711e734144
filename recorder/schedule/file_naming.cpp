#include "file_naming.h"

#include "part_files.h"
#include "common/host_paths.h"
#include "common/text_util.h"
#include "recorder/schedule/schedule_list.h"
#include "recorder/schedule/schedule_table.h"

#include <array>
#include <filesystem>
#include <functional>

namespace kelbo {

namespace {

struct Token {
    std::string_view text;
    std::string ScheduleItem::*field;
    Column column;
    std::string_view sample;
};

constexpr std::array<Token, 6> kTokens = {{
    {"%programme%", &ScheduleItem::ProgrammeName, Column::Programme, "ThePretender"},
    {"%startdate%", &ScheduleItem::StartDate, Column::Date, "15-01-02"},
    {"%starttime%", &ScheduleItem::StartTime, Column::Time, "2230"},
    {"%category%", &ScheduleItem::Category, Column::Category, "Drama"},
    {"%channelnumber%", &ScheduleItem::ChannelNumber, Column::ChannelNumber, "106"},
    {"%channelname%", &ScheduleItem::ChannelName, Column::Channel, "SkyOne"},
}};

// A folder name of dots alone that came (at least partly) from programme
// data would climb out of the pattern's folders: turn its dots into "_".
void defuseDotFolders(std::string& path, const std::vector<bool>& fromData) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !isPathSeparator(path[end])) ++end;
        bool dotsOnly = end > start, touched = false;
        for (size_t i = start; i < end; ++i) {
            dotsOnly = dotsOnly && path[i] == '.';
            touched = touched || fromData[i];
        }
        if (dotsOnly && touched)
            for (size_t i = start; i < end; ++i) path[i] = '_';
        start = end + 1;
    }
}

// Programme data can make a folder or file name longer than the file system
// takes. Folder names are cut to its limit; the file name keeps its last four
// characters (the extension) and is cut so that every part's final name,
// file number and "[99.99].mpg" included, still fits.
std::string fitComponents(const std::string& path) {
    constexpr size_t kExtension = 4;
    std::string out;
    size_t start = 0;
    while (true) {
        size_t end = start;
        while (end < path.size() && !isPathSeparator(path[end])) ++end;
        const std::string_view name = std::string_view(path).substr(start, end - start);
        if (end < path.size()) {
            out += part_files::fitBytes(name, part_files::kMostNameBytes);
            out += path[end];
            start = end + 1;
            continue;
        }
        if (name.size() > part_files::kMostBaseComponentBytes + kExtension) {
            out += part_files::fitBytes(name.substr(0, name.size() - kExtension),
                                        part_files::kMostBaseComponentBytes);
            out += name.substr(name.size() - kExtension);
        } else {
            out += name;
        }
        return out;
    }
}

std::string expand(std::string_view pattern, const std::function<std::string(const Token&)>& value) {
    std::string out;
    std::vector<bool> fromData;
    size_t i = 0;
    while (i < pattern.size()) {
        const Token* match = nullptr;
        for (const Token& token : kTokens) {
            if (pattern[i] != '%') break;
            if (equalsIgnoreCase(pattern.substr(i, token.text.size()), token.text)) {
                match = &token;
                break;
            }
        }
        if (match) {
            const std::string replacement = value(*match);
            out += replacement;
            fromData.insert(fromData.end(), replacement.size(), true);
            i += match->text.size();
        } else {
            out += pattern[i++];
            fromData.push_back(false);
        }
    }
    defuseDotFolders(out, fromData);
    return fitComponents(out);
}

}  // namespace

std::string Clean_FileName_Text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 126) continue;
        if (c == '"' || c == '\'' || c == '*' || c == ',' || c == '/' || c == ':' || c == ';' ||
            c == '?')
            continue;
        out += c;
    }
    return out;
}

std::string Expand_FileName(const ScheduleTable& table, int index, std::string_view pattern) {
    const ScheduleItem& item = table[index];
    return expand(pattern, [&](const Token& t) { return Clean_FileName_Text(item.*t.field); });
}

std::string Example_FileName(const ScheduleList& list, int row, std::string_view pattern) {
    if (list.rowCount() == 0)
        return expand(pattern, [](const Token& t) { return std::string(t.sample); });
    return expand(pattern,
                  [&](const Token& t) { return Clean_FileName_Text(list.cell(row, t.column)); });
}

bool Make_File_Path(std::string_view path) {
    const size_t last = path.find_last_of("\\/");
    if (last == std::string_view::npos || last + 1 <= rootLength(path)) return true;
    const std::filesystem::path folder = toHostPath(path.substr(0, last + 1));
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return !ec && std::filesystem::is_directory(folder, ec);
}

}  // namespace kelbo
