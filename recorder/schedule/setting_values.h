#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kelbo {

// The range of the Options dialog's spinners, and so of every buffer,
// picture value and split value the recorder accepts.
inline constexpr int kSpinnerMin = 0;
inline constexpr int kSpinnerMax = 32767;

// How many tuners the recorder can be given, and how many it has unless
// told otherwise.
inline constexpr int kFewestTuners = 1;
inline constexpr int kMostTuners = 8;

// Longest stored path or file-name pattern the recorder reads back.
inline constexpr std::size_t kLongestStoredPath = 4096;

// Decimal digits, optionally between spaces, whose value lies in
// [low, high]. Signs, fractions and exponents are refused.
std::optional<int> wholeNumberIn(std::string_view text, int low = kSpinnerMin,
                                 int high = kSpinnerMax);

// Valid UTF-8 without control characters and no longer than `maxLength`
// bytes: text a text field can show and give back unchanged.
bool isReadableText(std::string_view text, std::size_t maxLength);

}  // namespace kelbo
