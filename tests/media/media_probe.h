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
    // Every stream: "ac3 deu visual_impaired" (its codec, language and
    // disposition flags), and its earliest packet's time (-1 none).
    struct Track {
        std::string description;
        long long firstPts = -1;
    };
    std::vector<Track> tracks;

    // Average video bit rate over the file's pictures.
    double videoKbps(double framesPerSecond) const;
};

MediaProbe probeMedia(const std::filesystem::path& file);

// One packet of a file as ffprobe reads it, with a hash of its bytes.
struct PacketPrint {
    bool video = false;
    bool key = false;
    long long pts = -1;  // the file's own clock; -1 none
    std::string hash;
};
// The packets of the file's first picture and sound streams, in file order.
std::vector<PacketPrint> packetPrints(const std::filesystem::path& file);

// What decoding the whole file finds.
struct DecodedMedia {
    bool ok = false;
    std::string errors;  // ffmpeg's complaints at level "error"
    std::vector<std::pair<int, int>> sizes;  // each picture size, in order of first appearance
    std::vector<int> sampleRates;            // likewise
    double soundSeconds = 0;                 // the decoded samples, at their rates
    int pictures = 0;
};
DecodedMedia decodeMedia(const std::filesystem::path& file);

// Average luma (0..255) of picture `frame` (from 0) of the file; -1 when
// there is none.
double meanLuma(const std::filesystem::path& file, int frame);

// Loudest sample of the file's sound in dBFS; -100 for silence or none.
double maxVolumeDb(const std::filesystem::path& file);

// Where a flash-and-beep recording's sound lies against its pictures,
// milliseconds, sound later positive: for each flash (a white picture among
// black ones) the beep nearest to it, and where the sound starts and ends.
struct AvSync {
    std::vector<double> beepAfterFlashMs;
    double soundStartMs = 1e9, soundEndMs = 1e9;
};
AvSync measureAvSync(const std::filesystem::path& file);

// Runs a shell command; its exit status and standard output.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

std::string shellQuoted(const std::string& text);

}  // namespace kelbo::testing
