// The recording branch's sound as the encoder's queue holds it (after a
// stall, hundreds of sound blocks wait in it at once), and the messages of
// the pipeline's bus, which nothing reads.
#include "recorder/media/gst/capture_pipeline.h"
#include "recorder/media/gst/gst_media_buffers.h"
#include "recorder/media/gst/pipeline_description.h"
#include "recorder/device/capture_device.h"

#include <gtest/gtest.h>

#include <gst/gst.h>

#include <cstdint>
#include <vector>

using namespace kelbo;

namespace {

int criticals = 0;

void countCritical(const gchar*, GLogLevelFlags, const gchar*, gpointer) { ++criticals; }

}  // namespace

// Every block of the test pattern's sound shares one memory (copies of one
// tone); a memory takes at most 255 mappings at a time, so blocks kept
// mapped in a queue of 300 broke GStreamer's locking.
TEST(MediaBuffers, SoundBlocksHeldInAQueueDoNotKeepTheirSharedMemoryMapped) {
    ASSERT_TRUE(gst_init_check(nullptr, nullptr, nullptr));
    constexpr int kSamples = 1920;
    GstBuffer* tone = gst_buffer_new_allocate(nullptr, kSamples * 2 * sizeof(std::int16_t), nullptr);
    {
        GstMapInfo map;
        ASSERT_TRUE(gst_buffer_map(tone, &map, GST_MAP_WRITE));
        auto* samples = reinterpret_cast<std::int16_t*>(map.data);
        for (int i = 0; i < kSamples * 2; ++i) samples[i] = static_cast<std::int16_t>(i);
        gst_buffer_unmap(tone, &map);
    }
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=S16LE,layout=interleaved,rate=48000,channels=2");
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);

    criticals = 0;
    const guint handler = g_log_set_handler("GStreamer", G_LOG_LEVEL_CRITICAL, countCritical, nullptr);
    std::vector<AudioChunkPtr> queued;
    for (int i = 0; i < 300; ++i) {
        GstBuffer* block = gst_buffer_copy(tone);
        GST_BUFFER_PTS(block) = static_cast<GstClockTime>(i) * 40 * GST_MSECOND;
        GstSample* sample = gst_sample_new(block, caps, &segment, nullptr);
        gst_buffer_unref(block);
        queued.push_back(audioChunkFrom(sample));
        gst_sample_unref(sample);
        ASSERT_TRUE(queued.back()) << "block " << i;
    }
    // The tone can still be written: nobody holds it mapped.
    GstMapInfo write;
    const bool writable = gst_memory_map(gst_buffer_peek_memory(tone, 0), &write, GST_MAP_WRITE);
    if (writable) gst_memory_unmap(gst_buffer_peek_memory(tone, 0), &write);
    for (const auto& chunk : queued) {
        ASSERT_EQ(chunk->samples(), static_cast<std::size_t>(kSamples));
        EXPECT_EQ(chunk->data()[0], 0);
        EXPECT_EQ(chunk->data()[kSamples * 2 - 1], static_cast<std::int16_t>(kSamples * 2 - 1));
    }
    queued.clear();
    g_log_remove_handler("GStreamer", handler);
    gst_caps_unref(caps);
    gst_buffer_unref(tone);

    EXPECT_TRUE(writable) << "the queued blocks keep the shared memory mapped";
    EXPECT_EQ(criticals, 0) << "GStreamer's locking broke";
}

// The pipeline's bus is read by no one: every message posted on it (each
// element posts several at every start and stop) is freed at once, or a
// recorder retrying a failing start every second grows without end.
TEST(MediaBuffers, MessagesOnThePipelinesBusAreFreedAtOnce) {
    ASSERT_TRUE(gst_init_check(nullptr, nullptr, nullptr));
    PipelineSpec spec;
    spec.format = videoFormatFor(CaptureDevice::PAL);
    std::string error;
    const auto pipeline = CapturePipeline::create(describePipeline(spec), &error);
    ASSERT_TRUE(pipeline) << error;

    int freed = 0;
    const auto posted = [&freed](GstBus* bus) {
        GstMessage* message = gst_message_new_application(nullptr, gst_structure_new_empty("probe"));
        gst_mini_object_weak_ref(
            GST_MINI_OBJECT(message), [](gpointer count, GstMiniObject*) { ++*static_cast<int*>(count); },
            &freed);
        gst_bus_post(bus, message);
    };
    GstBus* bus = gst_element_get_bus(pipeline->pipeline());
    for (int i = 0; i < 10; ++i) posted(bus);
    gst_object_unref(bus);
    EXPECT_EQ(freed, 10);
}
