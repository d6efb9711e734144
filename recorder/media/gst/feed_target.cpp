#include "feed_target.h"

#include <gst/app/gstappsrc.h>

namespace kelbo {

void FeedTarget::attach(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc) {
    pipeline_.reset(GST_ELEMENT(gst_object_ref(pipeline)));
    videoSrc_.reset(GST_ELEMENT(gst_object_ref(videoSrc)));
    audioSrc_.reset(GST_ELEMENT(gst_object_ref(audioSrc)));
    clock_.reset();
    base_ = 0;
}

void FeedTarget::release() {
    clock_.reset();
    audioSrc_.reset();
    videoSrc_.reset();
    pipeline_.reset();
}

void FeedTarget::pushVideo(GstBuffer* buffer) const {
    gst_app_src_push_buffer(GST_APP_SRC(videoSrc_.get()), buffer);
}

void FeedTarget::pushAudio(GstBuffer* buffer) const {
    gst_app_src_push_buffer(GST_APP_SRC(audioSrc_.get()), buffer);
}

bool FeedTarget::waitUntilPlaying(const std::atomic<bool>& stopping) {
    GstState state = GST_STATE_NULL;
    while (!stopping && state != GST_STATE_PLAYING)
        gst_element_get_state(pipeline_.get(), &state, nullptr, GST_SECOND / 10);
    if (stopping) return false;
    clock_.reset(gst_pipeline_get_clock(GST_PIPELINE(pipeline_.get())));
    base_ = gst_element_get_base_time(pipeline_.get());
    return clock_ != nullptr;
}

std::int64_t FeedTarget::now() const {
    return static_cast<std::int64_t>(gst_clock_get_time(clock_.get()) - base_);
}

void FeedThread::start(std::function<void()> body) {
    stop();
    stopping_ = false;
    thread_ = std::thread(std::move(body));
}

void FeedThread::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool FeedThread::waitUntil(const FeedTarget& target, std::int64_t runningTime) {
    if (!target.hasClock()) return false;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const std::int64_t now = target.now();
        if (now >= runningTime) break;
        wake_.wait_for(lock, std::chrono::nanoseconds(runningTime - now));
    }
    return !stopping_;
}

}  // namespace kelbo
