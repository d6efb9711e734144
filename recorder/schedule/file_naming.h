#pragma once

#include "common/schedule_item.h"

#include <functional>
#include <string>
#include <string_view>

namespace kelbo {

class ScheduleTable;

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

// A token of the pattern: the record's field it stands for, and the value
// an example shows when there is no programme to take it from.
struct FileNameToken {
    std::string_view text;
    std::string ScheduleItem::*field;
    std::string_view sample;
};

// The pattern expanded with each token's `value`, cleaned as programme data.
std::string expandFileName(std::string_view pattern,
                           const std::function<std::string(const FileNameToken&)>& value);

// Makes sure the folder part of `path` exists, creating missing folders.
// A path with no folder, or only a root, is left alone. On failure `reason`
// (when given) gets the system's reason in words.
bool Make_File_Path(std::string_view path, std::string* reason = nullptr);

}  // namespace kelbo
