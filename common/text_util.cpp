#include "text_util.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace kelbo {

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view mid(std::string_view text, size_t start, size_t length) {
    if (start == 0 || start > text.size()) return {};
    return text.substr(start - 1, length);
}

std::optional<double> parseNumber(std::string_view text) {
    size_t i = 0;
    const auto skipSpaces = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipSpaces();
    const size_t begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    const std::string number(text.substr(begin, i - begin));
    skipSpaces();
    if (i != text.size()) return std::nullopt;
    return std::strtod(number.c_str(), nullptr);
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<long long> parseWholeNumber(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number || std::abs(*number) > 9.0e15) return std::nullopt;
    return static_cast<long long>(roundHalfEven(*number));
}

std::string zeroPad(long long value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

std::string_view utf8Prefix(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = maxBytes;
    // Step back over continuation bytes to the start of the cut sequence; a
    // sequence has at most three, which also bounds the loss for 8-bit text
    // that is not UTF-8.
    for (int i = 0; i < 3 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80; ++i)
        --end;
    return text.substr(0, end);
}

}  // namespace kelbo
