#include "log.h"

#include "common/text_util.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <chrono>
#include <string_view>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <utility>
#include <iostream>
#include <memory>
#include <mutex>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo::log {

namespace {

// A recorder left running for months must not fill the disk with its log.
constexpr std::size_t kFileBytes = std::size_t{1024} * 1024;
constexpr std::size_t kKeptFiles = 3;

std::mutex guard;
std::shared_ptr<spdlog::logger> logger;
std::filesystem::path loggerFile;

std::shared_ptr<spdlog::logger> makeLogger(const std::filesystem::path& file) {
    std::vector<spdlog::sink_ptr> sinks;
    std::error_code ec;
    if (!file.empty()) try {
        std::filesystem::create_directories(file.parent_path(), ec);
        // The log names streams and files: for the user's eyes only, each
        // file as it is opened, rotated ones included.
        spdlog::file_event_handlers ownersOnly;
        ownersOnly.after_open = [](const spdlog::filename_t&, std::FILE* stream) {
            ::fchmod(::fileno(stream), S_IRUSR | S_IWUSR);
        };
        sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file.string(), kFileBytes,
                                                                              kKeptFiles, false, ownersOnly));
    } catch (const spdlog::spdlog_ex& e) {
        // The recorder goes on without its file; say so once where it can.
        std::cerr << "kelbo: the log cannot be written to " << file.string() << ": " << e.what() << '\n';
    }
    if (::isatty(STDERR_FILENO)) sinks.push_back(std::make_shared<spdlog::sinks::stderr_sink_mt>());
    auto made = std::make_shared<spdlog::logger>("kelbo", sinks.begin(), sinks.end());
    // The area and level are the line's own: "stream [warning] ...".
    made->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
    made->set_level(spdlog::level::trace);
    // Each line reaches the file at once: a crash or kill -9 loses nothing.
    made->flush_on(spdlog::level::trace);
    return made;
}

// A kind of message that comes again and again (a decoder complaining of
// every picture) is written at most once a second; the next one written
// says how many were left out.
class Repeats {
public:
    // The line to write, or nothing when it is left out.
    std::optional<std::string> pass(const std::string& key, const std::string& message) {
        const auto now = std::chrono::steady_clock::now();
        if (seen_.size() > kKeys) prune(now);
        Seen& seen = seen_[key];
        if (seen.written != Clock::time_point{} && now - seen.written < kEvery) {
            ++seen.leftOut;
            return std::nullopt;
        }
        seen.written = now;
        const int leftOut = std::exchange(seen.leftOut, 0);
        if (leftOut == 0) return message;
        return message + " (" + std::to_string(leftOut) + " more like it in the last seconds, not written)";
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Seen {
        Clock::time_point written{};
        int leftOut = 0;
    };
    static constexpr std::size_t kKeys = 256;
    static constexpr auto kEvery = std::chrono::seconds(1);

    void prune(Clock::time_point now) {
        for (auto it = seen_.begin(); it != seen_.end();)
            it = now - it->second.written > kEvery && it->second.leftOut == 0 ? seen_.erase(it) : std::next(it);
    }

    std::unordered_map<std::string, Seen> seen_;
};

Repeats repeats;

void write(Area area, spdlog::level::level_enum level, const std::string& message,
           const std::string* kind = nullptr) {
    const std::filesystem::path file = logFile();
    // Text from outside may carry escape sequences and stream passwords.
    std::string line = escapeControls(maskCredentials(message));
    std::lock_guard lock(guard);
    if (kind) {
        auto passed = repeats.pass(*kind, line);
        if (!passed) return;
        line = std::move(*passed);
    }
    if (!logger || file != loggerFile) {
        logger = makeLogger(file);
        loggerFile = file;
    }
    const auto levelName = spdlog::level::to_string_view(level);
    std::string head = area == Area::General ? "" : std::string(areaName(area)) + " ";
    head += "[" + std::string(levelName.data(), levelName.size()) + "] ";
    logger->log(level, head + line);
}

// Whether `wanted`, a list such as "stream, recording" or "all", names `area`.
bool names(std::string_view wanted, Area area) {
    const std::string_view name = areaName(area);
    std::size_t at = 0;
    while (at < wanted.size()) {
        std::size_t end = wanted.find_first_of(", ", at);
        if (end == std::string_view::npos) end = wanted.size();
        const std::string_view word = wanted.substr(at, end - at);
        if (word == name || word == "all" || word == "1") return true;
        at = end + 1;
    }
    return false;
}

}  // namespace

std::filesystem::path logFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::filesystem::path(state) / "kelbo" / "kelbo.log";
    const char* home = std::getenv("HOME");
    std::filesystem::path base = home && *home == '/' ? home : "";
    // Without HOME, the home folder the system knows; never a shared folder.
    if (base.empty())
        if (const struct passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir == '/')
            base = user->pw_dir;
    if (base.empty()) return {};
    return base / ".local" / "state" / "kelbo" / "kelbo.log";
}

const char* areaName(Area area) {
    switch (area) {
        case Area::General: break;
        case Area::Schedule: return "schedule";
        case Area::Recording: return "recording";
        case Area::Device: return "device";
        case Area::Stream: return "stream";
        case Area::Commands: return "commands";
        case Area::Desktop: return "desktop";
    }
    return "general";
}

void info(const std::string& message) { write(Area::General, spdlog::level::info, message); }
void warn(const std::string& message) { write(Area::General, spdlog::level::warn, message); }
void error(const std::string& message) { write(Area::General, spdlog::level::err, message); }
void info(Area area, const std::string& message) { write(area, spdlog::level::info, message); }
void warn(Area area, const std::string& message) { write(area, spdlog::level::warn, message); }
void error(Area area, const std::string& message) { write(area, spdlog::level::err, message); }
void errorOften(const std::string& kind, const std::string& message) {
    write(Area::General, spdlog::level::err, message, &kind);
}

bool debugging(Area area) {
    const char* wanted = std::getenv("KELBO_DEBUG");
    return wanted && *wanted && names(wanted, area);
}

void debug(Area area, const std::string& message) {
    if (debugging(area)) write(area, spdlog::level::debug, message);
}

}  // namespace kelbo::log
