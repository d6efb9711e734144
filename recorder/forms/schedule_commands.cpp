#include "schedule_commands.h"

#include "recorder/schedule/schedule_editor.h"
#include "schedule_listing.h"

#include "recorder/schedule/live_settings.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/device/capture_device.h"

namespace kelbo {

ScheduleCommands::ScheduleCommands(ScheduleListing& listing, const CaptureDevice& device,
                                   const LiveSettings& settings, MessageBoxes& messages)
    : listing_(listing), device_(device), settings_(settings), messages_(messages) {}

void ScheduleCommands::TransportControl_Click(int index) {
    switch (index) {
    case kStopButton:
        if (stop_) stop_();
        break;
    case kAddButton:
        if (add_) add_();
        break;
    case kDeleteButton:
        Delete_Selected_Item();
        break;
    default:
        break;
    }
}

void ScheduleCommands::Delete_Selected_Item() {
    const ScheduleList& list = listing_.list();
    if (list.rowCount() == 0) return;
    const int row = list.selectedRow();
    if (row == 0) return;

    const bool recording = (row == listing_.NextRow() && device_.ReadyState() == CaptureDevice::Recording) ||
                           listing_.takenByOtherTuner(listing_.idOfRow(row));
    if (recording) {
        messages_.show(translate("ScheduleCommands", "Delete Error"),
                       translate("ScheduleCommands",
                                 "You can't delete the item currently being recorded.  Use STOP button on "
                                 "'Preview' tab first"),
                       MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
        return;
    }
    if (!settings_.ExpertMode &&
        messages_.show(translate("ScheduleCommands", "Delete Confirmation"),
                       translate("ScheduleCommands", "Are you sure you want to delete?"),
                       MessageBoxes::Icon::Question,
                       MessageBoxes::Buttons::OkCancelDefaultCancel) != MessageBoxes::Answer::Ok)
        return;

    ScheduleEditor(listing_.document(), listing_.next()).remove(listing_.idOfRow(row));
}

}  // namespace kelbo
