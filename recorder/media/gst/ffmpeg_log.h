#pragma once

namespace kelbo {

// Sends FFmpeg's own error messages to the recorder's log instead of
// standard error. Safe to call more than once.
void routeFfmpegErrorsToLog();

}  // namespace kelbo
