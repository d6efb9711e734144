#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

// Names of the files of one recording. From the list's "Filename" text the
// last four characters (the extension) are cut to give the base; parts are
// written as  base + fileNumber + "[" + part + ".]" + ".mpg"  and renamed at
// the end to  base + fileNumber + "[" + part + "." + parts + "]" + ".mpg".
namespace part_files {

// Longest file name the file systems we record to accept, in bytes.
inline constexpr std::size_t kMostNameBytes = 255;
// What a part's name adds to the base's last component at most: a file
// number of five digits and "[99.99].mpg".
inline constexpr std::size_t kMostSuffixBytes = 5 + 11;
inline constexpr std::size_t kMostBaseComponentBytes = kMostNameBytes - kMostSuffixBytes;

// `text` cut to at most `bytes` bytes, never inside a UTF-8 character.
std::string fitBytes(std::string_view text, std::size_t bytes);

// The base, its last component shortened so that every part's final name
// fits the file system.
std::string baseName(const std::string& fileNameText);
// The name whose folder must exist before a recording: base[part.].mpg
std::string probeName(const std::string& base, int part);
std::string writingName(const std::string& base, int fileNumber, int part);
std::string finalName(const std::string& base, int fileNumber, int part, int parts);
// The name a recording of `fileNameText` ends with when it is the first of
// its base and stays in one part: base + "1[1.1].mpg". A later recording
// of the same base takes the next file number; a split numbers its parts.
std::string firstFileName(const std::string& fileNameText);
// The folder of a stored path, with its trailing separator ("" for none).
std::string folderOf(const std::string& path);

// One more than the highest file number that a part file of this base
// already carries in the probe's folder, or 1.
int chooseFileNumber(const std::string& probe);

// Removes `file` when it is an empty regular file of the user's own; true
// if it did.
bool removeIfEmpty(const std::string& file);

// What became of the working-name parts of one file number.
struct FinalNames {
    std::vector<std::string> named;   // final names given, in part order
    std::vector<std::string> removed; // empty parts removed
    std::vector<std::string> failed;  // parts left under their working name
};

// Gives the working-name parts `parts` (part numbers, ascending) of
// `fileNumber` their final names. Empty parts are removed; the others are
// numbered anew, 1 to their count, so the names say how many parts there
// are. A part whose final name is taken stays as it is; a link or another
// user's file under a part's name is left alone and counted as failed.
FinalNames nameFinalParts(const std::string& base, int fileNumber, const std::vector<int>& parts);

// Working-name parts found on disk: stem + "[" + part + ".].mpg", where the
// stem is a base followed by a file number.
struct WorkingParts {
    std::string stem;
    std::vector<int> parts;  // ascending
};
// The working-name parts of `base` in its folder, one entry per file number.
std::vector<WorkingParts> findWorkingParts(const std::string& base);
// nameFinalParts for parts found on disk.
FinalNames nameFinalParts(const WorkingParts& found);

// A part file of a base in its folder, under its working or final name.
struct PartFile {
    std::string path;  // folder + name, as stored paths are
    int fileNumber = 0;
};
// Every part file of `base`, of every file number: regular files of the
// user's own only.
std::vector<PartFile> partsOf(const std::string& base);

}  // namespace part_files
}  // namespace kelbo
