#pragma once

#include "copy_muxer.h"
#include "part_file.h"
#include "part_router.h"
#include "stream_packet_tap.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kelbo {

// One part file of a recording that copies the stream's own packets. It
// follows the packets, not the pipeline's pictures, so nothing needs to be
// decoded for it: the part records from the first packet that reaches it,
// its file begins with a key picture (the one at or before the start, which
// the tap keeps, or for a part that carries on from the one before, the
// first one after that part's stop), and its time is the media it holds
// and the outages of the stream it went through (left as holes).
// It ends at its limit, where it was stopped, or, when the next part
// carries on, just before the key picture that part begins with, so parts
// join without a seam. A stream of sound alone (radio) has no key pictures:
// its part begins with the first sound packet, and its sound carries its time.
class StreamCopyWriter : public StreamCopySink {
public:
    struct Result {
        std::string path;
        std::int64_t elapsedMs = 0;  // media in the file
        bool ok = false;
        std::string error;
        DeviceFault fault = DeviceFault::None;  // the error's kind
    };
    using Closed = std::function<void(const Result&)>;

    // Where a part begins.
    struct Start {
        // Carrying on: the first key picture after the packet `afterSequence`
        // (the last one the part before took) begins the file.
        bool carriesOn = false;
        std::uint64_t afterSequence = 0;
        // Running time the part's time counts from: where the part before
        // stopped counting, or (-1) the part's first key picture.
        std::int64_t from = -1;
        // Running time at the recording's timeline 0 (-1: the first key picture).
        std::int64_t origin = -1;
    };

    // A part that gets packets but no key picture for this long fails.
    static constexpr std::int64_t kKeyWaitNs = 30'000'000'000;
    // How long past its end a part waits for the sound that goes with it.
    static constexpr std::int64_t kSoundWaitNs = 1'000'000'000;
    // Packets held at most: after a stop, until it is known whether a part
    // carries on; before the first key picture, the sound that may play with it.
    static constexpr std::size_t kMostHeld = 4096;

    // Nothing, with `failure` set, when the file cannot be created. `events`
    // hear of the part under `id`, as the router's parts do.
    static std::shared_ptr<StreamCopyWriter> create(const std::string& path, int id, PartEvents& events,
                                                    std::int64_t limitMs, Start start, Closed closed,
                                                    DeviceFailure* failure);
    StreamCopyWriter(std::unique_ptr<PartFile> file, int id, PartEvents& events, std::int64_t limitMs,
                     Start start, Closed closed);
    ~StreamCopyWriter() override;

    // From the user-interface thread.
    void setLimit(std::int64_t ms);
    // Stops counting; until carryOn() or finishAtStop() the packets wait.
    void stop();
    // The next part carries on from this one, which ends just before the
    // key picture that part begins with; where that part begins.
    Start carryOn();
    // No part carries on: this one ends where it stopped, with the sound that
    // goes with it (at once when the stream is not `flowing`).
    void finishAtStop(bool flowing);

    // StreamCopySink, from the tap.
    void packet(const TimedPacket& packet) override;
    void outage(std::int64_t now) override;
    void ended() override;
    bool done() const override;

private:
    enum class Phase { Waiting, Writing, Stopped, UntilKey, Ending, Closed };

    void take(const TimedPacket& packet);  // the functions below need mutex_
    void waitForKey(const TimedPacket& packet);
    void writeOn(const TimedPacket& packet);
    void untilKey(const TimedPacket& packet);
    void ending(const TimedPacket& packet);
    bool sameCodecs(const TimedPacket& packet);
    // False when the part failed and is closed.
    bool write(const TimedPacket& packet);
    bool writePicture(const TimedPacket& packet);
    bool waitsForKeyAfterBreak(const TimedPacket& packet);
    std::int64_t limitEnd() const;
    void reachLimit();
    void beginEnding(std::int64_t end);
    void replayHeld();
    void fail(const DeviceFailure& why);
    void finishFile();
    std::int64_t elapsedNs() const;
    std::int64_t fileNs() const;

    const std::string path_;
    const int id_;
    PartEvents& events_;
    Closed closed_;

    mutable std::mutex mutex_;
    Phase phase_ = Phase::Waiting;
    Start start_;
    std::int64_t limitMs_ = 0;
    PartEnd reason_ = PartEnd::Stopped;
    bool started_ = false;        // the part has had its first packet
    bool endReported_ = false;    // the events have heard that the part ends
    std::uint64_t lastSequence_ = 0;
    std::uint64_t stopSequence_ = 0;  // the last packet taken before stop()
    std::int64_t firstSeen_ = -1;   // time of the first packet
    std::int64_t newest_ = -1;      // newest packet time
    std::int64_t key_ = -1;         // time of the key picture the file begins with
    std::int64_t pictureSeen_ = -1; // Waiting: the newest picture's time
    std::int64_t pictureEnd_ = -1;  // just after the newest picture written
    std::int64_t outageEnd_ = -1;   // where the stream's latest outage has reached
    bool broken_ = false;           // a break in the stream since the last key picture
    std::int64_t stoppedAt_ = -1;   // where stop() stopped counting
    std::int64_t end_ = -1;         // Ending: nothing from here on
    bool picturesOver_ = false;     // Ending: a picture at or past the end has come
    std::vector<bool> soundTracks_; // Ending: which tracks are sound
    std::vector<bool> soundOver_;   // ... and which of them have brought a packet at or past the end
    std::deque<TimedPacket> held_;
    std::shared_ptr<const StreamCodecs> codecs_;
    std::unique_ptr<PartFile> file_;  // until the muxer takes it
    CopyMuxer muxer_;
    DeviceFailure failure_;
};

}  // namespace kelbo
