#pragma once

#include <string>

namespace kelbo {

// What the recorder's logic needs of the main window. The Qt window
// implements these; tests use recording fakes.

// Status-bar panel keys.
namespace panel {
inline const std::string kStatus = "pnlStatus";
inline const std::string kCounter = "pnlCounter";
inline const std::string kSplit = "pnlSplit";
inline const std::string kProgramme = "pnlProgramme";
inline const std::string kProgress = "pnlProgress";
}  // namespace panel

// The segmented bar drawn in the progress panel.
class ProgressBarView {
public:
    virtual ~ProgressBarView() = default;
    virtual void setTextOnly(bool textOnly) = 0;
    virtual void setValue(int value) = 0;
};

class StatusBarPort {
public:
    virtual ~StatusBarPort() = default;
    virtual void setPanelText(const std::string& key, const std::string& text) = 0;
    // `text` as the recorder reads it back (kelbo --status) and `shown`, the
    // same in the user's language, which the panel shows.
    virtual void showPanelText(const std::string& key, const std::string& text, const std::string& shown) {
        static_cast<void>(shown);
        setPanelText(key, text);
    }
    virtual std::string panelText(const std::string& key) const = 0;
    // What the panel shows the user.
    virtual std::string shownPanelText(const std::string& key) const { return panelText(key); }
    // The panel's tooltip, in the user's language; empty for its own text.
    virtual void setPanelTip(const std::string& key, const std::string& tip) = 0;
    virtual void setPanelVisible(const std::string& key, bool visible) = 0;
    virtual bool panelVisible(const std::string& key) const = 0;
    // Made on first use, drawing into the progress panel; owned by the port.
    virtual ProgressBarView& progressBar() = 0;
};

// The tray icon's three pictures, keyed "paused", "recording", "stopped".
enum class TrayImage { Paused = 1, Recording = 2, Stopped = 3 };

class TrayPort {
public:
    virtual ~TrayPort() = default;
    virtual void setImage(TrayImage image) = 0;
    virtual void setTip(const std::string& tip) = 0;
    // Shows the picture and tip set since the last update.
    virtual void update() = 0;
};

class WindowPort {
public:
    virtual ~WindowPort() = default;
    virtual bool isMinimised() const = 0;
    virtual void setReloadScheduleEnabled(bool enabled) = 0;
    virtual void setLivePreviewEnabled(bool enabled) = 0;
    virtual void setStopButtonEnabled(bool enabled) = 0;
    // The user's wish to see the live picture (the "Live Preview" tick).
    virtual bool isLivePreviewTicked() const = 0;
};

}  // namespace kelbo
