#include "capture_options.h"

#include <charconv>
#include <cmath>
#include <filesystem>

namespace kelbo {

const char* const kCaptureUsage =
    "usage: kelbo-capture [--source test|file:PATH|URL|/dev/videoN] [--template NAME] "
    "[--no-preview] [--seconds S | --limit-ms MS] [--split-every-ms MS] FILE";

namespace {

std::optional<std::int64_t> positiveWhole(const std::string& text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
    return value;
}

std::optional<std::int64_t> secondsAsMs(const std::string& text) {
    double seconds = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec != std::errc() || end != text.data() + text.size() || !(seconds > 0) || seconds > 1e9)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(seconds * 1000));
}

}  // namespace

std::optional<CaptureOptions> parseCaptureOptions(const std::vector<std::string>& args) {
    CaptureOptions options;
    bool limitGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            CaptureOptions help;
            help.help = true;
            return help;
        }
        if (arg == "--no-preview") {
            options.preview = false;
        } else if (arg == "--source" && hasValue) {
            options.source = parseCaptureSource(args[++i]);
            if (!options.source) return std::nullopt;
        } else if (arg == "--template" && hasValue) {
            options.templateName = args[++i];
        } else if ((arg == "--seconds" || arg == "--limit-ms") && hasValue && !limitGiven) {
            const auto ms = arg == "--seconds" ? secondsAsMs(args[++i]) : positiveWhole(args[++i]);
            if (!ms) return std::nullopt;
            options.limitMs = *ms;
            limitGiven = true;
        } else if (arg == "--split-every-ms" && hasValue) {
            const auto ms = positiveWhole(args[++i]);
            if (!ms) return std::nullopt;
            options.splitEveryMs = *ms;
        } else if (!arg.empty() && arg[0] != '-' && options.file.empty()) {
            options.file = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.file.empty()) return std::nullopt;
    return options;
}

std::string partFileName(const std::string& file, int part) {
    if (part <= 1) return file;
    const std::filesystem::path path(file);
    const std::string suffix = "-" + std::to_string(part);
    if (!path.has_extension()) return file + suffix;
    return (path.parent_path() / (path.stem().string() + suffix + path.extension().string()))
        .string();
}

}  // namespace kelbo
