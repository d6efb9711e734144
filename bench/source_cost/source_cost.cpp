// capture_source_cost [SOURCE] [SECONDS]: CPU seconds per second of the device's
// pipeline without the encoder: the source with its pictures and sound
// taken by the recording branch's sinks and dropped (nothing records), then
// the same with the preview branch open. SOURCE as kelbo-capture takes it
// (default test); SECONDS per measurement (default 20). For the test
// pattern it also measures GStreamer's own test elements (videotestsrc with
// clockoverlay, audiotestsrc), which the embedded source replaced.

#include "recorder/device/capture_device.h"
#include "recorder/media/gst/capture_pipeline.h"
#include "recorder/media/gst/capture_source.h"
#include "recorder/media/gst/capture_stream.h"
#include "recorder/media/gst/preview_relay.h"
#include "recorder/media/gst/queued_dispatcher.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

using namespace kelbo;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU seconds per second over `seconds` of the running pipeline, after a
// second to settle.
double measure(int seconds) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double before = cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return (cpuSeconds() - before) / seconds;
}

struct NoParts : PartEvents {
    void partStarted(int) override {}
    void partProgress(int, std::int64_t) override {}
    void partEnded(int, std::int64_t, PartEnd, const DeviceFailure&) override {}
};

// The test source as GStreamer's own elements make it, for comparison.
const char* kGstTestElements =
    "videotestsrc is-live=true pattern=smpte horizontal-speed=4"
    " ! video/x-raw,format=I420,width=720,height=576,framerate=25/1"
    " ! clockoverlay halignment=left valignment=bottom shaded-background=true"
    " font-desc=\"Sans Bold 20\" time-format=\"%d-%m-%Y %H:%M:%S\""
    " ! videobalance name=balance ! tee name=vtee vtee. ! appsink name=video_sink sync=false"
    " async=false enable-last-sample=false vtee. ! valve name=preview_valve drop=true"
    " drop-mode=forward-sticky-events ! queue leaky=downstream max-size-buffers=2"
    " max-size-bytes=0 max-size-time=0 ! videorate drop-only=true ! video/x-raw,framerate=25/2"
    " ! videoscale method=nearest-neighbour add-borders=false ! videoconvert dither=none"
    " ! video/x-raw,format=BGRx,width=320,height=240,pixel-aspect-ratio=1/1"
    " ! appsink name=preview_sink sync=false async=false enable-last-sample=false max-buffers=2"
    " drop=true audiotestsrc is-live=true wave=sine freq=1000 volume=0.25"
    " ! audio/x-raw,format=S16LE,layout=interleaved,rate=48000,channels=2"
    " ! volume name=volume ! tee name=atee atee. ! appsink name=audio_sink sync=false"
    " async=false enable-last-sample=false";

struct Cost {
    double alone = -1, withPreview = -1;
};

// The stream of `source` (or of `description`) without and with preview.
Cost run(const CaptureSource& source, std::optional<std::string> description, int seconds) {
    QueuedDispatcher ui;
    NoParts parts;
    DeviceOptions options;
    options.audioMonitor = false;
    options.pipelineDescription = std::move(description);
    CaptureStream stream(source, options, parts, std::make_shared<PreviewRelay>(ui),
                         [](const std::string& why) {
                             std::fprintf(stderr, "capture_source_cost: %s\n", why.c_str());
                         });
    std::string error;
    if (!stream.build(videoFormatFor(CaptureDevice::PAL), CaptureDevice::Composite, &error) ||
        !stream.start(&error)) {
        std::fprintf(stderr, "capture_source_cost: %s\n", error.c_str());
        return {};
    }
    Cost cost;
    cost.alone = measure(seconds);
    stream.pipeline()->setPreview(true);
    cost.withPreview = measure(seconds);
    stream.stop();
    return cost;
}

void report(const Cost& cost, const std::string& what) {
    std::printf("%-60s %8.4f\n", (what + "source, CPU-s per s").c_str(), cost.alone);
    std::printf("%-60s %8.4f\n", (what + "source and preview, CPU-s per s").c_str(),
                cost.withPreview);
    std::printf("%-60s %8.4f\n", (what + "preview adds, CPU-s per s").c_str(),
                cost.withPreview - cost.alone);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string sourceText = argc > 1 ? argv[1] : "test";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    gst_init(nullptr, nullptr);
    const std::optional<CaptureSource> source = parseCaptureSource(sourceText);
    if (!source) {
        std::fprintf(stderr, "capture_source_cost: give test, file:PATH or /dev/videoN\n");
        return 2;
    }
    report(run(*source, std::nullopt, seconds), "");
    if (source->kind == CaptureSource::Kind::TestPattern)
        report(run(*source, kGstTestElements, seconds), "GStreamer's test elements: ");
    return 0;
}
