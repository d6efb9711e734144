#pragma once

#include "recorder_state.h"

namespace kelbo {

// Whatever shows the recorder to the user. The engine tells it, in values,
// the moments the display has to follow; the view draws its own texts.
class RecorderView {
public:
    virtual ~RecorderView() = default;

    // No programme is chosen, or a choice begins: back to the idle texts.
    virtual void nothingChosen() = 0;
    // A tick begins with the device's state as it finds it ...
    virtual void tickBegan(RecorderState::Device device) = 0;
    // ... and ends with what it left.
    virtual void ticked(const RecorderState& state) = 0;
    // A recording has begun: shown at once, before the next tick.
    virtual void recordingBegun(const RecorderState& state) = 0;
    // The device writes the programme's parts, or has stopped writing them.
    virtual void captureBegan() = 0;
    virtual void captureEnded() = 0;

    // The user's wish to see the live picture (the "Live Preview" tick).
    virtual bool livePreviewWanted() const = 0;
};

}  // namespace kelbo
