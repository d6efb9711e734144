#include "status_panels.h"

#include "common/text_util.h"
#include "recorder/engine/status_texts.h"
#include "recorder/ports/translation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace kelbo {

namespace {

// A panel's text as read back, and the same in the user's language.
struct PanelText {
    std::string text;
    std::string shown;
};

PanelText onChannel(const std::string& name, const std::string& channel, const char* english,
                    const char* source, const std::string& value) {
    return {name + " on " + channel + english + value,
            fillIn(translate("StatusPanel", source),
                   {fillIn(translate("StatusPanel", "%1 on %2"), {name, channel}), value})};
}

std::string timeLeft(const RecorderState::Recording& r) {
    return hoursMinutesSeconds(std::max<std::int64_t>(0, r.limitMs - r.elapsedMs));
}

// The recording that ends first, and "+N" for the N others.
PanelText recordingText(const RecorderState& s) {
    const RecorderState::Recording& r = *s.recording;
    PanelText text = onChannel(r.name, r.channel, " ends in ", KELBO_TRANSLATE_NOOP("StatusPanel", "%1 ends in %2"),
                               timeLeft(r));
    if (s.recordings.size() < 2) return text;
    const std::string others = std::to_string(s.recordings.size() - 1);
    return {text.text + " +" + others, fillIn(translate("StatusPanel", "%1 +%2"), {text.shown, others})};
}

// The programme panel: the count-down, the time left of the recording, or
// why the due programme does not record. Nothing while its start is judged.
std::optional<PanelText> programmeText(const RecorderState& s) {
    // Another tuner may record while tuner 1 has nothing to come.
    if (s.recording) return recordingText(s);
    if (!s.next) return std::nullopt;
    const RecorderState::Next& next = s.next.value();
    if (s.failing)
        return onChannel(next.name, next.channel, " is not recording; it ends in ",
                         KELBO_TRANSLATE_NOOP("StatusPanel", "%1 is not recording; it ends in %2"),
                         hoursMinutesSeconds(next.untilEnd.count()));
    if (next.untilStart.count() > 0)
        return onChannel(next.name, next.channel, " starts in ",
                         KELBO_TRANSLATE_NOOP("StatusPanel", "%1 starts in %2"), countDown(next.untilStart));
    return std::nullopt;
}

std::string counterText(const RecorderState::Recording& r) {
    return hoursMinutesSeconds(r.elapsedMs) + "  /  " + hoursMinutesSeconds(r.limitMs);
}

// Nothing when the recording does not split.
std::optional<PanelText> splitText(const RecorderState::Recording& r) {
    const RecorderState::Split& split = r.split;
    if (split.type != SplitType::Size && split.type != SplitType::Time) return std::nullopt;
    std::string left;
    if (split.value && split.type == SplitType::Size) {
        left = Format_Byte_Size(*split.value * RecorderState::Split::kBytesPerMegabyte - split.partBytes);
    } else if (split.value) {
        const double minutesLeft = static_cast<double>(*split.value) - static_cast<double>(r.elapsedMs) / 60000.0;
        const double minutes = std::trunc(minutesLeft);
        left = zeroPad(static_cast<long long>(minutes), 2) + ":" +
               zeroPad(static_cast<long long>(roundHalfEven((minutesLeft - minutes) * 60)), 2);
    }
    if (left.empty()) return PanelText{};
    return PanelText{"Split in " + left, fillIn(translate("StatusPanel", "Split in %1"), {left})};
}

}  // namespace

std::string recordingsTip(const RecorderState& state) {
    if (state.recordings.size() < 2) return {};
    std::string tip;
    for (const RecorderState::Recording& r : state.recordings) {
        if (!tip.empty()) tip += '\n';
        tip += fillIn(translate("StatusPanel", "%1, tuner %2, ends in %3"),
                      {fillIn(translate("StatusPanel", "%1 on %2"), {r.name, r.channel}), std::to_string(r.tuner),
                       timeLeft(r)});
    }
    return tip;
}

StatusPanels::StatusPanels(StatusBarPort& bar, WindowPort& window, TrayPort& tray)
    : bar_(bar), window_(window), tray_(tray), status_(bar) {}

void StatusPanels::showDeviceState(RecorderState::Device device) {
    // With several tuners a reload during a recording takes the file's
    // changes in; with one it waits until the recording ends.
    window_.setReloadScheduleEnabled(device != RecorderState::Device::Recording || severalTuners_);
    // The words are read back (kelbo --status); the status bar translates them.
    switch (device) {
    case RecorderState::Device::Recording: status_.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "Recording")); break;
    case RecorderState::Device::Previewing: status_.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "Previewing")); break;
    case RecorderState::Device::StreamReady:
        status_.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "StreamReadyForCapture"));
        break;
    case RecorderState::Device::Idle: status_.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "Idle")); break;
    case RecorderState::Device::Other: break;
    }
}

void StatusPanels::showProgramme(const RecorderState& state) {
    if (const auto text = programmeText(state)) bar_.showPanelText(panel::kProgramme, text->text, text->shown);
    bar_.setPanelTip(panel::kProgramme, recordingsTip(state));
}

void StatusPanels::showRecording(const RecorderState::Recording& recording, bool minimised) {
    bar_.setPanelText(panel::kCounter, counterText(recording));
    if (const auto split = splitText(recording)) bar_.showPanelText(panel::kSplit, split->text, split->shown);
    // Past 100 (a device running over its limit) is ignored by Progress.
    status_.setProgress(recording.progress);
    if (minimised) tray_.setImage(TrayImage::Recording);
}

void StatusPanels::tickBegan(RecorderState::Device device) { showDeviceState(device); }

void StatusPanels::ticked(const RecorderState& state) {
    if (std::exchange(severalTuners_, state.tuners > 1) != severalTuners_) showDeviceState(state.device);
    if (state.failing)
        status_.setStatus("Failing: " + *state.failing, fillIn(translate("StatusPanel", "Failing: %1"), {*state.failing}));
    const bool minimised = window_.isMinimised();
    if (minimised) tray_.setImage(TrayImage::Stopped);
    if (minimised && state.next) tray_.setImage(TrayImage::Paused);
    showProgramme(state);
    if (state.recording) showRecording(*state.recording, minimised);
    if (minimised) {
        const std::string all = recordingsTip(state);
        tray_.setTip(all.empty() ? bar_.shownPanelText(panel::kProgramme) : all);
        tray_.update();
    }
}

void StatusPanels::recordingBegun(const RecorderState& state) {
    severalTuners_ = state.tuners > 1;
    showDeviceState(state.device);
    if (!state.recording) return;
    showProgramme(state);
    showRecording(*state.recording, window_.isMinimised());
}

void StatusPanels::nothingChosen() { status_.showNothingToRecord(); }

void StatusPanels::captureBegan() {
    window_.setLivePreviewEnabled(false);
    window_.setStopButtonEnabled(true);
    bar_.setPanelVisible(panel::kCounter, true);
    bar_.setPanelVisible(panel::kSplit, true);
}

void StatusPanels::captureEnded() {
    status_.setProgress(0);
    window_.setStopButtonEnabled(false);
    window_.setLivePreviewEnabled(true);
}

bool StatusPanels::livePreviewWanted() const { return window_.isLivePreviewTicked(); }

RecorderStatus StatusPanels::report(const RecorderState& state) const {
    RecorderStatus s;
    s.state = Status();
    if (const auto text = programmeText(state)) s.programme = text->text;
    else if (!state.next) s.programme = KELBO_TRANSLATE_NOOP("StatusPanel", "NO PROGRAMS TO RECORD");
    else s.programme = onChannel(state.next->name, state.next->channel, " starts in ",
                                     KELBO_TRANSLATE_NOOP("StatusPanel", "%1 starts in %2"), countDown({}))
                               .text;
    s.progress = Progress();
    if (state.next && state.next->recordedMs > 0) s.recorded = hoursMinutesSeconds(state.next->recordedMs);
    if (const auto& r = state.recording) {
        s.counter = counterText(*r);
        if (const auto split = splitText(*r)) s.split = split->text;
        s.recording = true;
        s.currentFile = r->file;
    }
    return s;
}

}  // namespace kelbo
