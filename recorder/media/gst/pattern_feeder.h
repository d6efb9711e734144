#pragma once

#include "capture_format.h"
#include "feeder.h"
#include "feed_target.h"
#include "gst_ref.h"

#include <gst/gst.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelbo {

// The embedded test source, made once and replayed: a picture (colour bars
// for composite, a ball for S-Video) scrolling sideways with the date and
// time burnt in, and a 1 kHz tone. What never changes is computed when the
// feeder is made, so a running source costs little more than copying each
// picture; the date and time are drawn again only when the second changes.
class PatternFeeder : public Feeder {
public:
    // Nothing, with `error` set, when the picture cannot be made.
    static std::unique_ptr<PatternFeeder> create(const VideoFormat& format, bool svideo,
                                                 std::string* error);
    ~PatternFeeder() override;
    PatternFeeder(const PatternFeeder&) = delete;
    PatternFeeder& operator=(const PatternFeeder&) = delete;

    // Caps of the pictures it hands to its video appsrc.
    std::string videoCaps() const;

    // Starts feeding once `pipeline` plays, one picture and one block of
    // sound each time the pipeline's clock reaches it. The feeder holds its
    // own references to the elements until stop().
    void start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
               FailureHandler failed) override;
    void stop() override;

private:
    explicit PatternFeeder(const VideoFormat& format) : format_(format) {}
    void run();
    void pushPicture(std::int64_t index, std::int64_t at);
    void pushSound(std::int64_t at);
    void drawTime(std::time_t now);

    VideoFormat format_;
    std::vector<std::uint8_t> picture_;  // I420, planes packed without padding
    GstBufferRef tone_;                  // one block of the tone, shared by every push
    GstRef<GstBufferPool> pool_;
    // The date and time as a small I420 patch, redrawn when the second changes.
    std::vector<std::uint8_t> stamp_;
    std::time_t stampTime_ = -1;

    FeedTarget target_;
    std::function<void(const std::string&)> failed_;
    FeedThread thread_;
};

}  // namespace kelbo
