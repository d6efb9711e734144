#pragma once

#include "common/date_time.h"
#include "recorder/schedule/programme.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

// What the recorder is doing, in values rather than the status bar's texts:
// for the commands sent to it and whatever else draws it.
struct RecorderState {
    enum class Device { Idle, Previewing, StreamReady, Recording, Other };
    Device device = Device::Idle;

    // The programme recorded next, or being recorded.
    struct Next {
        ProgrammeId id = 0;
        std::string name;
        std::string channel;
        Instant bufferedStart;
        Instant bufferedEnd;
        // Until the buffered start; 0 once it has come.
        std::chrono::seconds toGo{0};
    };
    std::optional<Next> next;

    // The recording in progress.
    struct Recording {
        ProgrammeId id = 0;
        std::string name;
        std::string file;  // the part being written
        std::int64_t elapsedMs = 0;
        std::int64_t limitMs = 0;
        int progress = 0;  // 0 to 100
    };
    std::optional<Recording> recording;
};

// "idle", "previewing", "streamReady", "recording", "other".
std::string_view deviceStateName(RecorderState::Device device);

}  // namespace kelbo
