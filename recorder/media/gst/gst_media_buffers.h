#pragma once

#include "media_buffer.h"

#include <gst/gst.h>

namespace kelbo {

// Pictures and sound of the recording branch: a picture is kept mapped
// while a part's encoder still needs it, sound is copied. Nothing when the
// sample has no usable buffer.
VideoFramePtr videoFrameFrom(GstSample* sample);
AudioChunkPtr audioChunkFrom(GstSample* sample);

}  // namespace kelbo
