#pragma once

#include "recorder/schedule/programme.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo::app {

// The bytes of one connection to the command socket, cut at the first line
// break. Whoever can reach the socket may send anything: a request longer
// than kMaxBytes is refused rather than kept in memory.
class RequestLine {
public:
    static constexpr std::size_t kMaxBytes = std::size_t{64} * 1024;

    // Adds what arrived; once a line is complete or too long, more is ignored.
    void add(std::string_view bytes);
    // The request without its line break and surrounding spaces, once its
    // line break has arrived.
    const std::optional<std::string>& line() const { return line_; }
    bool tooLong() const { return tooLong_; }
    bool done() const { return line_ || tooLong_; }
    std::size_t buffered() const { return pending_.size(); }

private:
    std::string pending_;
    std::optional<std::string> line_;
    bool tooLong_ = false;
};

enum class Command { Raise, Status, StopRecording, Reload, Unknown };

struct CommandRequest {
    Command command = Command::Unknown;
    // "stop-recording ID": the programme whose recording stops; none for all.
    std::optional<ProgrammeId> programme;
    // The request as it may be shown back (in an error reply, the log):
    // control characters and bytes that are not UTF-8 escaped.
    std::string shown;
};

CommandRequest readCommand(std::string_view line);

// A programme id as the command line and the socket give it: decimal
// digits only, 1 to the largest id; nothing otherwise.
std::optional<ProgrammeId> readProgrammeId(std::string_view text);

// The JSON reply of a request that is refused, one line without its break.
std::string errorReply(std::string_view why);

// A reply object as one line of JSON, never failing: text that is not
// UTF-8 (which the recorder's own texts should never hold) is replaced.
std::string dumpReply(const nlohmann::json& reply);

}  // namespace kelbo::app
