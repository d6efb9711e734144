#pragma once

#include "device_failure.h"
#include "part_file.h"
#include "stream_packet_tap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelbo {

// One file of copied packets: MPEG-2 (or MPEG-1) pictures with MPEG audio
// or AC-3 go into a program stream, as the encoded parts do; other codecs
// (H.264, AAC, ...), and subtitles or teletext, which a program stream
// cannot carry, into MPEG-TS. Every track keeps its language and
// disposition. Radio (sound alone) likewise: MPEG audio or AC-3 into a
// program stream, AAC and others into MPEG-TS. Time stamps are given on the
// recording's timeline and written from 1.0 s on, as the encoded parts' are.
class CopyMuxer {
public:
    // Refusals in a row after which the file is given up.
    static constexpr int kMostRefusedInARow = 50;

    CopyMuxer() = default;
    ~CopyMuxer();
    CopyMuxer(const CopyMuxer&) = delete;
    CopyMuxer& operator=(const CopyMuxer&) = delete;

    // The muxer for these tracks: "vob" (program stream) or "mpegts".
    static const char* muxerFor(const StreamCodecs& codecs);

    // False, with failure() set, when the file cannot be made for them;
    // the file is then removed.
    bool open(std::unique_ptr<PartFile> file, std::shared_ptr<const StreamCodecs> codecs);
    bool isOpen() const { return out_ != nullptr; }
    // `origin` is the running time at the recording's timeline 0. A packet
    // whose decoding time does not rise is left out and counted, as is one
    // the muxer refuses once it has taken others. False, with failure()
    // set, once the file has failed: a write error (a full disk) or a muxer
    // that refuses the first packets, or many in a row.
    bool write(const TimedPacket& packet, std::int64_t origin);
    // Completes and closes the file; true when it was written whole. A file
    // that took no packet is removed; one that failed keeps what it holds.
    bool close();

    const DeviceFailure& failure() const { return failure_; }
    std::int64_t leftOut() const { return leftOut_; }
    // Whether the file has taken any packet.
    bool holdsPackets() const { return taken_ > 0; }

private:
    bool addTracks(const char* muxer);
    void fail(const std::string& why, DeviceFault fault = DeviceFault::None);
    // The file refused a write: `status` is FFmpeg's code, unless the
    // output keeps the system's own.
    void failWriting(int status);

    std::string path_;
    std::shared_ptr<const StreamCodecs> codecs_;
    AvOutputPtr out_;
    std::unique_ptr<PartFile> file_;
    std::vector<std::int64_t> lastDts_;  // of each track
    std::int64_t leftOut_ = 0;
    std::int64_t taken_ = 0;
    int refusedInARow_ = 0;
    bool headerWritten_ = false;
    DeviceFailure failure_;
};

}  // namespace kelbo
