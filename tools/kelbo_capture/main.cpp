// kelbo-capture: records through the recorder's capture device, splitting
// the way the recorder splits, and prints the media time of each file.

#include "capture_options.h"
#include "common/settings_store.h"
#include "common/text_util.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/queued_dispatcher.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <filesystem>
#include <map>

using namespace kelbo;
using namespace std::chrono_literals;

namespace {

volatile std::sig_atomic_t interrupted = 0;

class StderrMessageBoxes : public MessageBoxes {
public:
    Answer show(const std::string& title, const std::string& text, Icon, Buttons) override {
        std::cerr << "kelbo-capture: " << escapeControls(title) << ": " << escapeControls(text) << "\n";
        return Answer::Ok;
    }
};

int fail(const std::string& message) {
    std::cerr << "kelbo-capture: " << escapeControls(message) << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::cerr << kCaptureUsage << "\n";
        return 2;
    }
    if (options->help) {
        std::cout << kCaptureUsage << "\n";
        return 0;
    }
    std::signal(SIGINT, [](int) { interrupted = 1; });
    std::signal(SIGTERM, [](int) { interrupted = 1; });

    QueuedDispatcher ui;
    StderrMessageBoxes boxes;
    DeviceOptions deviceOptions;
    deviceOptions.audioMonitor = false;
    const CaptureSource source = options->source.value_or(
        captureSourceFromSettings(SettingsStore(SettingsStore::defaultLocation())));
    auto device = createCaptureDevice(source, ui, boxes, deviceOptions);
    if (!device) return 1;

    long previewFrames = 0;
    device->setPreviewSink([&](const PreviewFrame&) { ++previewFrames; });
    std::map<std::string, FileResult> results;
    device->setFileListener([&](const FileResult& r) { results[r.path] = r; });
    if (!options->templateName.empty()) device->setRecordingTemplate(options->templateName);
    device->setMember135(true);
    device->setMember116(32);
    device->setMember169(false);
    device->setPreviewWhileCapturing(options->preview);
    if (options->preview) {
        device->PrepareDevice();
        device->StartPreview();
        if (device->ReadyState() != CaptureDevice::Previewing)
            return fail("no picture from " + toString(source) + ": " + device->lastError());
    }

    std::vector<std::string> files{options->file};
    // The files named on the command line are written over, as the user
    // asked; the device itself never writes over a file.
    const auto writeOver = [](const std::string& file) {
        std::error_code ec;
        if (std::filesystem::symlink_status(file, ec).type() == std::filesystem::file_type::regular)
            std::filesystem::remove(file, ec);
    };
    writeOver(files.back());
    device->setCaptureLimit(0);
    device->setCaptureElapsed(0);
    device->setCaptureLimit(options->limitMs);
    device->StartCapture(files.back());
    if (!device->lastError().empty())
        return fail("cannot record to " + files.back() + ": " + device->lastError());
    // The first start of a run also loads the plugins, and a network stream
    // may bring its first picture only at its next key picture; a source
    // that fails says why at once.
    const auto firstPicture = std::chrono::duration_cast<std::chrono::seconds>(5s + device->openingLead());
    ui.runUntil([&] { return device->ReadyState() == CaptureDevice::Recording || !device->lastError().empty(); },
                firstPicture);
    if (device->ReadyState() != CaptureDevice::Recording) {
        const std::string why = device->lastError().empty() ? "nothing came from " + toString(source) + " within " +
                                                                  std::to_string(firstPicture.count()) + " s"
                                                            : device->lastError();
        return fail("cannot record to " + files.back() + ": " + why);
    }
    device->setMuteAudio(true);

    // Wakes for the next split, or often enough to answer an interrupt.
    auto untilNextLook = [&] {
        std::chrono::milliseconds wait = 100ms;
        if (options->splitEveryMs > 0)
            wait = std::clamp(std::chrono::milliseconds(options->splitEveryMs -
                                                        device->CaptureElapsed()),
                              1ms, wait);
        return wait;
    };
    while (device->ReadyState() == CaptureDevice::Recording) {
        ui.runFor(untilNextLook());
        if (interrupted) {
            device->StopCapture();
            break;
        }
        const std::int64_t elapsed = device->CaptureElapsed();
        if (options->splitEveryMs == 0 || elapsed < options->splitEveryMs) continue;
        const std::int64_t remaining = device->CaptureLimit() - elapsed;
        if (options->limitMs && remaining <= 0) continue;  // the device is stopping itself
        device->StopCapture();
        files.push_back(partFileName(options->file, static_cast<int>(files.size()) + 1));
        device->setCaptureElapsed(0);
        device->setCaptureLimit(options->limitMs ? remaining : 0);
        writeOver(files.back());
        device->StartCapture(files.back());
    }
    ui.runUntil([&] { return device->openFiles() == 0; }, 30s);
    device->StopPreview();

    bool allFinished = true;
    for (const std::string& file : files) {
        const auto found = results.find(file);
        if (found == results.end() || !found->second.ok) {
            const bool failed = found != results.end() && !found->second.error.empty();
            std::cerr << "kelbo-capture: " << escapeControls(file) << " was not finished"
                      << (failed ? ": " + escapeControls(found->second.error) : std::string()) << "\n";
            allFinished = false;
            continue;
        }
        std::cout << found->second.elapsedMs << "\t" << escapeControls(file) << "\n";
    }
    if (options->preview) std::cerr << "preview frames: " << previewFrames << "\n";
    return allFinished ? 0 : 1;
}
