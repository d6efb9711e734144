#include "gst_capture_device.h"

#include "capture_pipeline.h"
#include "capture_stream.h"

// The picture and sound controls: given to the pipeline at once when it
// runs, and again each time it opens.
namespace kelbo {

void GstCaptureDevice::applySettings() {
    CapturePipeline* pipeline = stream_->pipeline();
    if (!pipeline) return;
    pipeline->setBalance("bright", brightness_);
    pipeline->setBalance("contrast", contrast_);
    pipeline->setBalance("satur", saturation_);
    pipeline->setBalance("hue", tint_);
    pipeline->setVolume(volume_ / 10000.0);
    updateValves();
}

void GstCaptureDevice::setBrightness(int value) {
    uiThread_.check();
    brightness_ = value;
    if (CapturePipeline* pipeline = stream_->pipeline()) pipeline->setBalance("bright", value);
}

void GstCaptureDevice::setContrast(int value) {
    uiThread_.check();
    contrast_ = value;
    if (CapturePipeline* pipeline = stream_->pipeline()) pipeline->setBalance("contrast", value);
}

void GstCaptureDevice::setSaturation(int value) {
    uiThread_.check();
    saturation_ = value;
    if (CapturePipeline* pipeline = stream_->pipeline()) pipeline->setBalance("satur", value);
}

void GstCaptureDevice::setTint(int value) {
    uiThread_.check();
    tint_ = value;
    if (CapturePipeline* pipeline = stream_->pipeline()) pipeline->setBalance("hue", value);
}

void GstCaptureDevice::setVolume(int value) {
    uiThread_.check();
    volume_ = value;
    if (CapturePipeline* pipeline = stream_->pipeline()) pipeline->setVolume(volume_ / 10000.0);
}

void GstCaptureDevice::setMuteAudio(bool mute) {
    uiThread_.check();
    mute_ = mute;
    updateValves();
}

void GstCaptureDevice::setPreviewWhileCapturing(bool on) {
    uiThread_.check();
    previewWhileCapturing_ = on;
    updateValves();
}

}  // namespace kelbo
