#include "media_probe.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <sstream>
#include <sys/wait.h>

namespace kelbo::testing {

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 65536> buffer;
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

MediaProbe probeMedia(const std::filesystem::path& file) {
    MediaProbe probe;
    const auto result = runCommand(
        // A picture whose program-stream packet carries no PTS of its own
        // (the muxer writes one only where a picture starts a packet) still
        // counts: the demuxer works out its time.
        "ffprobe -v error -fflags +genpts -of json -show_format -show_streams "
        "-show_entries packet=stream_index,pts,size " +
        shellQuoted(file.string()));
    if (result.status != 0) return probe;
    const auto json = nlohmann::json::parse(result.output, nullptr, false);
    if (json.is_discarded()) return probe;
    probe.formatName = json["format"].value("format_name", "");
    probe.duration = std::stod(json["format"].value("duration", "0"));
    int videoIndex = -1, audioIndex = -1;
    for (const auto& stream : json["streams"]) {
        std::string description = stream.value("codec_name", "?");
        if (stream.contains("tags") && stream["tags"].contains("language"))
            description += " " + stream["tags"]["language"].get<std::string>();
        const auto disposition = stream.value("disposition", nlohmann::json::object());
        for (const auto& [flag, on] : disposition.items())
            if (on == 1) description += " " + flag;
        probe.tracks.push_back({description, -1});
        if (stream["codec_type"] == "video") {
            videoIndex = stream["index"];
            probe.videoCodec = stream["codec_name"];
            probe.width = stream["width"];
            probe.height = stream["height"];
        } else if (stream["codec_type"] == "audio") {
            audioIndex = stream["index"];
            probe.audioCodec = stream["codec_name"];
            probe.sampleRate = std::stoi(stream.value("sample_rate", "0"));
        }
    }
    for (const auto& packet : json["packets"]) {
        if (!packet.contains("pts")) continue;
        const int index = packet["stream_index"];
        if (index >= 0 && static_cast<std::size_t>(index) < probe.tracks.size()) {
            long long& first = probe.tracks[static_cast<std::size_t>(index)].firstPts;
            first = first < 0 ? packet["pts"].get<long long>() : std::min(first, packet["pts"].get<long long>());
        }
        if (index == videoIndex) {
            probe.videoPts.push_back(packet["pts"]);
            probe.videoBytes += std::stoll(packet.value("size", "0"));
        }
        if (index == audioIndex) probe.audioPts.push_back(packet["pts"]);
    }
    std::sort(probe.videoPts.begin(), probe.videoPts.end());
    std::sort(probe.audioPts.begin(), probe.audioPts.end());
    probe.ok = true;
    return probe;
}

std::vector<PacketPrint> packetPrints(const std::filesystem::path& file) {
    std::vector<PacketPrint> prints;
    const auto result = runCommand(
        "ffprobe -v error -of json -show_data_hash CRC32 -show_entries "
        "stream=index,codec_type:packet=stream_index,pts,flags,data_hash " +
        shellQuoted(file.string()));
    if (result.status != 0) return prints;
    const auto json = nlohmann::json::parse(result.output, nullptr, false);
    if (json.is_discarded()) return prints;
    int videoIndex = -1, audioIndex = -1;
    for (const auto& stream : json["streams"]) {
        if (stream["codec_type"] == "video" && videoIndex < 0) videoIndex = stream["index"];
        if (stream["codec_type"] == "audio" && audioIndex < 0) audioIndex = stream["index"];
    }
    for (const auto& packet : json["packets"]) {
        const int index = packet["stream_index"];
        if (index != videoIndex && index != audioIndex) continue;
        PacketPrint print;
        print.video = index == videoIndex;
        print.key = packet.value("flags", "").find('K') != std::string::npos;
        print.pts = packet.contains("pts") ? packet["pts"].get<long long>() : -1;
        print.hash = packet.value("data_hash", "");
        prints.push_back(print);
    }
    return prints;
}

DecodedMedia decodeMedia(const std::filesystem::path& file) {
    DecodedMedia media;
    const std::string quoted = shellQuoted(file.string());
    const auto decoded = runCommand("ffmpeg -v error -nostdin -i " + quoted + " -f null - 2>&1");
    media.errors = decoded.output;
    const auto pictures = runCommand("ffprobe -v error -of json -select_streams v:0 -show_entries "
                                     "frame=width,height " + quoted);
    // ashowinfo tells each decoded block of sound with its rate.
    const auto sounds = runCommand("ffmpeg -hide_banner -nostdin -i " + quoted +
                                   " -map 0:a:0 -af ashowinfo -f null - 2>&1");
    if (decoded.status != 0 || pictures.status != 0) return media;
    const auto json = nlohmann::json::parse(pictures.output, nullptr, false);
    if (json.is_discarded()) return media;
    for (const auto& frame : json["frames"]) {
        ++media.pictures;
        const std::pair<int, int> size{frame.value("width", 0), frame.value("height", 0)};
        if (std::find(media.sizes.begin(), media.sizes.end(), size) == media.sizes.end())
            media.sizes.push_back(size);
    }
    std::istringstream lines(sounds.output);
    std::string line;
    while (std::getline(lines, line, ']')) {
        const auto rateAt = line.find(" rate:"), samplesAt = line.find(" nb_samples:");
        if (rateAt == std::string::npos || samplesAt == std::string::npos) continue;
        const int rate = std::atoi(line.c_str() + rateAt + 6);
        const int samples = std::atoi(line.c_str() + samplesAt + 12);
        if (rate <= 0) continue;
        if (std::find(media.sampleRates.begin(), media.sampleRates.end(), rate) == media.sampleRates.end())
            media.sampleRates.push_back(rate);
        media.soundSeconds += samples / static_cast<double>(rate);
    }
    media.ok = true;
    return media;
}

double MediaProbe::videoKbps(double framesPerSecond) const {
    if (videoPts.empty()) return 0;
    return static_cast<double>(videoBytes) * 8 * framesPerSecond /
           static_cast<double>(videoPts.size()) / 1000;
}

double meanLuma(const std::filesystem::path& file, int frame) {
    const auto result = runCommand("ffmpeg -v error -i " + shellQuoted(file.string()) +
                                   " -vf 'select=gte(n\\," + std::to_string(frame) +
                                   "),scale=90:72' -frames:v 1 -pix_fmt gray -f rawvideo -");
    if (result.status != 0 || result.output.empty()) return -1;
    const double sum = std::accumulate(result.output.begin(), result.output.end(), 0.0,
                                       [](double s, char c) { return s + static_cast<unsigned char>(c); });
    return sum / static_cast<double>(result.output.size());
}

double maxVolumeDb(const std::filesystem::path& file) {
    const auto result = runCommand("ffmpeg -hide_banner -nostats -i " + shellQuoted(file.string()) +
                                   " -vn -af volumedetect -f null - 2>&1");
    const auto at = result.output.find("max_volume: ");
    if (at == std::string::npos) return -100;
    const std::string value = result.output.substr(at + 12);
    return value.rfind("-inf", 0) == 0 ? -100 : std::stod(value);
}

AvSync measureAvSync(const std::filesystem::path& file) {
    AvSync sync;
    const MediaProbe probe = probeMedia(file);
    if (probe.videoPts.size() < 2 || probe.audioPts.size() < 2) return sync;
    // Each stream ends a packet's length after its last packet.
    const auto end = [](const std::vector<long long>& pts) { return 2 * pts.back() - pts[pts.size() - 2]; };
    sync.soundStartMs = static_cast<double>(probe.audioPts.front() - probe.videoPts.front()) / 90;
    sync.soundEndMs = static_cast<double>(end(probe.audioPts) - end(probe.videoPts)) / 90;
    // The black ends at each flash and the silence at each beep, and both
    // at the end of the file, where no flash is.
    const std::string log = runCommand("ffmpeg -nostats -nostdin -i " + shellQuoted(file.string()) +
                                       " -filter_complex '[0:v]blackdetect=d=0.5:pix_th=0.3[v];[0:a]silencedetect="
                                       "n=-30dB:d=0.5[a]' -map '[v]' -map '[a]' -f null - 2>&1").output;
    std::vector<double> flashes, beeps;
    for (const auto& [times, key] : {std::pair{&flashes, std::string("black_end:")}, {&beeps, "silence_end: "}})
        for (auto at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
            times->push_back(std::atof(log.c_str() + at + key.size()));
    for (const double flash : flashes) {
        double nearest = 1e9;
        for (const double beep : beeps)
            if (std::abs(beep - flash) < std::abs(nearest)) nearest = beep - flash;
        if (flash < static_cast<double>(end(probe.videoPts) - probe.videoPts.front()) / 90000 - 0.2)
            sync.beepAfterFlashMs.push_back(nearest * 1000);
    }
    return sync;
}

}  // namespace kelbo::testing
