#include "scheduler_tick.h"

#include "recorder/device/capture_device.h"
#include "recording_session.h"
#include "status_texts.h"
#include "common/clock.h"
#include "common/host_paths.h"
#include "common/text_util.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/ports/log.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder_view.h"

#include <algorithm>
#include <filesystem>

namespace kelbo {

namespace {

// Split thresholds must fit a signed 32-bit count of bytes or milliseconds.
constexpr long long kMostMegabytes = 2097;
constexpr long long kMostMinutes = 32767;
constexpr std::int64_t kBytesPerMegabyte = RecorderState::Split::kBytesPerMegabyte;
constexpr auto kShortestRecording = std::chrono::seconds(1);
// How long past a programme's end a recording may run before it is stopped:
// far beyond any lag of the device's media time behind the clock.
constexpr auto kOverrun = std::chrono::minutes(2);
// Half the time between two ticks.
constexpr auto kHalfTick = std::chrono::milliseconds(200);
// More time left on the device than on the clock, well beyond the device's
// lag in starting, means the clock was set forwards or the source stalled.
constexpr std::chrono::milliseconds kClockSlack = std::chrono::seconds(30);

std::int64_t sizeOf(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(toHostPath(file), ec);
    return ec ? 0 : static_cast<std::int64_t>(size);  // not there yet: nothing written
}

}  // namespace

SchedulerTick::SchedulerTick(RecorderContext context, RecordingSession& session, Role role)
    : c_(context), session_(session), role_(role) {}

RecorderState::Split SchedulerTick::splitRule() const {
    RecorderState::Split rule;
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

void SchedulerTick::openAheadIfDueSoon() {
    const Instant now = c_.clock.now();
    if (now < c_.next.bufferedStart() && c_.next.bufferedStart() - now <= c_.device.openingLead() &&
        c_.device.ReadyState() != CaptureDevice::Recording && !session_.capturing())
        session_.openAhead();
}

void SchedulerTick::startIfDue() {
    const Instant now = c_.clock.now();
    // A source opened ahead records from its next picture: it starts at the
    // tick nearest its buffered start rather than up to a tick after it.
    const auto early = c_.device.openingLead() > std::chrono::milliseconds(0) ? kHalfTick : std::chrono::milliseconds(0);
    if (c_.next.bufferedStart() < now + early && now < c_.next.bufferedEnd() &&
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

void SchedulerTick::showRecordingBegun() {
    if (c_.device.ReadyState() != CaptureDevice::Recording || !c_.next.any()) return;
    c_.view.recordingBegun(state());
}

void SchedulerTick::Timer1_Timer() {
    session_.resolvePendingStart();
    session_.noticeCaptureEnd();
    chooseAgainIfFree();
    c_.view.tickBegan(deviceState());
    if (!session_.startPending()) session_.closeUnusedSource();
    if (c_.next.any()) {
        // While a start is being judged the device is left alone.
        const bool idle = !session_.startPending();
        // The device ran to the programme's real end while the clock, set
        // back meanwhile, says it is still on: it is finished, not recorded
        // again into a second file.
        const bool ranToItsEnd = idle && session_.ranToItsEnd();
        if (idle && !ranToItsEnd && !session_.limitReached()) {
            openAheadIfDueSoon();
            startIfDue();
        }
        const Instant now = c_.clock.now();
        const CaptureDevice& device = c_.device;
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
            splitIfDue();
        }
    }
    if (role_ == Role::Leads) c_.view.ticked(state());
}

void SchedulerTick::chooseAgainIfFree() {
    const bool free = !session_.startPending() && c_.device.ReadyState() != CaptureDevice::Recording;
    // A tuner that has a programme keeps it until the programme is
    // finished or stopped.
    if (role_ == Role::TakesDue) {
        if (free && !session_.capturing() && !c_.next.any()) c_.next.Find_Next_Schedule();
        return;
    }
    c_.document.retryPendingWrite(false);
    // A rewrite took in another program's changes: the next programme is
    // chosen from the merged list, once no recording of this tuner depends
    // on the list.
    if (free && !c_.document.holds(c_.document.schedule().slotOf(c_.next.id())) &&
        c_.document.takeOutsideChanges())
        c_.next.Find_Next_Schedule();
}

void SchedulerTick::splitIfDue() {
    const RecorderState::Split rule = splitRule();
    if (!rule.value) return;
    if (rule.type == SplitType::Size) {
        if (sizeOf(session_.CurrentFile) >= *rule.value * kBytesPerMegabyte) session_.Split_Recording();
    } else if (rule.type == SplitType::Time) {
        if (c_.device.CaptureElapsed() >= *rule.value * 60000) session_.Split_Recording();
    }
}

RecorderState::Device SchedulerTick::deviceState() const {
    switch (c_.device.ReadyState()) {
    case CaptureDevice::Idle: return RecorderState::Device::Idle;
    case CaptureDevice::Previewing: return RecorderState::Device::Previewing;
    case CaptureDevice::StreamReady: return RecorderState::Device::StreamReady;
    case CaptureDevice::Recording: return RecorderState::Device::Recording;
    default: return RecorderState::Device::Other;
    }
}

RecorderState SchedulerTick::state() const {
    RecorderState s;
    s.device = deviceState();
    const ScheduleItem* item = c_.document.schedule().stored(c_.next.id());
    if (!c_.next.any() || !item) return s;
    const Instant now = c_.clock.now();
    const auto until = [now](Instant then) {
        return std::max(std::chrono::milliseconds(0),
                        std::chrono::duration_cast<std::chrono::milliseconds>(then - now));
    };
    RecorderState::Next next;
    next.id = c_.next.id();
    next.name = item->ProgrammeName;
    next.channel = item->ChannelName;
    next.bufferedStart = c_.next.bufferedStart();
    next.bufferedEnd = c_.next.bufferedEnd();
    next.untilStart = until(next.bufferedStart);
    next.toGo = std::chrono::ceil<std::chrono::seconds>(next.untilStart);
    next.untilEnd = until(next.bufferedEnd);
    next.recordedMs = session_.recordedMs();
    s.next = std::move(next);
    const bool recording = c_.device.ReadyState() == CaptureDevice::Recording;
    // A due programme whose starts keep failing is shown with the reason,
    // whatever the device's own state and while the next try is judged,
    // until it records or ends.
    if (const auto& failure = session_.failing();
        failure && !recording && c_.next.bufferedStart() < now && now < c_.next.bufferedEnd())
        s.failing = failure->reason;
    if (recording) {
        RecorderState::Recording r;
        r.id = c_.next.id();
        r.bufferedEnd = c_.next.bufferedEnd();
        r.name = item->ProgrammeName;
        r.channel = item->ChannelName;
        r.file = session_.CurrentFile;
        r.elapsedMs = c_.device.CaptureElapsed();
        r.limitMs = c_.device.CaptureLimit();
        r.progress = r.limitMs > 0 ? static_cast<int>(std::min<std::int64_t>(r.elapsedMs * 100 / r.limitMs, 101)) : 0;
        r.split = splitRule();
        if (r.split.type == SplitType::Size) r.split.partBytes = sizeOf(session_.CurrentFile);
        s.recording = std::move(r);
    }
    return s;
}

}  // namespace kelbo
