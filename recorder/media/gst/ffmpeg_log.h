#pragma once

#include <string>

namespace kelbo {

// Sends FFmpeg's own error messages to the recorder's log instead of
// standard error. Safe to call more than once.
void routeFfmpegErrorsToLog();

// The last error message FFmpeg gave on the calling thread since it was
// last forgotten, without FFmpeg's "[tcp @ 0x...]" prefix: often more
// telling than an error code ("Failed to resolve hostname ..." is EIO).
std::string lastFfmpegError();
void forgetFfmpegError();

}  // namespace kelbo
