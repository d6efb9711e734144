#pragma once

#include "gst_ref.h"

#include <gst/gst.h>

#include <atomic>
#include <cstdint>

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

}  // namespace kelbo
