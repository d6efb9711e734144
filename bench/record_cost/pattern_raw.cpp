// record_cost_pattern SECONDS VIDEO.y4m SOUND.wav: the test pattern's pictures
// and sound exactly as kelbo-capture's test source makes them (the same
// feeder, in real time, 720x576 at 25 pictures a second), kept raw so that
// ffmpeg can encode the very same pictures.

#include "recorder/media/gst/pattern_feeder.h"

#include <gst/app/gstappsrc.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

using namespace kelbo;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: record_cost_pattern SECONDS VIDEO.y4m SOUND.wav\n";
        return 2;
    }
    gst_init(nullptr, nullptr);
    const VideoFormat format;
    std::string error;
    const auto feeder = PatternFeeder::create(format, false, &error);
    if (!feeder) {
        std::cerr << "record_cost_pattern: " << error << "\n";
        return 1;
    }
    const std::string sound = "audio/x-raw,format=S16LE,layout=interleaved,rate=" + std::to_string(kAudioRate) +
                              ",channels=" + std::to_string(kAudioChannels);
    const std::string description =
        "appsrc name=video is-live=true format=time max-bytes=0 caps=\"" + feeder->videoCaps() +
        "\" ! queue ! y4menc ! filesink async=false location=\"" + argv[2] +
        "\" appsrc name=sound is-live=true format=time max-bytes=0 caps=\"" + sound +
        "\" ! queue ! wavenc ! filesink async=false location=\"" + argv[3] + "\"";
    GError* fault = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &fault);
    if (!pipeline) {
        std::cerr << "record_cost_pattern: " << (fault ? fault->message : "no pipeline") << "\n";
        return 1;
    }
    GstElement* video = gst_bin_get_by_name(GST_BIN(pipeline), "video");
    GstElement* audio = gst_bin_get_by_name(GST_BIN(pipeline), "sound");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    bool failed = false;
    feeder->start(pipeline, video, audio, [&failed](const std::string& why) {
        std::cerr << "record_cost_pattern: " << why << "\n";
        failed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(std::atof(argv[1]) * 1000) + 100));
    feeder->stop();
    gst_app_src_end_of_stream(GST_APP_SRC(video));
    gst_app_src_end_of_stream(GST_APP_SRC(audio));
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(bus, 10 * GST_SECOND,
                                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ended = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end) gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(video);
    gst_object_unref(audio);
    gst_object_unref(pipeline);
    return ended && !failed ? 0 : 1;
}
