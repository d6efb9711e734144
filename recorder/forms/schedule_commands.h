#pragma once

#include <functional>

namespace kelbo {

class CaptureDevice;
class MessageBoxes;
class ScheduleListing;
struct LiveSettings;

// The transport buttons' commands and the deletion of the selected item.
class ScheduleCommands {
public:
    // Button indices that carry a command.
    static constexpr int kStopButton = 4;
    static constexpr int kAddButton = 8;
    static constexpr int kDeleteButton = 9;

    ScheduleCommands(ScheduleListing& listing, const CaptureDevice& device, const LiveSettings& settings,
                     MessageBoxes& messages);

    // What the stop and add buttons do: stopping the recording in progress
    // and showing the add dialog belong to others.
    void setStopAction(std::function<void()> stop) { stop_ = std::move(stop); }
    void setAddAction(std::function<void()> add) { add_ = std::move(add); }

    void TransportControl_Click(int index);

    // Deletes the selected row's item from the list, the table and the
    // schedule file, after asking (unless in expert mode); refuses the
    // programme being recorded.
    void Delete_Selected_Item();

private:
    ScheduleListing& listing_;
    const CaptureDevice& device_;
    const LiveSettings& settings_;
    MessageBoxes& messages_;
    std::function<void()> stop_;
    std::function<void()> add_;
};

}  // namespace kelbo
