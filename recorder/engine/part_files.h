#pragma once

#include <string>

namespace kelbo {

// Names of the files of one recording. From the list's "Filename" text the
// last four characters (the extension) are cut to give the base; parts are
// written as  base + fileNumber + "[" + part + ".]" + ".mpg"  and renamed at
// the end to  base + fileNumber + "[" + part + "." + parts + "]" + ".mpg".
namespace part_files {

std::string baseName(const std::string& fileNameText);
// The name whose folder must exist before a recording: base[part.].mpg
std::string probeName(const std::string& base, int part);
std::string writingName(const std::string& base, int fileNumber, int part);
std::string finalName(const std::string& base, int fileNumber, int part, int parts);

// One more than the highest file number that a part file of this base
// already carries in the probe's folder, or 1.
int chooseFileNumber(const std::string& probe);

}  // namespace part_files
}  // namespace kelbo
