#pragma once

#include "capture_device_fixture.h"
#include "recorder/media/gst/tuner_devices.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace kelbo::testing {

// The devices of several tuners, made by the factory, each with the files
// it closed; run from the test's thread.
class TunerDevicesTest : public CaptureDeviceTest {
protected:
    struct Tuner {
        std::unique_ptr<GstCaptureDevice> device;
        std::vector<FileResult> closed;
        bool recording() const { return device->ReadyState() == CaptureDevice::Recording; }
    };

    void SetUp() override {}

    void makeTuners(const CaptureSource& source, int count) {
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.audioMonitor = false;
        auto devices = createTunerDevices(source, ui, boxes, count, options);
        tuners.clear();
        for (auto& made : devices) {
            auto tuner = std::make_unique<Tuner>();
            tuner->device = std::move(made);
            Tuner* t = tuner.get();
            t->device->setFileListener([t](const FileResult& r) { t->closed.push_back(r); });
            tuners.push_back(std::move(tuner));
        }
    }

    static void start(Tuner& tuner, const std::filesystem::path& file, std::int64_t ms) {
        tuner.device->setCaptureElapsed(0);
        tuner.device->setCaptureLimit(ms);
        tuner.device->StartCapture(file.string());
    }

    // Every tuner has closed its last file.
    bool allFinished() const {
        return std::all_of(tuners.begin(), tuners.end(), [](const auto& t) {
            return !t->recording() && t->device->openFiles() == 0;
        });
    }

    std::vector<std::unique_ptr<Tuner>> tuners;
};

// How far the file's length (ffprobe) is from `seconds`; large when it has none.
inline double lengthError(const std::filesystem::path& file, double seconds) {
    const MediaProbe probe = probeMedia(file);
    return probe.ok ? std::abs(probe.duration - seconds) : 1e9;
}

}  // namespace kelbo::testing
