#pragma once

#include "recorder_view.h"

namespace kelbo {

// What one tuner's view needs to know of all the tuners.
class TunerCrowd {
public:
    virtual ~TunerCrowd() = default;
    // What the whole recorder is doing ...
    virtual RecorderState state() const = 0;
    // ... drawn on tuner 1's own state, when that is at hand.
    virtual RecorderState withOtherTuners(RecorderState first) const = 0;
    virtual bool anyRecording() const = 0;
    // A tuner other than `tuner` writes a programme's parts.
    virtual bool othersCapturing(int tuner) const = 0;
    // The tuner the live preview shows.
    virtual int previewTuner() const = 0;
};

// The view as one tuner's session and tick see it. The display follows all
// the tuners together: tuner 1 leads the tick's texts (the others' ticks
// tell the view nothing), every tuner's recording shows at once, and the recording's buttons stay on while any
// tuner records. Only the tuner chosen to be watched previews.
class TunerView : public RecorderView {
public:
    TunerView(RecorderView& view, const TunerCrowd& crowd, int tuner) : view_(view), crowd_(crowd), tuner_(tuner) {}

    bool capturing() const { return capturing_; }

    void nothingChosen() override;
    void tickBegan(RecorderState::Device device) override;
    void ticked(const RecorderState& state) override;
    void recordingBegun(const RecorderState& state) override;
    void captureBegan() override;
    void captureEnded() override;
    bool livePreviewWanted() const override;

private:
    bool leads() const { return tuner_ == 1; }

    RecorderView& view_;
    const TunerCrowd& crowd_;
    int tuner_;
    bool capturing_ = false;
};

}  // namespace kelbo
