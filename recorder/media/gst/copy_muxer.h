#pragma once

#include "device_failure.h"
#include "part_file.h"
#include "stream_packet_tap.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelbo {

// One file of copied packets: MPEG-2 (or MPEG-1) pictures with MPEG audio
// or AC-3 go into a program stream, as the encoded parts do; other codecs
// (H.264, AAC, ...) into MPEG-TS. Radio (sound alone) likewise: MPEG audio
// or AC-3 into a program stream, AAC and others into MPEG-TS. Time stamps are given on the recording's
// timeline and written from 1.0 s on, as the encoded parts' are.
class CopyMuxer {
public:
    CopyMuxer() = default;
    ~CopyMuxer();
    CopyMuxer(const CopyMuxer&) = delete;
    CopyMuxer& operator=(const CopyMuxer&) = delete;

    // The muxer for these codecs: "vob" (program stream) or "mpegts".
    static const char* muxerFor(const AVCodecParameters* picture, const AVCodecParameters* sound);

    // False, with failure() set, when the file cannot be made for them;
    // the file is then removed.
    bool open(std::unique_ptr<PartFile> file, std::shared_ptr<const StreamCodecs> codecs);
    bool isOpen() const { return out_ != nullptr; }
    const StreamCodecs& codecs() const { return *codecs_; }
    // `origin` is the running time at the recording's timeline 0. A packet
    // whose decoding time does not rise is left out and counted.
    void write(const TimedPacket& packet, std::int64_t origin);
    // Completes and closes the file; true when it was written whole. A file
    // not written whole is removed.
    bool close();

    const DeviceFailure& failure() const { return failure_; }
    std::int64_t leftOut() const { return leftOut_; }

private:
    void fail(const std::string& why, DeviceFault fault = DeviceFault::None);
    // The file refused a write: `status` is FFmpeg's code.
    void failWriting(int status);

    std::string path_;
    std::shared_ptr<const StreamCodecs> codecs_;
    AvOutputPtr out_;
    std::unique_ptr<PartFile> file_;
    int pictureOut_ = -1;
    int soundOut_ = -1;
    std::int64_t lastDts_[2] = {-1, -1};
    std::int64_t leftOut_ = 0;
    bool headerWritten_ = false;
    DeviceFailure failure_;
};

}  // namespace kelbo
