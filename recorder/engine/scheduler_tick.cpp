#include "scheduler_tick.h"

#include "recorder/device/capture_device.h"
#include "recording_session.h"
#include "status_texts.h"
#include "common/clock.h"
#include "common/host_paths.h"
#include "common/text_util.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/ports/log.h"
#include "recorder/ports/translation.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder/engine/status_display.h"
#include "recorder/ports/ui_ports.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kelbo {

namespace {

// Split thresholds must fit a signed 32-bit count of bytes or milliseconds.
constexpr long long kMostMegabytes = 2097;
constexpr long long kMostMinutes = 32767;
constexpr std::int64_t kBytesPerMegabyte = 1024000;
constexpr auto kShortestRecording = std::chrono::seconds(1);
// How long past a programme's end a recording may run before it is stopped:
// far beyond any lag of the device's media time behind the clock.
constexpr auto kOverrun = std::chrono::minutes(2);
// More time left on the device than on the clock, well beyond the device's
// lag in starting, means the clock was set forwards or the source stalled.
constexpr std::chrono::milliseconds kClockSlack = std::chrono::seconds(30);

std::int64_t sizeOf(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(toHostPath(file), ec);
    return ec ? 0 : static_cast<std::int64_t>(size);  // not there yet: nothing written
}

}  // namespace

struct SchedulerTick::SplitRule {
    SplitType type = SplitType::None;
    // None when SplitValue is not a number in range: then nothing splits.
    std::optional<long long> value;
};

SchedulerTick::SchedulerTick(RecorderContext context, RecordingSession& session)
    : c_(context), session_(session) {}

SchedulerTick::SplitRule SchedulerTick::splitRule() const {
    SplitRule rule;
    rule.type = c_.settings.splitType;
    const auto value = parseWholeNumber(c_.settings.SplitValue);
    const long long most = rule.type == SplitType::Size ? kMostMegabytes : kMostMinutes;
    if (value && *value >= 1 && *value <= most) rule.value = value;
    return rule;
}

// A device that stops a moment before the programme's end must not start a
// file of a few milliseconds; and a limit of 0 would mean no limit at all.
bool SchedulerTick::worthStarting() const {
    return c_.next.bufferedEnd() - c_.clock.now() >= kShortestRecording;
}

// A clock set forwards during a recording (or a source that stalled for a
// while) leaves the device more time than the programme has left on the
// clock: the recording ends with the programme rather than run into the
// next one.
void SchedulerTick::keepToTheClock() {
    CaptureDevice& device = c_.device;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(c_.next.bufferedEnd() - c_.clock.now());
    const std::int64_t deviceLeft = device.CaptureLimit() - device.CaptureElapsed();
    if (left.count() <= 0 || device.CaptureLimit() <= 0 ||
        deviceLeft <= left.count() + kClockSlack.count())
        return;
    log::warn(log::Area::Recording, "Recording of " + programmeOnChannel() + " had " + hoursMinutesSeconds(deviceLeft) +
              " left but the clock says " + hoursMinutesSeconds(left.count()) +
              " (the clock was set forwards or the source stalled): it ends with the programme");
    device.setCaptureLimit(device.CaptureElapsed() + left.count());
}

void SchedulerTick::startIfDue() {
    const Instant now = c_.clock.now();
    if (c_.next.bufferedStart() < now && now < c_.next.bufferedEnd() &&
        c_.device.ReadyState() != CaptureDevice::Recording && worthStarting()) {
        session_.Start_Recording(1);
    }
}

void SchedulerTick::finish(bool ranToItsEnd) {
    if (ranToItsEnd && c_.clock.now() < c_.next.bufferedEnd()) {
        log::warn(log::Area::Recording, programmeOnChannel() + " has recorded its full length although the clock, set "
                  "back, says it ends at " + c_.next.NextEnd().formatDateTime() +
                  ": it is finished, not recorded again");
        c_.next.recordedToItsEnd();
    }
    session_.Finish_Recording();
}

std::string SchedulerTick::programmeOnChannel() const {
    const ScheduleItem* item = c_.document.schedule().stored(c_.next.id());
    return item ? item->ProgrammeName + " on " + item->ChannelName : " on ";
}

std::string SchedulerTick::shownProgrammeOnChannel() const {
    const Schedule& schedule = c_.document.schedule();
    const ScheduleItem* item = schedule.position(c_.next.id()) >= 0 ? schedule.stored(c_.next.id()) : nullptr;
    return fillIn(translate("StatusPanel", "%1 on %2"),
                  {item ? item->ProgrammeName : std::string(), item ? item->ChannelName : std::string()});
}

void SchedulerTick::showDeviceState() {
    const CaptureDevice& device = c_.device;
    if (device.ReadyState() == CaptureDevice::Recording) {
        c_.status.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "Recording"));
        c_.window.setReloadScheduleEnabled(false);
    } else {
        c_.window.setReloadScheduleEnabled(true);
    }
    // The words are read back (kelbo --status); the status bar translates them.
    if (device.ReadyState() == CaptureDevice::Previewing)
        c_.status.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "Previewing"));
    if (device.ReadyState() == CaptureDevice::StreamReady)
        c_.status.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "StreamReadyForCapture"));
    if (device.ReadyState() == CaptureDevice::Idle) c_.status.setStatus(KELBO_TRANSLATE_NOOP("StatusPanel", "Idle"));
}

void SchedulerTick::showRecordingBegun() {
    if (c_.device.ReadyState() != CaptureDevice::Recording || !c_.next.any()) return;
    showDeviceState();
    whileRecording(c_.window.isMinimised());
}

void SchedulerTick::Timer1_Timer() {
    session_.resolvePendingStart();
    session_.noticeCaptureEnd();
    c_.document.retryPendingWrite(false);
    // A rewrite took in another program's changes: the next programme is
    // chosen from the merged list, once no recording depends on the list.
    if (!c_.document.holding() && !session_.startPending() &&
        c_.device.ReadyState() != CaptureDevice::Recording && c_.document.takeOutsideChanges())
        c_.next.Find_Next_Schedule();
    showDeviceState();
    const bool minimised = c_.window.isMinimised();
    if (minimised) c_.tray.setImage(TrayImage::Stopped);

    if (c_.next.any()) {
        if (minimised) c_.tray.setImage(TrayImage::Paused);
        const CaptureDevice& device = c_.device;
        Instant now = c_.clock.now();
        if (now < c_.next.bufferedStart()) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(c_.next.bufferedStart() - now);
            c_.statusBar.showPanelText(
                panel::kProgramme, programmeOnChannel() + " starts in " + countDown(wait),
                fillIn(translate("StatusPanel", "%1 starts in %2"), {shownProgrammeOnChannel(), countDown(wait)}));
        }
        // While a start is being judged the device is left alone.
        const bool idle = !session_.startPending();
        // The device ran to the programme's real end while the clock, set
        // back meanwhile, says it is still on: it is finished, not recorded
        // again into a second file.
        const bool ranToItsEnd = idle && session_.ranToItsEnd();
        if (idle && !ranToItsEnd && !session_.limitReached()) startIfDue();
        now = c_.clock.now();
        showFailing(now);
        // A source that stalls never brings the device to its limit; stopping
        // it lets the programme finish and the schedule go on.
        if (idle && now > c_.next.bufferedEnd() + kOverrun &&
            device.ReadyState() == CaptureDevice::Recording)
            c_.device.StopCapture();
        if (idle && (now > c_.next.bufferedEnd() || ranToItsEnd) &&
            device.ReadyState() != CaptureDevice::Recording) {
            finish(ranToItsEnd);
            // Back to back, the next programme is due the moment this one
            // ends: it starts in this tick, not one tick late.
            if (c_.next.any()) startIfDue();
        }
        if (device.ReadyState() == CaptureDevice::Recording) {
            if (idle) keepToTheClock();
            whileRecording(minimised);
        }
    }

    if (minimised) {
        c_.tray.setTip(c_.statusBar.shownPanelText(panel::kProgramme));
        c_.tray.update();
    }
}

// A due programme whose starts keep failing is shown with the reason,
// whatever the device's own state and while the next try is judged, until
// it records or ends.
void SchedulerTick::showFailing(Instant now) {
    const auto& failure = session_.failing();
    if (!failure || c_.device.ReadyState() == CaptureDevice::Recording ||
        !(c_.next.bufferedStart() < now && now < c_.next.bufferedEnd()))
        return;
    c_.status.setStatus("Failing: " + failure->reason,
                        fillIn(translate("StatusPanel", "Failing: %1"), {failure->reason}));
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c_.next.bufferedEnd() - now);
    const std::string ends = hoursMinutesSeconds(left.count());
    c_.statusBar.showPanelText(
        panel::kProgramme, programmeOnChannel() + " is not recording; it ends in " + ends,
        fillIn(translate("StatusPanel", "%1 is not recording; it ends in %2"), {shownProgrammeOnChannel(), ends}));
}

void SchedulerTick::whileRecording(bool minimised) {
    CaptureDevice& device = c_.device;
    const SplitRule rule = splitRule();
    std::int64_t size = 0;
    if (rule.type == SplitType::Size) {
        size = sizeOf(session_.CurrentFile);
        if (rule.value && size >= *rule.value * kBytesPerMegabyte) session_.Split_Recording();
    } else if (rule.type == SplitType::Time) {
        if (rule.value && device.CaptureElapsed() >= *rule.value * 60000) session_.Split_Recording();
    }

    const std::int64_t elapsed = device.CaptureElapsed();
    const std::int64_t limit = device.CaptureLimit();
    c_.statusBar.setPanelText(panel::kCounter,
                              hoursMinutesSeconds(elapsed) + "  /  " + hoursMinutesSeconds(limit));
    const std::string ends = hoursMinutesSeconds(std::max<std::int64_t>(0, limit - elapsed));
    c_.statusBar.showPanelText(panel::kProgramme, programmeOnChannel() + " ends in " + ends,
                               fillIn(translate("StatusPanel", "%1 ends in %2"), {shownProgrammeOnChannel(), ends}));
    if (rule.type == SplitType::Size || rule.type == SplitType::Time) {
        std::string left;
        if (rule.value && rule.type == SplitType::Size) {
            left = Format_Byte_Size(*rule.value * kBytesPerMegabyte - size);
        } else if (rule.value) {
            const double minutesLeft = static_cast<double>(*rule.value) - static_cast<double>(elapsed) / 60000.0;
            const double minutes = std::trunc(minutesLeft);
            left = zeroPad(static_cast<long long>(minutes), 2) + ":" +
                   zeroPad(static_cast<long long>(roundHalfEven((minutesLeft - minutes) * 60)), 2);
        }
        c_.statusBar.showPanelText(panel::kSplit, left.empty() ? "" : "Split in " + left,
                                   left.empty() ? "" : fillIn(translate("StatusPanel", "Split in %1"), {left}));
    }
    // Past 100 (a device running over its limit) is ignored by Progress.
    const std::int64_t percent = limit > 0 ? elapsed * 100 / limit : 0;
    c_.status.setProgress(static_cast<int>(std::min<std::int64_t>(percent, 101)));
    if (minimised) c_.tray.setImage(TrayImage::Recording);
}

}  // namespace kelbo
