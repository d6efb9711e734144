// Feeds arbitrary bytes, in arbitrary pieces, to the command socket's
// request reader, as one connection would send them. Besides not crashing,
// it never holds more than the bound, takes a line exactly when one ends
// within the bound, and every reply it leads to is valid JSON whatever the
// request's bytes (the recorder once ended on one byte that is not UTF-8).
#include "recorder/app/command_request.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace kelbo::app;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte sets the size of the pieces the rest arrives in.
    const size_t piece = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    RequestLine line;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        line.add(bytes.substr(at, piece));
        if (line.buffered() > RequestLine::kMaxBytes + 1) std::abort();
    }
    const size_t newline = bytes.find('\n');
    const bool complete = newline != std::string_view::npos && newline <= RequestLine::kMaxBytes;
    if (complete != line.line().has_value()) std::abort();
    if (!line.line()) return 0;
    if (line.line()->find('\n') != std::string::npos) std::abort();

    const CommandRequest request = readCommand(*line.line());
    if (request.shown.find_first_of("\x1b\r\n") != std::string::npos) std::abort();
    const std::string reply = errorReply("unknown request: " + request.shown);
    const auto parsed = nlohmann::json::parse(reply, nullptr, false);
    if (parsed.is_discarded() || !parsed.contains("error")) std::abort();
    // Whatever text reaches a reply, it is written as valid JSON.
    const std::string raw = dumpReply(nlohmann::json{{"state", std::string(bytes)}});
    if (nlohmann::json::parse(raw, nullptr, false).is_discarded()) std::abort();
    return 0;
}
