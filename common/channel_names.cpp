#include "channel_names.h"

#include "text_util.h"

#include <array>

namespace kelbo {

namespace {

char32_t lower(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1
    if (c >= 0x100 && c <= 0x137 && c % 2 == 0) return c + 1;  // Latin Extended-A, in pairs
    if (c >= 0x139 && c <= 0x148 && c % 2 == 1) return c + 1;
    if (c >= 0x14A && c <= 0x177 && c % 2 == 0) return c + 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E && c % 2 == 1) return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;  // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Removes one trailing decoration: "(...)", "[...]" or a quality word.
bool dropDecoration(std::string_view& name) {
    if (name.empty()) return false;
    const char close = name.back();
    if (close == ')' || close == ']') {
        const size_t open = name.rfind(close == ')' ? '(' : '[');
        if (open == std::string_view::npos || open == 0) return false;
        name = trimmed(name.substr(0, open));
        return true;
    }
    static constexpr std::array<std::string_view, 7> kQuality = {"hd", "fhd", "uhd", "sd", "4k", "8k", "hevc"};
    const size_t space = name.find_last_of(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view word = name.substr(space + 1);
    for (std::string_view quality : kQuality)
        if (word == quality) {
            name = trimmed(name.substr(0, space));
            return true;
        }
    return false;
}

}  // namespace

std::string foldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char c = utf8[i];
        if (static_cast<unsigned char>(c) < 0x80) {  // most names are ASCII: no decoding
            out += c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
            ++i;
            continue;
        }
        const size_t at = i;
        if (const auto code = nextUtf8(utf8, i)) appendUtf8(out, lower(*code));
        else out += utf8[at];  // not UTF-8: kept as it is
    }
    return out;
}

std::string channelNameKey(std::string_view name) {
    std::string collapsed;
    collapsed.reserve(name.size());
    for (char c : trimmed(name)) {
        if (isSpace(c)) {
            if (collapsed.back() != ' ') collapsed += ' ';
        } else {
            collapsed += c;
        }
    }
    const std::string folded = foldCase(collapsed);
    std::string_view key = folded;
    for (std::string_view shorter = key; dropDecoration(shorter) && !shorter.empty();) key = shorter;
    return std::string(key);
}

bool sameChannelName(std::string_view a, std::string_view b) {
    const std::string x = channelNameKey(a);
    return !x.empty() && x == channelNameKey(b);
}

std::string programmeSlotKey(std::string_view date, std::string_view time, std::string_view channelNumber,
                             std::string_view channelName) {
    std::string key;
    key.append(date).append(1, '\0').append(time).append(1, '\0').append(channelNumber).append(1, '\0');
    key += foldCase(channelName);
    return key;
}

}  // namespace kelbo
