#pragma once

#include "gst_ref.h"

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace kelbo {

// What a feeder thread pushes pictures and sound into: the pipeline and its
// two appsrc elements. The feeder holds its own references, so neither can
// go while its thread still runs.
class FeedTarget {
public:
    void attach(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc);
    // Drops the references and the clock, once the feeder's threads have ended.
    void release();

    GstElement* videoSrc() const { return videoSrc_.get(); }
    // Both take the buffer.
    void pushVideo(GstBuffer* buffer) const;
    void pushAudio(GstBuffer* buffer) const;

    // Waits until the pipeline plays and takes its clock. False when
    // `stopping` turns true first, or when the pipeline has no clock
    // (`hasClock()` then says so).
    bool waitUntilPlaying(const std::atomic<bool>& stopping);
    bool hasClock() const { return clock_ != nullptr; }
    // The pipeline's running time in nanoseconds; once it plays.
    std::int64_t now() const;

private:
    GstElementRef pipeline_;
    GstElementRef videoSrc_;
    GstElementRef audioSrc_;
    GstClockRef clock_;
    GstClockTime base_ = 0;
};

// A feeder's own thread: it runs a body until stopped, and sleeps until a
// running time on the target's clock, waking at once when stopped.
class FeedThread {
public:
    ~FeedThread() { stop(); }
    void start(std::function<void()> body);
    // Asks the body to end and waits for it.
    void stop();
    const std::atomic<bool>& stopping() const { return stopping_; }
    // False once stopped, or when the target has no clock.
    bool waitUntil(const FeedTarget& target, std::int64_t runningTime);

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> stopping_{false};
};

}  // namespace kelbo
