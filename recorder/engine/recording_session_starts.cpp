#include "recording_session.h"

#include "channel_lookup.h"
#include "disk_space.h"
#include "status_texts.h"
#include "common/host_paths.h"
#include "common/stream_url.h"
#include "recorder/device/capture_device.h"
#include "recorder/ports/log.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/part_files.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder/ports/translation.h"

#include <algorithm>

// Why a start fails, and telling it: a folder or file that cannot be made,
// a disk without room, a channel that cannot be tuned, a stream that does
// not open, a device that gives no picture.
namespace kelbo {

namespace {

// After a write error, a retry waits until the disk holds this much at the
// template's bit rate, so a nearly full disk does not fail again at once.
constexpr std::uintmax_t kRetrySeconds = 60;
// How long retries wait after the device found the disk full though the
// folder shows room.
constexpr auto kFullRetryWait = std::chrono::seconds(kRetrySeconds);
// Starts that fail in silence before a stream's failure is told without a
// reason: past the seconds in which an opening that hears nothing gives up
// and says so itself.
constexpr int kQuietStreamStarts = 8;
// How long a start waits for the channel playlist to be read: in all, and
// at one tick (the window's thread must not stop for longer).
constexpr auto kPlaylistWait = std::chrono::seconds(5);
constexpr auto kPlaylistTickWait = std::chrono::milliseconds(250);
constexpr auto Exclamation = MessageBoxes::Icon::Exclamation;

std::string withReason(const std::string& text, const std::string& reason) {
    return reason.empty() ? text : text + ": " + reason;
}

}  // namespace

void RecordingSession::failing(std::string reason) { failing_ = StartFailure{std::move(reason)}; }

void RecordingSession::cannotCreate(Take& take, const std::string& file, const std::string& reason) {
    failing(reason);
    // Retried by every tick while the programme is due; told once.
    if (take.storageTold) return;
    take.storageTold = true;
    log::error(log::Area::Recording, "Cannot record " + programmeText() + ": " + reason);
    c_.messages.notify(translate("RecordingSession", "Error creating file"),
                       fillIn(translate("RecordingSession", "Error checking/creating file path for : %1 (%2)"),
                              {file, reason}),
                       Exclamation);
    editor_.markFailed(c_.next.id());
}

void RecordingSession::openAhead() {
    const ProgrammeId id = c_.next.id();
    CaptureDevice& device = c_.device;
    if (openedAhead_ == id || device.openingLead() <= std::chrono::milliseconds(0)) return;
    if (!tuneToChannel(takeFor(id), true)) return;  // tried again at the next tick
    openedAhead_ = id;
    // Set now: a template changed at the start would restart the source.
    device.setRecordingTemplate(c_.document.templateOf(id));
    log::info(log::Area::Recording, "Opening the source of " + programmeText() + " ahead of its start");
    device.openSource();
}

void RecordingSession::closeUnusedSource() {
    if (!openedAhead_ || (c_.next.any() && c_.next.id() == openedAhead_)) return;
    openedAhead_ = 0;
    if (c_.next.any() && c_.next.bufferedStart() - c_.clock.now() <= c_.device.openingLead()) return;
    if (!capturing_ && !pending_ && c_.device.ReadyState() == CaptureDevice::StreamReady) c_.device.StopPreview();
}

bool RecordingSession::tuneToChannel(Take& take, bool quietly) {
    const std::string& playlist = c_.settings.ChannelPlaylist;
    if (playlist.empty()) return true;
    const ScheduleItem* item = c_.document.schedule().stored(c_.next.id());
    const std::string number = item ? item->ChannelNumber : std::string();
    const std::string name = item ? item->ChannelName : std::string();
    // The playlist is read off this thread; a start waits for it a little
    // at each tick, and gives up after kPlaylistWait.
    const PlaylistCache::Result read =
        playlists_.get(toHostPath(playlist), quietly ? std::chrono::milliseconds(0) : kPlaylistTickWait);
    if (read.state == PlaylistCache::Result::State::Reading) {
        if (quietly) return false;
        if (!take.playlistWaitSince) take.playlistWaitSince = c_.clock.steadyNow();
        if (c_.clock.steadyNow() - *take.playlistWaitSince < kPlaylistWait) return false;
    }
    const bool readable = read.state == PlaylistCache::Result::State::Ready;
    // Looked up once in each version of the playlist: matching a channel in
    // a hundred thousand entries at every retry would cost as much as reading.
    if (readable && take.lookedUpIn != read.entries) {
        take.lookup = lookUpChannel(*read.entries, number, name);
        take.lookedUpIn = read.entries;
    }
    const ChannelLookup found = readable ? take.lookup : ChannelLookup{};
    if (found.entry && c_.device.tuneStream({found.entry->url, found.entry->http})) {
        if (take.tunedUrl != found.entry->url) {
            take.tunedUrl = found.entry->url;
            log::info(log::Area::Recording, "Channel " + number + " \"" + name + "\" is " + found.chosenText() + ": " +
                      found.entry->url);
        }
        return true;
    }
    if (quietly) return false;
    const std::string channel = "channel " + number + " \"" + name + "\"";
    std::string why;
    if (!readable)
        why = "the channel playlist " + playlist + " cannot be read: " +
              (read.state == PlaylistCache::Result::State::Reading
                   ? "still being read after " +
                         std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kPlaylistWait).count()) + " s"
                   : read.why);
    else if (found.entry)
        why = withReason("the capture device cannot tune to " + found.entry->url,
                         c_.device.lastFault() == DeviceFault::Channel ? c_.device.lastError() : std::string());
    else why = channel + " is not in the channel playlist " + playlist;
    failing(why);
    // Retried by every tick while the programme is due; told once.
    if (take.channelTold) return false;
    take.channelTold = true;
    const std::string text = "Cannot record " + programmeText() + ": " + why;
    // Entries that share only the number, or the name with another stream,
    // are not opened on a guess.
    const bool guesses = !found.entry && !found.candidates.empty();
    log::error(log::Area::Recording, guesses ? text + "; not opened on a guess: " + found.candidatesText(50) : text);
    const std::string told =
        guesses ? fillIn(translate("RecordingSession", "Cannot record %1: %2; not opened on a guess: %3."),
                         {shownProgrammeText(), why, found.candidatesText(3)})
                : fillIn(translate("RecordingSession", "Cannot record %1: %2."), {shownProgrammeText(), why});
    c_.messages.notify(translate("RecordingSession", "Channel not found"), told, Exclamation);
    editor_.markFailed(c_.next.id());
    return false;
}

std::uintmax_t RecordingSession::roomToRetry() const {
    const std::string templateName = c_.document.templateOf(c_.next.id());
    return std::max(kLeastFreeBytes,
                    kRetrySeconds * templateBytesPerSecond(c_.device.DeviceRegistryKey(), templateName));
}

bool RecordingSession::roomToStart(const std::string& folder, Take& take) {
    if (take.fullUntil) {
        if (c_.clock.steadyNow() < *take.fullUntil) {
            failing(take.fullReason);
            return false;
        }
        take.fullUntil.reset();
    }
    const auto free = freeSpace ? freeSpace(folder) : std::nullopt;
    if (!free) return true;
    const std::uintmax_t needed = take.roomNeeded ? roomToRetry() : kLeastFreeBytes;
    if (*free >= needed) return true;
    tellDiskFull(take, folder + " has only " + Format_Byte_Size(static_cast<std::int64_t>(*free)) + " free");
    return false;
}

void RecordingSession::tellDiskFull(Take& take, const std::string& why) {
    failing(why);
    if (take.storageTold) return;
    take.storageTold = true;
    log::error(log::Area::Recording, "Cannot record " + programmeText() + ": " + why);
    c_.messages.notify(translate("RecordingSession", "Disk full"),
                       fillIn(translate("RecordingSession", "Cannot record %1: %2."), {shownProgrammeText(), why}),
                       Exclamation);
    editor_.markFailed(c_.next.id());
}

void RecordingSession::waitIfFullDespiteRoom(Take& take, const std::string& reason) {
    take.roomNeeded = true;
    const auto free = freeSpace ? freeSpace(part_files::folderOf(CurrentFile)) : std::nullopt;
    // Free space that shows the disk full also shows when it has room again.
    if (free && *free < roomToRetry()) return;
    take.fullUntil = c_.clock.steadyNow() + kFullRetryWait;
    take.fullReason = reason;
    log::warn(log::Area::Recording, "The device found no room in " + part_files::folderOf(CurrentFile) +
                                        " though it shows free space (a quota?); trying again in " +
                                        std::to_string(kRetrySeconds) + " s");
}

bool RecordingSession::storageStartFailed(Take& take) {
    const DeviceFault fault = c_.device.lastFault();
    if (fault != DeviceFault::Folder && fault != DeviceFault::DiskFull) return false;
    StartAttempts = 0;
    const std::string error = c_.device.lastError();
    if (fault == DeviceFault::Folder) {
        cannotCreate(take, CurrentFile, error);
    } else {
        waitIfFullDespiteRoom(take, error);
        tellDiskFull(take, error);
    }
    return true;
}

void RecordingSession::warnIfShortOfSpace(const std::string& folder, std::int64_t limitMs, Take& take) {
    if (take.spaceWarned || !freeSpace) return;
    const auto free = freeSpace(folder);
    if (!free) return;
    const std::string templateName = c_.document.templateOf(c_.next.id());
    const std::uintmax_t needed =
        templateBytesPerSecond(c_.device.DeviceRegistryKey(), templateName) *
        static_cast<std::uintmax_t>(limitMs) / 1000;
    if (*free >= needed) return;
    take.spaceWarned = true;
    const std::string freeText = Format_Byte_Size(static_cast<std::int64_t>(*free));
    const std::string neededText = Format_Byte_Size(static_cast<std::int64_t>(needed));
    log::warn(log::Area::Recording, folder + " has " + freeText + " free; recording " + programmeText() + " with template \"" +
              templateName + "\" needs about " + neededText);
    c_.messages.notify(translate("RecordingSession", "Low disk space"),
                       fillIn(translate("RecordingSession",
                                        "%1 has %2 free; recording %3 with template \"%4\" needs about %5."),
                              {folder, freeText, shownProgrammeText(), templateName, neededText}),
                       Exclamation);
}

void RecordingSession::startFailed() {
    // A start that comes through after all must not run unwatched. Its file
    // is the device's to remove: it may still be writing it, and the next
    // attempt writes a file of its own.
    c_.device.StopCapture();
    takeFor(c_.next.id()).givenUp = Take::Attempt{FileNumber, PartNumber, CurrentFile};
    log::warn(log::Area::Recording, withReason("The device did not start recording " + programmeText() + " into " +
                             CurrentFile + " (attempt " + std::to_string(StartAttempts + 1) + ")",
                         c_.device.lastError()));
    // A device that names the folder or a full disk is not short of a picture.
    if (storageStartFailed(takeFor(c_.next.id()))) return;
    if (streamStartFailed()) return;
    const std::string error = c_.device.lastError();
    failing(error.empty() ? "no picture from the video source" : error);
    if (StartAttempts >= 4) {
        log::error(log::Area::Recording, "No video source: " + programmeText() + " is not being recorded");
        c_.messages.notify(translate("LivePreview", "No video Source Detected"),
                           translate("LivePreview", "There is no video source for the Dazzle DVCII"), Exclamation);
        StartAttempts = 0;
        editor_.markFailed(c_.next.id());
    }
    ++StartAttempts;
}

bool RecordingSession::streamStartFailed() {
    const auto stream = c_.device.streamStatus();
    if (!stream) return false;
    const std::string host = urlHost(stream->url);
    const std::string at = host.empty() ? "" : " at " + host;
    std::string what;
    if (!stream->openFailure.empty()) {
        what = "the stream" + at + " cannot be opened: " + stream->openFailure;
    } else if (StartAttempts >= kQuietStreamStarts) {
        const std::string error = c_.device.lastError();
        what = "nothing came from the stream" + at + (error.empty() ? "" : ": " + error);
    } else {
        // The stream is still being opened: the next tick tries again while
        // the connection goes on.
        ++StartAttempts;
        return true;
    }
    StartAttempts = 0;
    failing(what);
    StreamRetry& retry = takeFor(c_.next.id()).streamRetry;
    const bool untold = retry.failed(c_.clock.steadyNow(), what);
    log::warn(log::Area::Recording, "Cannot record " + programmeText() + ": " + what + "; trying again in " +
              std::to_string(retry.wait().count() / 1000) + " s");
    if (!untold) return true;
    const std::string longest = std::to_string(StreamRetry::kLongestWait.count() / 1000);
    const std::string text =
        fillIn(translate("RecordingSession",
                         "Cannot record %1: %2. It is tried again at least every %3 s while the programme is on."),
               {shownProgrammeText(), what, longest});
    c_.messages.notify(translate("LivePreview", "No video Source Detected"), text, Exclamation);
    editor_.markFailed(c_.next.id());
    return true;
}

}  // namespace kelbo
