#include "command_request.h"

#include "common/text_util.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <limits>

namespace kelbo::app {

void RequestLine::add(std::string_view bytes) {
    if (done()) return;
    const std::size_t room = kMaxBytes + 1 - pending_.size();
    const std::string_view taken = bytes.substr(0, room);
    const std::size_t newline = taken.find('\n');
    pending_.append(taken.substr(0, newline));
    if (newline != std::string_view::npos && pending_.size() <= kMaxBytes) {
        std::string_view text = pending_;
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
        line_ = std::string(text);
        pending_.clear();
    } else if (pending_.size() > kMaxBytes) {
        tooLong_ = true;
        pending_.clear();
        pending_.shrink_to_fit();
    }
}

CommandRequest readCommand(std::string_view line) {
    CommandRequest request;
    if (line == "raise") request.command = Command::Raise;
    else if (line == "status") request.command = Command::Status;
    else if (line == "stop-recording") request.command = Command::StopRecording;
    else if (constexpr std::string_view stop = "stop-recording "; line.substr(0, stop.size()) == stop) {
        request.programme = readProgrammeId(line.substr(stop.size()));
        if (request.programme) request.command = Command::StopRecording;
    }
    else if (line == "reload") request.command = Command::Reload;
    // Shown back in part only: whoever sent it knows the rest.
    request.shown = escapeControls(utf8Prefix(line, 200));
    return request;
}

std::optional<ProgrammeId> readProgrammeId(std::string_view text) {
    constexpr std::size_t kMostDigits = 10;
    if (text.empty() || text.size() > kMostDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value == 0 || value > std::numeric_limits<ProgrammeId>::max()) return std::nullopt;
    return static_cast<ProgrammeId>(value);
}

std::string errorReply(std::string_view why) { return dumpReply(nlohmann::json{{"error", std::string(why)}}); }

std::string dumpReply(const nlohmann::json& reply) {
    return reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace kelbo::app
