#pragma once

#include <string>
#include <string_view>

namespace kelbo {

class ScheduleTable;
class ScheduleList;

// Output file names from the user's pattern. Six tokens, matched without
// regard to case: %programme%, %startdate%, %starttime%, %category%,
// %channelnumber%, %channelname%. Programme data is cleaned before it goes
// into a path, and a folder or file name that programme data made only of
// dots and spaces, or made start with "-", is defused, so a recording never
// lands outside the folders the pattern names or reads as an option.

// Keeps every character of the UTF-8 text but quotes, "*", ",", "/", "\",
// ":", ";", "?" and control characters; bytes that are not UTF-8 are
// dropped. So programme data never adds a folder level.
std::string Clean_FileName_Text(std::string_view text);

// The pattern expanded for schedule table slot `index`.
std::string Expand_FileName(const ScheduleTable& table, int index, std::string_view pattern);

// The pattern expanded from list row `row` (from 1), or with sample values
// when the list is empty.
std::string Example_FileName(const ScheduleList& list, int row, std::string_view pattern);

// Makes sure the folder part of `path` exists, creating missing folders.
// A path with no folder, or only a root, is left alone. On failure `reason`
// (when given) gets the system's reason in words.
bool Make_File_Path(std::string_view path, std::string* reason = nullptr);

}  // namespace kelbo
