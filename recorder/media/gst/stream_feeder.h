#pragma once

#include "capture_format.h"
#include "feeder.h"
#include "feed_target.h"
#include "gst_ref.h"
#include "packet_timeline.h"
#include "stream_gap_tally.h"
#include "stream_input.h"

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kelbo {

// Plays a network stream into the pipeline as a live source. A stream that
// stalls (no data for `stallTimeout`), ends or fails is opened again every
// second for `quickRetries` after it dropped, then after 2, 4 ... up to 30
// seconds, for as long as the feeder runs. Whenever
// the stream brings nothing for over a second, the last picture and silence
// keep the pipeline's timeline going, so a recording goes on in the same
// file; each such gap is logged with its length and counted in the tally,
// as is media the stream skipped (its time stamps jump ahead). Time this
// process itself stood still (stopped, suspended) is not the stream's
// silence. Only a stream that cannot be opened at all is a failure of the
// source. A stream of sound alone (radio) sets the clock with its sound, and
// a still picture goes on at the picture rate, so the pipeline, its preview
// and the parts that count pictures work as for any other stream.
class StreamFeeder : public Feeder {
public:
    static constexpr std::int64_t kSecond = 1'000'000'000;

    struct Timing {
        std::chrono::milliseconds stallTimeout{5000};
        std::chrono::milliseconds firstBackoff{1000};
        std::chrono::milliseconds maxBackoff{30000};
        // Most drops are short (a restarted encoder or server, a moment of
        // network trouble): for this long after it dropped a stream is asked
        // for every `firstBackoff`, and only then less and less often.
        std::chrono::milliseconds quickRetries{30000};
    };

    // `tap`, when given, gets the stream's own packets on the pipeline's
    // timeline, for copying. Every connection, the first and each reopening,
    // sends the stream's HTTP options.
    StreamFeeder(StreamRequest stream, VideoFormat format, std::shared_ptr<StreamGapTally> gaps,
                 Timing timing, std::shared_ptr<StreamPacketTap> tap = nullptr);
    ~StreamFeeder() override;
    StreamFeeder(const StreamFeeder&) = delete;
    StreamFeeder& operator=(const StreamFeeder&) = delete;

    // Starts reading once `pipeline` plays; `failed` is called from the
    // reading thread when the stream cannot be opened in the first place.
    void start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
               FailureHandler failed) override;
    void stop() override;
    // What of the stream is decoded for the pipeline. A part that copies
    // the stream needs none of it: its packets go to the tap either way.
    void setDecoding(StreamInput::Decoding decoding) override;
    // Told, from the reading thread, why the stream cannot be opened in the
    // first place (before `failed` is called). Set before start().
    void setOpenFailureListener(std::function<void(const std::string& why)> listener) {
        openFailed_ = std::move(listener);
    }
    // The tuner's requests, over every reconnection. Set before start().
    void setRequestBudget(std::shared_ptr<RequestBudget> budget) { requests_ = std::move(budget); }

private:
    // Time stamps further off than this from where the stream should be are
    // a jump in the stream's clock (a restart, a wrap), not lateness.
    static constexpr std::int64_t kJumpNs = 3 * kSecond;
    static constexpr std::int64_t kBytesPerSample = std::int64_t{2} * kAudioChannels;
    // Sound kept for the first picture of a connection: as far as a muxer
    // places sound ahead of the pictures of the same time.
    static constexpr std::int64_t kEarlySoundNs = 2 * kSecond;

    void run();
    void fill();
    bool readUntilLost(StreamInput& input, std::string* error);
    void lost();
    void skipped(std::int64_t ns, const std::string& how);
    void active();
    void beginGap();  // needs mutex_
    void endGap(std::int64_t at);  // needs mutex_
    StreamInput::Decoding decoding() const;
    // A copy is recorded: what is decoded only shows.
    bool copying() const;
    void holdBack(TimedPacket packet);
    void publish(TimedPacket packet);
    void pushPicture(GstBufferRef buffer, std::int64_t pts);
    void pushSound(GstBufferRef buffer, std::int64_t pts);
    void holdEarlySound(GstBufferRef buffer, std::int64_t pts);
    void releaseEarlySound();
    void fillTo(std::int64_t until);  // needs mutex_
    void fillPicturesTo(std::int64_t until);  // needs mutex_
    // Radio: the still pictures begin (needs mutex_).
    void startStill();
    // Radio's sound at `at` on the timeline, or where its clock is set anew;
    // where it goes (needs mutex_).
    std::int64_t placeSoundAlone(std::int64_t pts, std::int64_t at, std::int64_t duration);
    void pushSilence(std::int64_t from, std::int64_t to);
    std::int64_t now() const;
    bool sleepFor(std::chrono::milliseconds span);
    bool waitUntil(std::int64_t runningTime);
    bool interrupted();

    const std::string url_;
    const HttpOptions http_;
    const VideoFormat format_;
    const std::shared_ptr<StreamGapTally> gaps_;
    const Timing timing_;
    const std::shared_ptr<StreamPacketTap> tap_;
    std::shared_ptr<RequestBudget> requests_;

    FeedTarget target_;
    std::function<void(const std::string&)> failed_;
    std::function<void(const std::string&)> openFailed_;
    std::thread reader_;
    std::thread filler_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> decodePictures_{true};
    std::atomic<bool> keyPicturesOnly_{false};
    std::atomic<bool> decodeSound_{true};
    PacketTimeline timeline_;  // the reading thread's
    // Sound decoded before the connection's first picture, with its time stamps.
    std::deque<std::pair<GstBufferRef, std::int64_t>> earlySound_;  // the reading thread's
    std::vector<std::optional<TimedPacket>> heldBack_;  // each track's newest packet; the reading thread's
    std::atomic<std::int64_t> packetEnd_{0};  // running time after the newest packet
    std::atomic<bool> stalled_{false};  // the connection brought nothing for stallTimeout
    std::atomic<std::int64_t> lastActivity_{0};  // steady nanoseconds
    std::atomic<std::int64_t> lastAsked_{0};     // steady nanoseconds of the last interrupt check
    std::int64_t askedAt_ = 0;  // steady nanoseconds: the connection was asked for

    std::mutex mutex_;  // guards what follows and the pushes of the filler
    std::condition_variable wake_;
    GstBufferRef lastPicture_;
    bool anchored_ = false;
    bool started_ = false;  // the stream has brought its first picture
    bool streamHasSound_ = false;
    bool streamHasPictures_ = true;
    std::int64_t offset_ = 0;       // stream time to running time
    std::int64_t videoEnd_ = 0;     // running time after the last picture pushed
    std::int64_t audioEnd_ = 0;     // running time after the last sound pushed
    std::int64_t realEnd_ = 0;      // after the last picture that came from the stream
    bool inGap_ = false;
    std::int64_t gapFrom_ = 0;
};

}  // namespace kelbo
