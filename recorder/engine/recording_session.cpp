#include "recording_session.h"

#include "recording_notices.h"

#include "recorder/device/capture_device.h"
#include "disk_space.h"
#include "recorder/schedule/file_naming.h"
#include "live_preview.h"
#include "recorder/schedule/part_files.h"
#include "status_texts.h"
#include "common/clock.h"
#include "common/host_paths.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/ports/log.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder_view.h"
#include "recorder/ports/translation.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numeric>

namespace kelbo {

namespace {

const char kRecorded[] = "Recorded";
const char kFailed[] = "Failed";
constexpr auto kStartWait = std::chrono::seconds(1);
// A recording holding less media than this is no recording.
constexpr std::int64_t kLeastMediaMs = 1000;
constexpr auto Exclamation = MessageBoxes::Icon::Exclamation;

bool previewing(int state) {
    return state == CaptureDevice::Previewing || state == CaptureDevice::StreamReady;
}

}  // namespace

RecordingSession::RecordingSession(RecorderContext context)
    : c_(context), editor_(context.document, context.next) {
    freeSpace = freeBytesIn;
}

std::string RecordingSession::baseName() const {
    return part_files::baseName(c_.document.fileNameOf(c_.next.id()));
}

std::string RecordingSession::programmeText() const {
    const ScheduleItem* item = c_.document.schedule().stored(c_.next.id());
    return item ? noticeProgrammeText(item->ProgrammeName, item->ChannelName) : noticeProgrammeText("", "");
}

std::string RecordingSession::shownProgrammeText() const {
    const ScheduleItem* item = c_.document.schedule().stored(c_.next.id());
    return item ? kelbo::shownProgrammeText(item->ProgrammeName, item->ChannelName)
                : kelbo::shownProgrammeText("", "");
}

RecordingSession::Take& RecordingSession::takeFor(ProgrammeId id) {
    if (!take_ || take_->id != id) {
        take_ = Take{id};
        failing_.reset();
        // Each programme's starts are counted from its first.
        StartAttempts = 0;
    }
    return *take_;
}

void RecordingSession::Start_Recording(int firstPart) {
    PartNumber = firstPart;
    const ProgrammeId id = c_.next.id();
    Take& take = takeFor(id);
    // A stream that could not be opened is tried again when its wait is over.
    if (!take.streamRetry.mayStart(c_.clock.steadyNow()) || !take.emptyParts.mayStart(c_.clock.steadyNow())) return;
    const std::string base = baseName();
    const std::string probe = part_files::probeName(base, PartNumber);
    const std::string folder = part_files::folderOf(probe);
    std::string why = base.empty() ? "the programme has no file name" : "";
    if (base.empty() || !Make_File_Path(probe, &why)) {
        cannotCreate(take, probe, "cannot create " + (folder.empty() ? probe : folder) + ": " + why);
        return;
    }
    if (!roomToStart(folder, take)) return;
    if (!tuneToChannel(take)) return;
    chooseFileAndPart(take, base, probe);
    if (!take.earlierCounted) countEarlierParts(take, base);
    // A folder that exists but takes no new file (read-only, no permission)
    // is told as such, not as a device that gives no picture.
    why = cannotWriteIn(folder);
    if (!why.empty()) {
        cannotCreate(take, CurrentFile, "cannot write in " + folder + ": " + why);
        return;
    }

    CaptureDevice& device = c_.device;
    const std::string templateName = c_.document.templateOf(id);
    if (previewing(device.ReadyState())) {
        if (device.RecordingTemplate() != templateName) {
            device.StopPreview();
            device.PrepareDevice();
            device.setRecordingTemplate(templateName);
        }
    } else {
        device.PrepareDevice();
        device.setRecordingTemplate(templateName);
    }
    // The limit is a real duration: across a change of the clocks the
    // programme still records for its true length.
    const auto limit =
        std::chrono::round<std::chrono::milliseconds>(c_.next.bufferedEnd() - c_.clock.now());
    const std::int64_t limitMs = std::max<std::int64_t>(0, limit.count());
    device.setMember135(true);
    device.setPreviewWhileCapturing(c_.settings.PreviewRecording);
    device.setCaptureLimit(0);
    device.setCaptureElapsed(0);
    device.setCaptureLimit(limitMs);
    take.givenLimitMs = limitMs;
    take.realEnd = c_.clock.steadyNow() + limit;
    device.setMember116(32);
    device.setMember169(false);
    if (!take.gapsAtStart) take.gapsAtStart = device.sourceGaps();
    if (!take.skippedAtStart) take.skippedAtStart = device.skippedPictures();
    warnIfShortOfSpace(folder, limitMs, take);

    log::info(log::Area::Recording, "Starting to record " + programmeText() + " into " + CurrentFile + " for " +
              hoursMinutesSeconds(limitMs));
    device.StartCapture(toHostPath(CurrentFile));
    // The second the device is given to record counts from here: opening a
    // slow disk or device inside StartCapture must not count against it.
    pending_ = PendingStart{c_.clock.now() + kStartWait, false, c_.clock.steadyNow()};
    resolvePendingStart();
}

void RecordingSession::chooseFileAndPart(Take& take, const std::string& base, const std::string& probe) {
    std::error_code ec;
    if (take.givenUp && std::filesystem::exists(toHostPath(take.givenUp->file), ec)) {
        // A start that came through after all, or whose file the device has
        // not closed yet: nothing of it is lost or written over.
        FileNumber = take.givenUp->fileNumber;
        PartNumber = take.givenUp->part + 1;
    } else {
        FileNumber = part_files::chooseFileNumber(probe);
    }
    CurrentFile = part_files::writingName(base, FileNumber, PartNumber);
}

// A recorder killed or restarted during the programme left parts of it
// under earlier file numbers: what they hold counts as recorded.
void RecordingSession::countEarlierParts(Take& take, const std::string& base) {
    take.earlierCounted = true;
    const Instant since = c_.next.bufferedStart();
    for (const auto& part : part_files::partsOf(base)) {
        if (part.fileNumber >= FileNumber) continue;
        const std::filesystem::path file = toHostPath(part.path);
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        if (ec || size == 0) continue;
        const auto written = std::filesystem::last_write_time(file, ec);
        if (ec || std::chrono::file_clock::to_sys(written) < since) continue;
        const std::int64_t ms = c_.device.mediaLength(file.string()).value_or(0);
        take.mediaMs += ms;
        take.bytes += size;
        take.anyContent = true;
        log::info(log::Area::Recording, "Counting " + part.path + " (" + hoursMinutesSeconds(ms) + ", " +
                  Format_Byte_Size(static_cast<std::int64_t>(size)) + ") as recorded of " + programmeText());
    }
}

std::int64_t RecordingSession::recordedMs() const {
    if (!take_ || take_->id != c_.next.id()) return 0;
    return take_->mediaMs + (capturing_ ? c_.device.CaptureElapsed() : 0);
}

void RecordingSession::resolvePendingStart() {
    if (!pending_) return;
    const bool split = pending_->split;
    if (c_.device.ReadyState() == CaptureDevice::Recording) {
        pending_.reset();
        if (!split) startSucceeded();
    } else if (c_.clock.now() >= pending_->deadline) {
        // A stream connecting or waiting for its first key picture is given
        // the time that takes, rather than stopped and started again.
        if (!split && streamStillOpening()) {
            pending_->deadline = c_.clock.now() + kStartWait;
            return;
        }
        pending_.reset();
        if (split) noticeCaptureEnd();
        else startFailed();
    }
}

bool RecordingSession::streamStillOpening() const {
    const auto stream = c_.device.streamStatus();
    return stream && stream->opening && c_.clock.steadyNow() - pending_->issued < c_.device.openingLead();
}

void RecordingSession::startSucceeded() {
    const ProgrammeId id = c_.next.id();
    takeFor(id).streamRetry.succeeded();
    failing_.reset();
    c_.device.setMuteAudio(!c_.settings.HearPreviewAudio);
    // "Failed" until the programme finishes; a program that ends during the
    // recording leaves it so.
    editor_.recordingBegins(id);
    c_.view.captureBegan();
    takeFor(id).captured = true;
    // The parts of this file number, a start given up before included, are
    // named together when the capture closes.
    takeFor(id).givenUp.reset();
    capturing_ = true;
    log::info(log::Area::Recording, "Recording " + programmeText() + " into " + CurrentFile);
    announce(recordingStartedNotice(shownProgrammeText(), CurrentFile));
}

void RecordingSession::announce(const Announcement& notice) { c_.messages.announce(notice); }

void RecordingSession::Split_Recording() {
    CaptureDevice& device = c_.device;
    const std::int64_t elapsed = device.CaptureElapsed();
    const std::int64_t remaining = device.CaptureLimit() - elapsed;
    device.StopCapture();
    // The device reached the programme's end before its stop notice came
    // through: a further part would get no limit and never stop.
    if (remaining <= 0) {
        closeCapture(elapsed);
        return;
    }
    if (take_) take_->mediaMs += elapsed;
    ++PartNumber;
    CurrentFile = part_files::writingName(baseName(), FileNumber, PartNumber);
    device.setCaptureElapsed(0);
    device.setCaptureLimit(remaining);
    if (take_) take_->givenLimitMs = remaining;
    log::info(log::Area::Recording, "Splitting the recording of " + programmeText() + ": part " + std::to_string(PartNumber) +
              " into " + CurrentFile);
    device.StartCapture(toHostPath(CurrentFile));
    // A part that does not record at once is given its second like a start,
    // so that no tick takes the moment for the end of the recording.
    if (device.ReadyState() != CaptureDevice::Recording)
        pending_ = PendingStart{c_.clock.now() + kStartWait, true, c_.clock.steadyNow()};
}

void RecordingSession::noticeCaptureEnd() {
    CaptureDevice& device = c_.device;
    if (!capturing_ || pending_ || device.ReadyState() == CaptureDevice::Recording) return;
    const std::int64_t elapsed = device.CaptureElapsed();
    const bool reachedLimit = device.CaptureLimit() > 0 && elapsed >= device.CaptureLimit();
    std::string reason = device.lastError();
    DeviceFault fault = device.lastFault();
    // The device's kind of failure decides; only a stop it gives neither
    // words nor a kind for is judged by the folder's free space, as a disk
    // that ran full.
    if (reason.empty() && fault == DeviceFault::None && !reachedLimit) {
        const auto free = freeSpace ? freeSpace(part_files::folderOf(CurrentFile)) : std::nullopt;
        if (free && *free < kLeastFreeBytes) {
            reason = std::strerror(ENOSPC);
            fault = DeviceFault::DiskFull;
        }
    }
    closeCapture(elapsed);
    if (reachedLimit) {
        // A limit that is not the one the recorder gave is a device that ran short.
        if (take_ && device.CaptureLimit() == take_->givenLimitMs) take_->limitReached = true;
        return;
    }
    if (take_ && elapsed > 0) take_->emptyParts.succeeded();
    if (!reason.empty() && take_ && elapsed == 0 && fault == DeviceFault::Stream) {
        writeFailed(reason, fault, take_->emptyParts.failed(c_.clock.steadyNow(), reason));
    } else if (!reason.empty()) {
        writeFailed(reason, fault);
    } else {
        log::warn(log::Area::Recording, "The device stopped recording " + programmeText() + " after " +
                  hoursMinutesSeconds(elapsed) + " of " + hoursMinutesSeconds(device.CaptureLimit()) +
                  "; starting again");
    }
}

void RecordingSession::closeCapture(std::int64_t lastPartMs) {
    if (!capturing_) return;
    capturing_ = false;
    std::vector<int> parts(static_cast<size_t>(std::max(PartNumber, 0)));
    std::iota(parts.begin(), parts.end(), 1);
    const part_files::FinalNames names = part_files::nameFinalParts(baseName(), FileNumber, parts);
    for (const auto& name : names.named) log::info(log::Area::Recording, "Recorded file: " + name);
    for (const auto& name : names.removed) log::info(log::Area::Recording, "Removed the empty part file " + name);
    for (const auto& name : names.failed)
        log::warn(log::Area::Recording, "Could not give " + name + " its final name: the name is taken or cannot be written");
    if (!take_) return;
    // A part that kept its working name was written all the same.
    for (const auto* list : {&names.named, &names.failed}) {
        for (const auto& name : *list) {
            std::error_code error;
            const auto size = std::filesystem::file_size(toHostPath(name), error);
            if (!error) take_->bytes += size;
        }
    }
    take_->files.insert(take_->files.end(), names.named.begin(), names.named.end());
    take_->unnamed.insert(take_->unnamed.end(), names.failed.begin(), names.failed.end());
    take_->mediaMs += lastPartMs;
    take_->anyContent = take_->anyContent || !names.named.empty() || !names.failed.empty();
}

// Starts that were all given up may still have left a file (a start that
// came through after all): it is named and counted like any part.
void RecordingSession::nameGivenUpParts() {
    if (!take_ || take_->id != c_.next.id() || !take_->givenUp) return;
    FileNumber = take_->givenUp->fileNumber;
    PartNumber = take_->givenUp->part;
    take_->givenUp.reset();
    capturing_ = true;
    closeCapture(0);
}

void RecordingSession::writeFailed(const std::string& reason, DeviceFault fault, bool tell) {
    if (take_) {
        take_->writeFailed = take_->storageTold = true;
        // A failure the device gives no kind for may be a full disk as well.
        take_->roomNeeded = fault == DeviceFault::DiskFull || fault == DeviceFault::None;
        if (fault == DeviceFault::DiskFull) waitIfFullDespiteRoom(*take_, reason);
    }
    c_.view.captureEnded();
    editor_.markFailed(c_.next.id());
    const std::string folder = part_files::folderOf(CurrentFile);
    log::error(log::Area::Recording, "The recording of " + programmeText() + " into " + folder + " stopped: " + reason);
    if (!tell) return;
    c_.messages.notify(translate("RecordingSession", "Recording stopped"),
                       fillIn(translate("RecordingSession", "The recording of %1 into %2 stopped: %3"),
                              {shownProgrammeText(), folder, reason}),
                       Exclamation);
}

CaptureDevice::SkippedPictures RecordingSession::skippedSince(const Take& take) const {
    if (!take.skippedAtStart) return {};
    const CaptureDevice::SkippedPictures now = c_.device.skippedPictures();
    return {now.count - take.skippedAtStart->count, now.ms - take.skippedAtStart->ms};
}

std::optional<std::string> RecordingSession::shortfall(const Take& take) const {
    const auto window = std::chrono::duration_cast<std::chrono::milliseconds>(
                            c_.next.bufferedEnd() - c_.next.bufferedStart())
                            .count();
    // The stream's interruptions are in the files as a still picture and
    // silence: they count as missing.
    int gaps = 0;
    std::int64_t recordedMs = take.mediaMs;
    if (take.gapsAtStart) {
        const CaptureDevice::SourceGaps now = c_.device.sourceGaps();
        gaps = now.count - take.gapsAtStart->count;
        recordedMs = std::max<std::int64_t>(0, recordedMs - (now.ms - take.gapsAtStart->ms));
    }
    // Pictures the encoder could not keep up with are holes in the file.
    const CaptureDevice::SkippedPictures skipped = skippedSince(take);
    recordedMs = std::max<std::int64_t>(0, recordedMs - skipped.ms);
    if (gaps == 0 && recordedMs * 10 >= window * 9) return std::nullopt;
    std::string text = programmeText() + ": recorded " + minutesSeconds(recordedMs) + " of " +
                       minutesSeconds(window);
    std::string shown = fillIn(translate("RecordingSession", "%1: recorded %2 of %3"),
                               {shownProgrammeText(), minutesSeconds(recordedMs), minutesSeconds(window)});
    if (gaps > 0) {
        text += ", " + std::to_string(gaps) + (gaps == 1 ? " gap" : " gaps");
        shown += fillIn(gaps == 1 ? translate("RecordingSession", ", %1 gap")
                                  : translate("RecordingSession", ", %1 gaps"),
                        {std::to_string(gaps)});
    }
    if (skipped.count > 0) {
        text += ", " + std::to_string(skipped.count) + " pictures skipped";
        shown += fillIn(translate("RecordingSession", ", %1 pictures skipped"), {std::to_string(skipped.count)});
    }
    log::warn(log::Area::Recording, text);
    return shown;
}

void RecordingSession::Finish_Recording() {
    c_.view.captureEnded();
    if (capturing_) closeCapture(c_.device.CaptureElapsed());
    else nameGivenUpParts();

    const ProgrammeId id = c_.next.id();
    const Take take = take_ && take_->id == id ? *take_ : Take{id};
    const bool recorded = take.anyContent && take.mediaMs >= kLeastMediaMs && !take.writeFailed;
    const char* mark = recorded ? kRecorded : kFailed;
    editor_.recordingEnds(id, recorded ? ProgrammeStatus::Recorded : ProgrammeStatus::Failed);
    const std::int64_t skipped = skippedSince(take).count;
    log::info(log::Area::Recording, "Finished " + programmeText() + ": " + mark + ", " + minutesSeconds(take.mediaMs) + " recorded" +
              (skipped > 0 ? ", " + std::to_string(skipped) + " pictures skipped" : std::string()));
    const auto missing = take.anyContent && !take.writeFailed ? shortfall(take) : std::nullopt;
    // One notice for the one event; a failed write has told the user
    // already, with its reason.
    if (recorded && missing) announce(recordingIncompleteNotice(*missing, take.files));
    else if (recorded)
        announce(recordingFinishedNotice(shownProgrammeText(), {take.mediaMs, take.bytes, skipped, take.unnamed},
                                         take.files));
    else if (!take.writeFailed) announce(recordingFailedNotice(shownProgrammeText(), c_.device.lastError()));
    take_.reset();
    failing_.reset();
    Restore_Preview();
    editor_.afterRecording(id);
}

void RecordingSession::Stop_Recording() {
    CaptureDevice& device = c_.device;
    if (device.ReadyState() != CaptureDevice::Recording) return;
    resolvePendingStart();
    const std::int64_t elapsed = device.CaptureElapsed();
    device.StopCapture();
    c_.view.captureEnded();
    closeCapture(elapsed);
    take_.reset();
    failing_.reset();
    log::info(log::Area::Recording, "Recording of " + programmeText() + " stopped by the user after " +
              hoursMinutesSeconds(elapsed));

    if (c_.view.livePreviewWanted()) {
        if (previewing(device.ReadyState())) device.StopPreview();
        if (!startPreviewWithRetries(device)) reportNoVideoSource(c_.messages);
    } else if (previewing(device.ReadyState())) {
        device.StopPreview();
    }

    editor_.recordingStopped(c_.next.id());
    if (!c_.next.any()) c_.view.nothingChosen();
}

void RecordingSession::shutDown() {
    CaptureDevice& device = c_.device;
    const std::int64_t elapsed = device.CaptureElapsed();
    if (device.ReadyState() == CaptureDevice::Recording || pending_) device.StopCapture();
    // A start still being judged may have written something already.
    if (pending_) capturing_ = true;
    pending_.reset();
    if (!capturing_) return;
    closeCapture(elapsed);
    log::info(log::Area::Recording, "The recording of " + programmeText() + " ends with the program");
}

bool RecordingSession::ranToItsEnd() const {
    return take_ && take_->captured && take_->realEnd &&
           take_->id == c_.next.id() &&
           c_.device.ReadyState() != CaptureDevice::Recording && c_.clock.steadyNow() >= *take_->realEnd;
}

bool RecordingSession::limitReached() const {
    return take_ && take_->limitReached && take_->id == c_.next.id();
}

void RecordingSession::Restore_Preview() {
    CaptureDevice& device = c_.device;
    // A source slow to open runs on to the next tick, which keeps it for a
    // programme of this tuner about to start (back to back) or closes it.
    if (device.ReadyState() == CaptureDevice::StreamReady && device.openingLead() > std::chrono::milliseconds(0))
        openedAhead_ = c_.next.id();
    else if (previewing(device.ReadyState()))
        device.StopPreview();
    if (c_.view.livePreviewWanted()) {
        device.PrepareDevice();
        device.StartPreview();
    }
}

}  // namespace kelbo
