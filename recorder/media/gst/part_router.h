#pragma once

#include "device_failure.h"
#include "capture_format.h"
#include "media_buffer.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kelbo {

// One output file as the router sees it. Calls come from streaming threads
// and from the user-interface thread, never two at once.
class PartOutput {
public:
    virtual ~PartOutput() = default;
    // Before the first picture: that picture's place in the recording's
    // timeline (0 for a new recording, the frame after the last one for a
    // part that carries on from the part before).
    virtual void begin(std::int64_t firstFrameIndex) = 0;
    virtual void video(VideoFramePtr frame, std::int64_t frameIndex) = 0;
    // Samples [first, first + count) of `chunk`.
    virtual void audio(AudioChunkPtr chunk, std::size_t first, std::size_t count) = 0;
    // No more media: complete and close the file.
    virtual void finish() = 0;
    // Writing has failed; the router ends the part.
    virtual bool failed() const = 0;
    // Why, in words and as a kind; empty while nothing failed.
    virtual DeviceFailure failure() const = 0;
};

enum class PartEnd { Stopped, Limit, Failed, SourceEnded };

// Called with the router's lock held: implementations only record or post.
class PartEvents {
public:
    virtual ~PartEvents() = default;
    virtual void partStarted(int id) = 0;  // its first picture was accepted
    virtual void partProgress(int id, std::int64_t elapsedMs) = 0;
    // The part gets no more media and its output has been told to finish;
    // `failure` says why writing failed when `reason` is Failed.
    virtual void partEnded(int id, std::int64_t elapsedMs, PartEnd reason,
                           const DeviceFailure& failure) = 0;
};

// Hands the recording branch's pictures and sound to the file being
// written. Time in a file is its own count of pictures (first = 0), so the
// capture limit is exact. A part started right after another one stopped
// carries on with the very picture and sample after the old part's last
// ones: pictures arriving in between are held, and the sound is cut at the
// same instant for both; the old part finishes in the background once its
// sound has arrived.
class PartRouter {
public:
    PartRouter(VideoFormat format, PartEvents& events);

    // User-interface thread. True when the part carries on from the part
    // that stopped last: it then takes the very next picture.
    bool startPart(int id, std::shared_ptr<PartOutput> output, std::int64_t limitMs);
    void stopPart(int id);
    void setLimit(int id, std::int64_t limitMs);

    // Streaming threads.
    void onVideo(VideoFramePtr frame);
    void onAudio(AudioChunkPtr chunk);
    // The source has stopped: every part is finished with what it has.
    void flush();

    // How long a stopped part waits for its sound, in media time.
    static constexpr std::int64_t kAudioWaitNs = 1'000'000'000;
    // How far a part's sound may drift from its pictures' running time
    // before silence fills it in or the overlap is left out.
    static constexpr std::int64_t kSoundToleranceNs = 10'000'000;
    // How many pictures are held for a part that carries on.
    static constexpr std::size_t kMaxHeldFrames = 50;

private:
    struct Part {
        int id = 0;
        std::shared_ptr<PartOutput> output;
        std::int64_t limitMs = 0;
        std::int64_t start = -1;  // running time of its first picture
        std::int64_t end = -1;    // running time just after its last picture
        std::int64_t firstIndex = 0;
        std::int64_t frames = 0;
        // Sound is handed on in order, never past the part's last picture.
        std::uint64_t soundChunk = 0;  // sequence number in the backlog
        std::size_t soundOffset = 0;   // samples of that chunk already handed on
        std::int64_t soundSamples = 0;  // samples handed on, silence included
        bool audioStarted = false;
        bool audioDone = false;
        PartEnd reason = PartEnd::Stopped;
    };

    void begin(Part& part);
    void feed(VideoFramePtr frame);
    void endCurrent(PartEnd reason, bool hold);
    void deliverSound(Part& part, std::int64_t until);
    bool keepInStep(Part& part, const AudioChunk& chunk, std::int64_t until);
    void deliverAllSound();
    void trimBacklog();
    void finishClosing(bool all);
    void finishPart(Part& part);
    std::int64_t elapsedMs(const Part& part) const { return format_.framesToMs(part.frames); }

    const VideoFormat format_;
    PartEvents& events_;
    std::mutex mutex_;
    std::unique_ptr<Part> pending_;  // started, waiting for its first picture
    std::unique_ptr<Part> current_;  // taking pictures
    std::vector<std::unique_ptr<Part>> closing_;  // waiting for the rest of its sound
    std::deque<VideoFramePtr> held_;
    bool holding_ = false;
    std::int64_t holdFrom_ = 0;   // end of the part that stopped last
    std::int64_t nextIndex_ = 0;  // timeline index after its last picture
    std::int64_t lastFedPts_ = -1;
    std::int64_t newestVideoPts_ = -1;
    std::deque<AudioChunkPtr> backlog_;  // recent sound, oldest first
    std::uint64_t backlogFront_ = 0;       // sequence number of backlog_.front()
};

}  // namespace kelbo
