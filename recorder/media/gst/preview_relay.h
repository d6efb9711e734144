#pragma once

#include "recorder/device/preview_frame.h"

#include <gst/gst.h>

#include <functional>
#include <memory>
#include <mutex>

namespace kelbo {

class UiDispatcher;

// Carries preview pictures from the streaming thread to the user-interface
// thread. Only the newest picture waits there: when the interface falls
// behind, older ones are dropped rather than queued.
class PreviewRelay : public std::enable_shared_from_this<PreviewRelay> {
public:
    explicit PreviewRelay(UiDispatcher& dispatcher) : dispatcher_(dispatcher) {}

    // User-interface thread; an empty sink stops the delivery.
    void setSink(std::function<void(const PreviewFrame&)> sink);
    // Streaming thread: copies the picture of `sample` (32-bit, as
    // PreviewFrame holds it).
    void push(GstSample* sample);

private:
    void deliver();

    UiDispatcher& dispatcher_;
    std::function<void(const PreviewFrame&)> sink_;
    std::mutex mutex_;
    PreviewFrame latest_, spare_;
    bool posted_ = false;
};

}  // namespace kelbo
