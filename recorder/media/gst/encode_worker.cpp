#include "encode_worker.h"

#include "recorder/ports/log.h"

namespace kelbo {

EncodeWorker::EncodeWorker() : thread_([this] { run(); }) {}

EncodeWorker::~EncodeWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void EncodeWorker::post(std::function<void()> job, bool isPicture) {
    {
        std::lock_guard lock(mutex_);
        jobs_.emplace_back(std::move(job), isPicture);
        if (isPicture) ++queuedPictures_;
    }
    wake_.notify_one();
}

void EncodeWorker::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        auto [job, isPicture] = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        if (isPicture) --queuedPictures_;
        lock.lock();
    }
}

WorkerPartOutput::WorkerPartOutput(std::unique_ptr<MpegPartWriter> writer, EncodeWorker& worker,
                                   Closed closed)
    : writer_(std::move(writer)), worker_(worker), closed_(std::move(closed)) {}

void WorkerPartOutput::begin(std::int64_t firstFrameIndex) {
    posted_ = true;
    worker_.post([w = writer_, firstFrameIndex] { w->begin(firstFrameIndex); });
}

void WorkerPartOutput::video(VideoFramePtr frame, std::int64_t frameIndex) {
    if (worker_.queuedPictures() >= kMaxQueuedPictures) {
        ++skipped_;
        worker_.pictureSkipped();
        return;
    }
    reportSkipped();
    worker_.post([w = writer_, f = std::move(frame), frameIndex] { w->writeVideo(*f, frameIndex); },
                 true);
}

void WorkerPartOutput::audio(AudioChunkPtr chunk, std::size_t first, std::size_t count) {
    posted_ = true;
    worker_.post([w = writer_, c = std::move(chunk), first, count] {
        w->writeAudio(c->data() + first * kAudioChannels, count);
    });
}

void WorkerPartOutput::reportSkipped() {
    if (skipped_ == 0) return;
    log::warn(log::Area::Recording, "The encoder fell behind: " + std::to_string(skipped_) + " pictures skipped in " +
              writer_->path());
    skipped_ = 0;
}

void WorkerPartOutput::finish() {
    reportSkipped();
    if (!posted_) {
        // The worker never had it: closed here and now, so its empty file is
        // gone before the stop returns and the name is free for the next start.
        const bool ok = writer_->finish();
        if (closed_) closed_(*writer_, ok);
        return;
    }
    worker_.post([w = writer_, closed = closed_] {
        const bool ok = w->finish();
        if (closed) closed(*w, ok);
    });
}

}  // namespace kelbo
