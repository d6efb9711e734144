#pragma once

#include <cstddef>
#include <string_view>

namespace kelbo {

// Terminal columns, for lining up text of any script in plain-text tables.
// A character of UTF-8 text takes the columns a terminal gives it: two for
// East Asian wide and fullwidth characters, none for combining marks,
// format characters and controls, one for the rest; a byte that starts no
// valid sequence takes one (a terminal shows a replacement character).

int columnsOf(char32_t code);
std::size_t displayWidth(std::string_view text);

// The longest start of `text` that fits in `columns` columns, cut between
// characters; marks that combine with the last character kept stay with it.
std::string_view displayPrefix(std::string_view text, std::size_t columns);
// The longest end of `text` that fits in `columns` columns, beginning with
// a character that takes a column (never with a mark cut from its own).
std::string_view displaySuffix(std::string_view text, std::size_t columns);

}  // namespace kelbo
