#include "recording_session.h"

#include "capture_device.h"
#include "file_naming.h"
#include "live_preview.h"
#include "part_files.h"
#include "common/clock.h"
#include "common/host_paths.h"
#include "recorder/core/live_settings.h"
#include "recorder/core/message_boxes.h"
#include "recorder/core/next_programme.h"
#include "recorder/core/schedule_document.h"
#include "recorder/core/status_display.h"
#include "recorder/core/ui_ports.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace kelbo {

namespace {

const char kRecorded[] = "Recorded";
const char kFailed[] = "Failed";
constexpr auto kStartWait = std::chrono::seconds(1);

bool previewing(int state) {
    return state == CaptureDevice::Previewing || state == CaptureDevice::StreamReady;
}

bool hasContent(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(toHostPath(file), ec);
    return !ec && size > 0;
}

}  // namespace

RecordingSession::RecordingSession(RecorderContext context) : c_(context) {}

std::string RecordingSession::baseName() const {
    return part_files::baseName(c_.document.list().cell(c_.next.NextRow(), Column::Filename));
}

void RecordingSession::markFailed(int row) {
    c_.document.list().setCell(row, Column::Status, kFailed);
    const int slot = c_.document.slotOfRow(row);
    if (slot >= 0) c_.document.table()[slot].Complete = kFailed;
}

void RecordingSession::Start_Recording() {
    const int row = c_.next.NextRow();
    const std::string base = baseName();
    const std::string probe = part_files::probeName(base, PartNumber);
    if (base.empty() || !Make_File_Path(probe)) {
        c_.messages.show("Error creating file", "Error checking/creating file path for : " + probe,
                         MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
        markFailed(row);
        c_.document.Write_Schedule();
        return;
    }
    FileNumber = part_files::chooseFileNumber(probe);
    CurrentFile = part_files::writingName(base, FileNumber, PartNumber);

    CaptureDevice& device = c_.device;
    const std::string& templateName = c_.document.list().cell(row, Column::Template);
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
    device.setMember135(true);
    device.setPreviewWhileCapturing(c_.settings.PreviewRecording);
    device.setCaptureLimit(0);
    device.setCaptureElapsed(0);
    device.setCaptureLimit(std::max<std::int64_t>(0, limit.count()));
    realEnd_ = c_.clock.steadyNow() + limit;
    device.setMember116(32);
    device.setMember169(false);

    pending_ = PendingStart{c_.clock.now() + kStartWait};
    device.StartCapture(toHostPath(CurrentFile));
    resolvePendingStart();
}

void RecordingSession::resolvePendingStart() {
    if (!pending_) return;
    if (c_.device.ReadyState() == CaptureDevice::Recording) {
        pending_.reset();
        startSucceeded();
    } else if (c_.clock.now() >= pending_->deadline) {
        pending_.reset();
        startFailed();
    }
}

void RecordingSession::startSucceeded() {
    const int row = c_.next.NextRow();
    const int slot = c_.document.slotOfRow(row);
    c_.device.setMuteAudio(!c_.settings.HearPreviewAudio);
    c_.window.setLivePreviewEnabled(false);
    c_.window.setStopButtonEnabled(true);
    // "Failed" until the programme finishes; a program that ends during the
    // recording leaves it so.
    if (slot >= 0) c_.document.table()[slot].Complete = kFailed;
    c_.document.list().setCell(row, Column::Status, "Recording");
    c_.document.Write_Schedule();
    c_.statusBar.setPanelVisible(panel::kCounter, true);
    c_.statusBar.setPanelVisible(panel::kSplit, true);
    if (capturedSlot_ != slot) capturedFiles_.clear();
    capturedSlot_ = slot;
    capturedFiles_.push_back(CurrentFile);
}

void RecordingSession::startFailed() {
    // A start that comes through after all must not run unwatched.
    c_.device.StopCapture();
    if (StartAttempts >= 4) {
        reportNoVideoSource(c_.messages);
        StartAttempts = 0;
        markFailed(c_.next.NextRow());
        c_.document.Write_Schedule();
    }
    ++StartAttempts;
}

void RecordingSession::Split_Recording() {
    CaptureDevice& device = c_.device;
    const std::int64_t remaining = device.CaptureLimit() - device.CaptureElapsed();
    device.StopCapture();
    // The device reached the programme's end before its stop notice came
    // through: a further part would get no limit and never stop.
    if (remaining <= 0) return;
    ++PartNumber;
    CurrentFile = part_files::writingName(baseName(), FileNumber, PartNumber);
    device.setCaptureElapsed(0);
    device.setCaptureLimit(remaining);
    device.StartCapture(toHostPath(CurrentFile));
    capturedFiles_.push_back(CurrentFile);
}

void RecordingSession::Finish_Recording() {
    c_.window.setStopButtonEnabled(false);
    c_.window.setLivePreviewEnabled(true);
    c_.status.setProgress(0);

    const int row = c_.next.NextRow();
    const int slot = c_.document.slotOfRow(row);
    const bool recorded = capturedSlot_ && *capturedSlot_ == slot &&
                          std::any_of(capturedFiles_.begin(), capturedFiles_.end(), hasContent);
    const char* mark = recorded ? kRecorded : kFailed;
    if (slot >= 0) c_.document.table()[slot].Complete = mark;
    c_.document.list().setCell(row, Column::Status, mark);
    c_.document.Write_Schedule();
    if (recorded) Rename_Parts();
    forgetCapture();
    Restore_Preview();
    c_.next.Find_Next_Schedule();
}

void RecordingSession::Stop_Recording() {
    CaptureDevice& device = c_.device;
    if (device.ReadyState() != CaptureDevice::Recording) return;
    device.StopCapture();
    c_.status.setProgress(0);
    c_.window.setStopButtonEnabled(false);
    c_.window.setLivePreviewEnabled(true);
    Rename_Parts();
    forgetCapture();

    if (c_.window.isLivePreviewTicked()) {
        if (previewing(device.ReadyState())) device.StopPreview();
        if (!startPreviewWithRetries(device)) reportNoVideoSource(c_.messages);
    } else if (previewing(device.ReadyState())) {
        device.StopPreview();
    }

    ScheduleList& list = c_.document.list();
    const int row = c_.next.NextRow();
    list.setCell(row, Column::Status, "Stopped");
    list.Set_Row_Colour(row, colour::kBlack);
    if (row >= 1 && row < list.rowCount()) {
        // On to the next row in list order, whatever its times.
        c_.next.take(row + 1);
        list.Set_Row_Colour(row + 1, colour::kRed);
        list.refresh();
    } else {
        c_.next.clear();
        list.refresh();
        c_.statusBar.setPanelText(panel::kProgramme, "NO PROGRAMS TO RECORD");
        c_.statusBar.setPanelVisible(panel::kCounter, false);
        c_.statusBar.setPanelVisible(panel::kSplit, false);
    }
    c_.document.Write_Schedule();
}

bool RecordingSession::ranToItsEnd() const {
    return realEnd_ && capturedSlot_ && *capturedSlot_ == c_.document.slotOfRow(c_.next.NextRow()) &&
           c_.device.ReadyState() != CaptureDevice::Recording && c_.clock.steadyNow() >= *realEnd_;
}

void RecordingSession::forgetCapture() {
    realEnd_.reset();
    capturedSlot_.reset();
    capturedFiles_.clear();
}

void RecordingSession::Rename_Parts() {
    const std::string base = baseName();
    for (int part = 1; part <= PartNumber; ++part) {
        const std::string from = toHostPath(part_files::writingName(base, FileNumber, part));
        const std::string to = toHostPath(part_files::finalName(base, FileNumber, part, PartNumber));
        std::error_code ec;
        // A part that is missing, or whose final name is taken, stays as it is.
        if (!std::filesystem::exists(from, ec) || std::filesystem::exists(to, ec)) continue;
        std::filesystem::rename(from, to, ec);
    }
}

void RecordingSession::Restore_Preview() {
    CaptureDevice& device = c_.device;
    if (previewing(device.ReadyState())) device.StopPreview();
    if (c_.window.isLivePreviewTicked()) {
        device.PrepareDevice();
        device.StartPreview();
    }
}

}  // namespace kelbo
