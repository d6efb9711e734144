#pragma once

#include "common/date_time.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/programme.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

// What the recorder is doing, in values: the status bar, the tray and the
// commands sent to the recorder all draw their texts from it.
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
        std::chrono::milliseconds untilStart{0};
        // The same in whole seconds, rounded up.
        std::chrono::seconds toGo{0};
        // Until the buffered end; 0 once it has passed.
        std::chrono::milliseconds untilEnd{0};
        // All of it recorded so far, over its file numbers.
        std::int64_t recordedMs = 0;
    };
    std::optional<Next> next;

    // Why the due programme's starts fail, while it is due and not recording.
    std::optional<std::string> failing;

    // When the recording in progress splits into its next part.
    struct Split {
        SplitType type = SplitType::None;
        // None when the setting is no number in range: nothing splits.
        std::optional<long long> value;  // megabytes or minutes
        std::int64_t partBytes = 0;      // of the part being written (size splits)
        // What the setting's megabyte means.
        static constexpr std::int64_t kBytesPerMegabyte = 1024000;
    };

    // A recording in progress.
    struct Recording {
        ProgrammeId id = 0;
        int tuner = 1;
        Instant bufferedEnd;
        std::string name;
        std::string channel;
        std::string file;  // the part being written
        std::int64_t elapsedMs = 0;
        std::int64_t limitMs = 0;
        // Per cent of the limit; past 100 while the device runs over it.
        int progress = 0;
        Split split;
    };
    // The recording that ends first, and every recording, in the order
    // they end.
    std::optional<Recording> recording;
    std::vector<Recording> recordings;
    // How many tuners the recorder has.
    int tuners = 1;
};

// "idle", "previewing", "streamReady", "recording", "other".
std::string_view deviceStateName(RecorderState::Device device);

}  // namespace kelbo
