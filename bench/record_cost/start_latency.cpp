// record_cost_latency SOURCE DIR: time from StartCapture to the first picture
// written, ten times with the stream already running (preview on) and ten
// times from a stopped stream. Prints each median in milliseconds.

#include "recorder/ports/message_boxes.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"

#include <algorithm>
#include <iostream>

using namespace kelbo;
using namespace std::chrono_literals;

namespace {

struct Quiet : MessageBoxes {
    Answer show(const std::string& title, const std::string& text, Icon, Buttons) override {
        std::cerr << title << ": " << text << "\n";
        return Answer::Ok;
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: record_cost_latency SOURCE DIR\n";
        return 2;
    }
    const auto source = parseCaptureSource(argv[1]);
    QueuedDispatcher ui;
    Quiet boxes;
    DeviceOptions options;
    options.audioMonitor = false;
    auto device = createCaptureDevice(source.value_or(CaptureSource{}), ui, boxes, options);
    if (!device) return 1;
    std::vector<FileResult> results;
    device->setFileListener([&](const FileResult& r) { results.push_back(r); });

    auto measure = [&](bool warm, int runs) {
        std::vector<double> latencies;
        for (int i = 0; i < runs; ++i) {
            if (warm) {
                device->StartPreview();
                ui.runFor(300ms);  // let the stream settle
            }
            results.clear();
            device->setCaptureElapsed(0);
            device->setCaptureLimit(200);
            device->StartCapture(std::string(argv[2]) + "/latency-" + std::to_string(i) + ".mpg");
            if (!ui.runUntil([&] { return !results.empty(); }, 10s)) return latencies;
            latencies.push_back(results.front().startLatencyMs);
            device->StopPreview();
        }
        return latencies;
    };
    measure(true, 1);  // loads the plugins and warms the caches
    const auto warm = measure(true, 10);
    const auto cold = measure(false, 10);
    if (warm.size() < 10 || cold.size() < 10) {
        std::cerr << "record_cost_latency: a capture did not finish\n";
        return 1;
    }
    std::cout << "start_latency_ms_median_running " << median(warm) << "\n"
              << "start_latency_ms_median_stopped " << median(cold) << "\n";
    return 0;
}
