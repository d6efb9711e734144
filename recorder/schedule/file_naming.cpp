#include "file_naming.h"

#include "part_files.h"
#include "common/host_paths.h"
#include "common/text_util.h"
#include "recorder/schedule/schedule_table.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <functional>

namespace kelbo {

namespace {

using Token = FileNameToken;

constexpr std::array<Token, 6> kTokens = {{
    {"%programme%", &ScheduleItem::ProgrammeName, "ThePretender"},
    {"%startdate%", &ScheduleItem::StartDate, "15-01-02"},
    {"%starttime%", &ScheduleItem::StartTime, "2230"},
    {"%category%", &ScheduleItem::Category, "Drama"},
    {"%channelnumber%", &ScheduleItem::ChannelNumber, "106"},
    {"%channelname%", &ScheduleItem::ChannelName, "SkyOne"},
}};

// Names that programme data can make awkward or unsafe: a name of dots (and
// spaces) alone would climb out of the pattern's folders or hide, and a
// leading "-" makes command-line tools take the file for an option. In a
// folder or file name that programme data took part in, such a name's
// characters become "_", and a leading "-" becomes "_".
// `fromData` marks the characters programme data gave, and the places where
// a token gave nothing.
void defuseNames(std::string& path, const std::vector<bool>& fromData) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !isPathSeparator(path[end])) ++end;
        bool dotsAndSpaces = end > start, touched = fromData[end];
        for (size_t i = start; i < end; ++i) {
            dotsAndSpaces = dotsAndSpaces && (path[i] == '.' || path[i] == ' ');
            touched = touched || fromData[i];
        }
        if (touched && dotsAndSpaces)
            for (size_t i = start; i < end; ++i) path[i] = '_';
        if (touched && end > start && path[start] == '-') path[start] = '_';
        start = end + 1;
    }
}

// Characters that have no place in a file name although they are valid
// text: controls (C0, DEL, C1) and the invisible marks that reorder text,
// which can make a name look like another with a different extension.
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
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
    std::vector<size_t> emptyTokens;
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
            if (replacement.empty()) emptyTokens.push_back(out.size());
            out += replacement;
            fromData.insert(fromData.end(), replacement.size(), true);
            i += match->text.size();
        } else {
            out += pattern[i++];
            fromData.push_back(false);
        }
    }
    // One more place, after the last character, for a token that ends the name.
    fromData.push_back(false);
    for (const size_t at : emptyTokens) fromData[at] = true;
    defuseNames(out, fromData);
    return fitComponents(out);
}

}  // namespace

std::string Clean_FileName_Text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto code = nextUtf8(text, at);
        if (!code || isControl(*code)) continue;
        // Either separator would let programme data make folders of its own.
        if (*code == '"' || *code == '\'' || *code == '*' || *code == ',' || *code == '/' || *code == '\\' ||
            *code == ':' || *code == ';' || *code == '?')
            continue;
        appendUtf8(out, *code);
    }
    return out;
}

std::string Expand_FileName(const ScheduleTable& table, int index, std::string_view pattern) {
    const ScheduleItem& item = table[index];
    return expand(pattern, [&](const Token& t) { return Clean_FileName_Text(item.*t.field); });
}

std::string expandFileName(std::string_view pattern,
                           const std::function<std::string(const FileNameToken&)>& value) {
    return expand(pattern, [&](const Token& t) { return Clean_FileName_Text(value(t)); });
}

bool Make_File_Path(std::string_view path, std::string* reason) {
    const size_t last = path.find_last_of("\\/");
    if (last == std::string_view::npos || last + 1 <= rootLength(path)) return true;
    const std::filesystem::path folder = toHostPath(path.substr(0, last + 1));
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec && std::filesystem::is_directory(folder, ec)) return true;
    // Something on the way that is no folder: the system says "File exists".
    if (reason)
        *reason = ec && ec != std::errc::file_exists ? ec.message() : std::generic_category().message(ENOTDIR);
    return false;
}

}  // namespace kelbo
