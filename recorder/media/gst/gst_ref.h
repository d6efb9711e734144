#pragma once

// Owning holders for GStreamer references, so every early return releases
// what it took.
#include <gst/gst.h>

#include <memory>

namespace kelbo {

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstMiniObjectUnref {
    void operator()(gpointer object) const { gst_mini_object_unref(GST_MINI_OBJECT_CAST(object)); }
};

// An element, pad, bus or clock: anything released with gst_object_unref.
template <typename T>
using GstRef = std::unique_ptr<T, GstObjectUnref>;
using GstElementRef = GstRef<GstElement>;
using GstPadRef = GstRef<GstPad>;
using GstBusRef = GstRef<GstBus>;
using GstClockRef = GstRef<GstClock>;

// Caps, buffers, samples and messages: released with gst_mini_object_unref.
template <typename T>
using GstMiniRef = std::unique_ptr<T, GstMiniObjectUnref>;
using GstCapsRef = GstMiniRef<GstCaps>;
using GstBufferRef = GstMiniRef<GstBuffer>;
using GstSampleRef = GstMiniRef<GstSample>;
using GstMessageRef = GstMiniRef<GstMessage>;

// Takes ownership of a reference the caller was given (a "transfer full" return).
template <typename T>
GstRef<T> adoptRef(T* object) {
    return GstRef<T>(object);
}

}  // namespace kelbo
