#pragma once

namespace kelbo {

class CaptureDevice;
class MessageBoxes;

// Prepares the device and starts its preview; when it is not previewing
// then, tries three more times without looking in between and answers
// false, so that the caller reports a missing video source.
bool startPreviewWithRetries(CaptureDevice& device);
void reportNoVideoSource(MessageBoxes& boxes);

// The "Live Preview" command of the View menu: its tick is the user's wish
// to see the live picture, which the end of a recording also reads.
class LivePreview {
public:
    LivePreview(CaptureDevice& device, MessageBoxes& boxes) : device_(device), boxes_(boxes) {}

    bool isTicked() const { return ticked_; }
    void setTicked(bool ticked) { ticked_ = ticked; }

    // Toggles the tick and starts or stops the preview to match. A preview
    // that does not come up after four tries is reported and unticked.
    void IsLivePreview_Click();

private:
    CaptureDevice& device_;
    MessageBoxes& boxes_;
    bool ticked_ = false;
};

}  // namespace kelbo
