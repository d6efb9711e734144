#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelbo::testing {

// What ffprobe finds in a recorded file.
struct MediaProbe {
    bool ok = false;
    std::string formatName;
    double duration = 0;
    std::string videoCodec, audioCodec;
    int width = 0, height = 0;
    int sampleRate = 0;
    std::vector<long long> videoPts;  // 90 kHz, in presentation order
    std::vector<long long> audioPts;
    long long videoBytes = 0;  // all video packets together

    // Average video bit rate over the file's pictures.
    double videoKbps(double framesPerSecond) const;
};

MediaProbe probeMedia(const std::filesystem::path& file);

// Average luma (0..255) of picture `frame` (from 0) of the file; -1 when
// there is none.
double meanLuma(const std::filesystem::path& file, int frame);

// Loudest sample of the file's sound in dBFS; -100 for silence or none.
double maxVolumeDb(const std::filesystem::path& file);

// Runs a shell command; its exit status and standard output.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

std::string shellQuoted(const std::string& text);

}  // namespace kelbo::testing
