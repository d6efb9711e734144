#pragma once

#include <string>
#include <vector>

namespace kelbo {

class CaptureDevice;
class MessageBoxes;

// Where the user's recordings are: the file-name pattern's fixed leading
// folder (the folders before the first one that holds a %token%), made
// absolute.
std::string recordingsFolder(const std::string& pattern);

// The finished files of the recordings of one row, given the row's
// "Filename" text: every file number's final-named parts, the latest
// recording (highest file number) first, its parts in order. Only regular
// files of the user's own count: never a link.
std::vector<std::string> recordedFiles(const std::string& fileNameText);

// The parts of the row's latest recording, in order: what Play plays.
std::vector<std::string> latestRecording(const std::string& fileNameText);

// File > Quit: while a recording runs the user is asked first. True when
// the program may end.
bool confirmQuit(const CaptureDevice& device, MessageBoxes& messages);

}  // namespace kelbo
