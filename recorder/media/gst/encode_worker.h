#pragma once

#include "mpeg_part_writer.h"
#include "part_router.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kelbo {

// One thread that encodes and writes every part file, so the streaming
// threads never wait for the encoder. Jobs run in the order posted; the
// destructor runs what is queued, then ends the thread.
class EncodeWorker {
public:
    EncodeWorker();
    ~EncodeWorker();
    EncodeWorker(const EncodeWorker&) = delete;
    EncodeWorker& operator=(const EncodeWorker&) = delete;

    void post(std::function<void()> job, bool isPicture = false);
    // Pictures queued but not yet encoded.
    std::size_t queuedPictures() const { return queuedPictures_.load(); }
    // Pictures its outputs skipped because it fell behind, over its life.
    std::int64_t skippedPictures() const { return skippedPictures_.load(); }
    void pictureSkipped() { ++skippedPictures_; }

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<std::function<void()>, bool>> jobs_;
    std::atomic<std::size_t> queuedPictures_{0};
    std::atomic<std::int64_t> skippedPictures_{0};
    bool stopping_ = false;
    std::thread thread_;
};

// A part file fed through the worker. When the encoder falls more than
// kMaxQueuedPictures behind, new pictures are skipped rather than letting
// memory grow; the file's time stamps keep the gap, and the log the count.
class WorkerPartOutput : public PartOutput {
public:
    using Closed = std::function<void(const MpegPartWriter& writer, bool ok)>;
    // Five seconds of PAL pictures (about 78 MB at 720 x 576): enough to ride
    // out a busy machine or a disk waking from standby without a gap.
    static constexpr std::size_t kMaxQueuedPictures = 125;

    WorkerPartOutput(std::unique_ptr<MpegPartWriter> writer, EncodeWorker& worker, Closed closed);

    void begin(std::int64_t firstFrameIndex) override;
    void video(VideoFramePtr frame, std::int64_t frameIndex) override;
    void audio(AudioChunkPtr chunk, std::size_t first, std::size_t count) override;
    void finish() override;
    bool failed() const override { return writer_->failed(); }
    DeviceFailure failure() const override { return failed() ? writer_->failure() : DeviceFailure{}; }

private:
    void reportSkipped();

    std::shared_ptr<MpegPartWriter> writer_;
    std::size_t skipped_ = 0;  // pictures skipped since the last report
    bool posted_ = false;      // the worker has had media of it
    EncodeWorker& worker_;
    Closed closed_;
};

}  // namespace kelbo
