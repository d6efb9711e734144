#pragma once

#include "channel_lookup.h"
#include "playlist_cache.h"
#include "recorder_context.h"
#include "stream_retry.h"
#include "common/clock.h"
#include "recorder/device/capture_device.h"
#include "recorder/schedule/programme.h"
#include "recorder/schedule/schedule_editor.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelbo {

struct Announcement;

// Starting, splitting and ending the recording of the next programme.
//
// Starting does not wait on the user-interface thread: StartCapture is
// issued and the outcome is judged when the device reports its state, or at
// the latest one second after StartCapture has returned (the tick calls
// resolvePendingStart).
//
// A capture that ends before the programme does (a write error, a device
// that ran short) is noticed by the tick through noticeCaptureEnd: its
// parts get their final names at once, and a write error ends the
// recording of the item. The device's kind of failure says what comes
// next: after a full disk the item is started again only once the disk has
// room; after the folder's failure the next start checks the folder.
class RecordingSession {
public:
    explicit RecordingSession(RecorderContext context);

    // Called by the tick; the recording's parts count on from firstPart.
    void Start_Recording(int firstPart);
    // The next programme starts within the device's opening lead: its
    // channel is tuned and the source opened now, so that the capture takes
    // its first picture at the start. Quiet: a start that fails still tells.
    void openAhead();
    // A source opened ahead for a programme this tuner no longer has (taken
    // out of the schedule, stopped), or left running after a recording, is
    // closed again unless the tuner's next programme is about to start.
    void closeUnusedSource();
    void Split_Recording();
    void Finish_Recording();
    // The stop button: does nothing unless the device records.
    void Stop_Recording();
    // The program is ending: the parts of a recording in progress become
    // complete files under their final names; the schedule is left as it is.
    void shutDown();

    // Judges a start in progress: success once the device records, failure
    // when it still does not one second after StartCapture returned.
    void resolvePendingStart();
    bool startPending() const { return pending_.has_value(); }
    // Parts of a capture of ours are open or not yet given their names.
    bool capturing() const { return capturing_; }
    // Called by every tick: finishes the parts of a capture the device has
    // ended by itself, and reports a write error.
    void noticeCaptureEnd();
    // The device has stopped after recording this programme for as long as
    // it had left when it started: its real end has passed, whatever the
    // wall clock, which may have been set back, says now.
    bool ranToItsEnd() const;
    // The device has recorded this programme for all the time it was given
    // (a copy of a stream may begin and so end a little early, at a key
    // picture): nothing more is started for it.
    bool limitReached() const;

    // Why the starts of the programme due now fail, while they do: the
    // reason of the last failed start, in words.
    struct StartFailure {
        std::string reason;
    };
    const std::optional<StartFailure>& failing() const { return failing_; }

    // Everything recorded of the programme so far, across its file numbers,
    // the part being written included.
    std::int64_t recordedMs() const;

    // Recording state.
    std::string CurrentFile;
    int PartNumber = 1;
    int FileNumber = 1;
    int StartAttempts = 0;

    // Bytes free in a folder; tests replace it.
    std::function<std::optional<std::uintmax_t>(const std::string& folder)> freeSpace;

private:
    // What has been recorded so far of one schedule item.
    struct Take {
        explicit Take(ProgrammeId programme) : id(programme) {}
        ProgrammeId id = 0;
        std::int64_t mediaMs = 0;
        std::uintmax_t bytes = 0;  // of the files given their final names
        bool anyContent = false;
        std::vector<std::string> files;  // given their final names, in order
        bool writeFailed = false;
        // The last write failed on a full disk, or for no reason the device
        // could tell: a retry waits for room for a minute's recording.
        bool roomNeeded = false;
        // The device found the disk full though the folder shows room (the
        // user's quota, space kept for the system): the free space cannot
        // tell when it takes files again, so retries wait until then.
        std::optional<Clock::Steady> fullUntil;
        std::string fullReason;
        bool earlierCounted = false;  // the parts of earlier file numbers
        bool spaceWarned = false;
        // Told once each while the programme is due: the recordings folder
        // (cannot be made, full, a write failed) and the channel.
        bool storageTold = false;
        bool channelTold = false;
        bool captured = false;  // the device has recorded into a part
        bool limitReached = false;  // ... and reached the capture limit it was given
        std::int64_t givenLimitMs = -1;  // the capture limit the recorder gave it last
        // The device's stream interruptions when the recording started.
        std::optional<CaptureDevice::SourceGaps> gapsAtStart;
        // ... and the pictures it had skipped.
        std::optional<CaptureDevice::SkippedPictures> skippedAtStart;
        // Parts that kept their working name: the rename was refused.
        std::vector<std::string> unnamed;
        // The last start given up: its file stays the device's, and while it
        // is there the next start writes the following part beside it.
        struct Attempt {
            int fileNumber = 0;
            int part = 0;
            std::string file;
        };
        std::optional<Attempt> givenUp;
        // When the programme really ends, on a clock that no setting moves.
        std::optional<Clock::Steady> realEnd;
        // Starts from a network stream that cannot be opened.
        StreamRetry streamRetry;
        // Parts that failed before they recorded anything (a stream whose
        // packets the files do not take): started again after the same
        // waits, each reason told once, until a part records.
        StreamRetry emptyParts;
        std::string tunedUrl;  // the stream last logged as tuned to
        // Since when the start has waited for the channel playlist to be read.
        std::optional<Clock::Steady> playlistWaitSince;
        // The channel's entry, and the playlist it was looked up in.
        ChannelLookup lookup;
        std::shared_ptr<const std::vector<PlaylistEntry>> lookedUpIn;
    };

    // Quietly: nothing told or marked when it cannot, and no wait for the playlist.
    bool tuneToChannel(Take& take, bool quietly = false);
    void countEarlierParts(Take& take, const std::string& base);
    std::string baseName() const;
    std::string programmeText() const;
    // The same in the user's language, for notices.
    std::string shownProgrammeText() const;
    Take& takeFor(ProgrammeId id);
    void failing(std::string reason);
    // The folder or the file cannot be made: told once for the programme.
    void cannotCreate(Take& take, const std::string& file, const std::string& reason);
    bool roomToStart(const std::string& folder, Take& take);
    void warnIfShortOfSpace(const std::string& folder, std::int64_t limitMs, Take& take);
    void startSucceeded();
    void startFailed();
    // False when the device's source is no network stream.
    bool streamStartFailed();
    void closeCapture(std::int64_t lastPartMs);
    // The file number and part a start writes: after a start given up whose
    // file is still there, the next part of its file number.
    void chooseFileAndPart(Take& take, const std::string& base, const std::string& probe);
    void nameGivenUpParts();
    void writeFailed(const std::string& reason, DeviceFault fault, bool tell = true);
    // What the device's failed start is, when it names the folder or a full disk.
    bool storageStartFailed(Take& take);
    void waitIfFullDespiteRoom(Take& take, const std::string& reason);
    // Tells once for the programme that its folder has no room.
    void tellDiskFull(Take& take, const std::string& why);
    // Free bytes a retry after a full disk waits for.
    std::uintmax_t roomToRetry() const;
    CaptureDevice::SkippedPictures skippedSince(const Take& take) const;
    std::optional<std::string> shortfall(const Take& take) const;
    void announce(const Announcement& notice);
    void Restore_Preview();

    // Less than this free and a start would only leave an empty file.
    static constexpr std::uintmax_t kLeastFreeBytes = std::uintmax_t{1024} * 1024;

    RecorderContext c_;
    // Every change of the schedule goes through it.
    ScheduleEditor editor_;
    struct PendingStart {
        Instant deadline;
        bool split = false;  // the next part of a running recording
        Clock::Steady issued;  // when StartCapture returned
    };
    // The device's stream is still opening for the pending start, and has
    // had less time than opening takes.
    bool streamStillOpening() const;
    std::optional<PendingStart> pending_;
    // A capture of ours is under way: the device writes (or wrote, until the
    // tick notices its end) the parts of FileNumber.
    bool capturing_ = false;
    std::optional<Take> take_;
    std::optional<StartFailure> failing_;
    PlaylistCache playlists_;
    ProgrammeId openedAhead_ = 0;  // the programme whose source was opened ahead or left running
};

}  // namespace kelbo
