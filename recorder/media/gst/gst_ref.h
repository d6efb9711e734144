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

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct GstIteratorFree {
    void operator()(GstIterator* it) const { gst_iterator_free(it); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;
using GstIteratorPtr = std::unique_ptr<GstIterator, GstIteratorFree>;

// A buffer mapped for the scope of the holder: unmapped (and its
// reference dropped) on every way out.
class GstBufferMapping {
public:
    GstBufferMapping(GstBuffer* buffer, GstMapFlags flags)
        : buffer_(buffer), mapped_(buffer && gst_buffer_map(buffer, &map_, flags)) {}
    ~GstBufferMapping() {
        if (mapped_) gst_buffer_unmap(buffer_, &map_);
    }
    GstBufferMapping(const GstBufferMapping&) = delete;
    GstBufferMapping& operator=(const GstBufferMapping&) = delete;

    explicit operator bool() const { return mapped_; }
    guint8* data() const { return map_.data; }
    gsize size() const { return map_.size; }

private:
    GstBuffer* buffer_;
    GstMapInfo map_{};
    bool mapped_;
};

// Takes ownership of a reference the caller was given (a "transfer full" return).
template <typename T>
GstRef<T> adoptRef(T* object) {
    return GstRef<T>(object);
}

}  // namespace kelbo
