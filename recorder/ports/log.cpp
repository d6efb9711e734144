#include "log.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>

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
    std::filesystem::create_directories(file.parent_path(), ec);
    try {
        sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file.string(), kFileBytes,
                                                                              kKeptFiles));
    } catch (const spdlog::spdlog_ex& e) {
        // The recorder goes on without its file; say so once where it can.
        std::cerr << "kelbo: the log cannot be written to " << file.string() << ": " << e.what() << '\n';
    }
    if (::isatty(STDERR_FILENO)) sinks.push_back(std::make_shared<spdlog::sinks::stderr_sink_mt>());
    auto made = std::make_shared<spdlog::logger>("kelbo", sinks.begin(), sinks.end());
    made->set_pattern("%Y-%m-%d %H:%M:%S.%e [%l] %v");
    // Each line reaches the file at once: a crash or kill -9 loses nothing.
    made->flush_on(spdlog::level::trace);
    return made;
}

void write(spdlog::level::level_enum level, const std::string& message) {
    const std::filesystem::path file = logFile();
    std::lock_guard lock(guard);
    if (!logger || file != loggerFile) {
        logger = makeLogger(file);
        loggerFile = file;
    }
    logger->log(level, message);
}

}  // namespace

std::filesystem::path logFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::filesystem::path(state) / "kelbo" / "kelbo.log";
    const char* home = std::getenv("HOME");
    const std::filesystem::path base = home && *home ? home : "/tmp";
    return base / ".local" / "state" / "kelbo" / "kelbo.log";
}

void info(const std::string& message) { write(spdlog::level::info, message); }
void warn(const std::string& message) { write(spdlog::level::warn, message); }
void error(const std::string& message) { write(spdlog::level::err, message); }

}  // namespace kelbo::log
