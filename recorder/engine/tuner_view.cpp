#include "tuner_view.h"

namespace kelbo {

void TunerView::nothingChosen() {
    if (leads()) view_.nothingChosen();
}

void TunerView::tickBegan(RecorderState::Device device) {
    if (!leads()) return;
    view_.tickBegan(crowd_.anyRecording() ? RecorderState::Device::Recording : device);
}

// Tuner 1 ticks last, so its end of the tick draws every tuner's state.
void TunerView::ticked(const RecorderState& state) {
    if (leads()) view_.ticked(crowd_.withOtherTuners(state));
}

void TunerView::recordingBegun(const RecorderState& state) {
    view_.recordingBegun(leads() ? crowd_.withOtherTuners(state) : crowd_.state());
}

void TunerView::captureBegan() {
    capturing_ = true;
    view_.captureBegan();
}

void TunerView::captureEnded() {
    capturing_ = false;
    if (!crowd_.othersCapturing(tuner_)) view_.captureEnded();
}

bool TunerView::livePreviewWanted() const { return crowd_.previewTuner() == tuner_ && view_.livePreviewWanted(); }

}  // namespace kelbo
