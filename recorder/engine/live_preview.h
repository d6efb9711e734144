#pragma once

namespace kelbo {

class CaptureDevice;
class MessageBoxes;

// Prepares the device and starts its preview; when it is not previewing
// then, tries three more times without looking in between and answers
// false, so that the caller reports a missing video source.
bool startPreviewWithRetries(CaptureDevice& device);

// Who the missing video source is reported to: the recorder raises it by
// itself (a start from the tick, the end of a recording) without waiting,
// so the schedule goes on; it answers the user's own command (the "Live
// Preview" menu) with a box that waits.
enum class RaisedBy { Recorder, UserCommand };
void reportNoVideoSource(MessageBoxes& boxes, RaisedBy raisedBy = RaisedBy::Recorder);

// The "Live Preview" command of the View menu: its tick is the user's wish
// to see the live picture, which the end of a recording also reads.
class LivePreview {
public:
    LivePreview(CaptureDevice& device, MessageBoxes& boxes) : device_(&device), boxes_(boxes) {}

    // The device previewed (the tuner chosen to be watched).
    CaptureDevice& device() const { return *device_; }
    void setDevice(CaptureDevice& device) { device_ = &device; }

    bool isTicked() const { return ticked_; }
    void setTicked(bool ticked) { ticked_ = ticked; }

    // Toggles the tick and starts or stops the preview to match. A preview
    // that does not come up after four tries is reported and unticked.
    void IsLivePreview_Click();

private:
    CaptureDevice* device_;
    MessageBoxes& boxes_;
    bool ticked_ = false;
};

}  // namespace kelbo
