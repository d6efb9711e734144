#pragma once

#include "recorder/schedule/programme.h"
#include "schedule_list.h"

#include <string>
#include <vector>

namespace kelbo {

class Clock;
class MessageBoxes;
class NextProgramme;
class ScheduleDocument;
class ScheduleListing;
struct LiveSettings;

// What the pane's widget does when the pane's state changes: re-read it.
class DetailPaneView {
public:
    virtual ~DetailPaneView() = default;
    virtual void paneChanged() = 0;
};

// The schedule list's own tooltip, which shows the clash description of the
// row just selected.
class ListToolTipPort {
public:
    virtual ~ListToolTipPort() = default;
    virtual void setListToolTip(const std::string& text) = 0;
};

// The pane's field texts as shown.
struct DetailFields {
    // Selected entry of the template list (LiveSettings::detailTemplates);
    // -1 before any selection.
    int templateIndex = -1;
    std::string fileName;
    std::string startBuffer;
    std::string adjustedStart;
    std::string endBuffer;
    std::string adjustedEnd;
    std::string description;
};

// The detail pane for the selected schedule item, and what selecting a row
// of the schedule list does.
//
// The pane remembers the row it was filled from; every commit goes to that
// row, even when the list's selection has moved on meanwhile. When that row
// is removed or the list is rebuilt, the pane is greyed and commits nothing.
//
// Adjusted times are shown as DD-MM-YYYY HH:MM:SS.
class DetailPane : public ScheduleListObserver {
public:
    DetailPane(ScheduleListing& listing, const LiveSettings& settings, const Clock& clock,
               MessageBoxes& messages);
    ~DetailPane() override;
    DetailPane(const DetailPane&) = delete;
    DetailPane& operator=(const DetailPane&) = delete;

    void setView(DetailPaneView* view) { view_ = view; }
    void setToolTipPort(ListToolTipPort* port) { toolTipPort_ = port; }

    const DetailFields& fields() const { return fields_; }
    // Editable: an item whose buffered start is still ahead. Otherwise (and
    // before any selection) the frame is disabled and the fields grey.
    bool editable() const { return editable_; }
    // The row the pane shows (from 1), 0 for none.
    int shownRow() const { return shownRow_; }
    const std::string& listToolTip() const { return listToolTip_; }
    const std::vector<std::string>& templates() const;

    // Row selection: selects `row` in the list, then shows it.
    void listview_play_ItemClick(int row);
    // Any key released in the list: shows whatever row is now selected.
    void listview_play_KeyUp(int keyCode, int shift);
    void listview_play_MouseMove();

    // Fills the pane from the remembered row.
    void Show_Item_Details();

    // What the user typed or chose, before the commit.
    void setTemplateIndex(int index) { fields_.templateIndex = index; }
    void setFileNameText(const std::string& text) { fields_.fileName = text; }
    void setStartBufferText(const std::string& text) { fields_.startBuffer = text; }
    void setEndBufferText(const std::string& text) { fields_.endBuffer = text; }

    void Detail_StartBuffer_LostFocus();
    void Detail_EndBuffer_LostFocus();
    void Detail_FileName_LostFocus();
    void Detail_Template_LostFocus();
    // Enter (character 13) commits at once; other keys are the field's.
    void Detail_StartBuffer_KeyPress(int keyAscii);
    void Detail_EndBuffer_KeyPress(int keyAscii);
    void Detail_FileName_KeyPress(int keyAscii);

    void listReset() override;
    void rowInserted(int row) override;
    void rowRemoved(int row) override;

private:
    struct Buffer;
    void showSelectedRow();
    bool canCommit() const;
    void commitBuffer(const Buffer& buffer);
    void forgetShownRow();
    void changed();
    ScheduleList& list();

    ScheduleListing& listing_;
    ScheduleDocument& document_;
    NextProgramme& next_;
    const LiveSettings& settings_;
    const Clock& clock_;
    MessageBoxes& messages_;
    DetailPaneView* view_ = nullptr;
    ListToolTipPort* toolTipPort_ = nullptr;

    DetailFields fields_;
    bool editable_ = false;
    int shownRow_ = 0;
    ProgrammeId shownId_ = 0;
    std::string listToolTip_;
    // A commit in progress: its question must not start another one.
    bool committing_ = false;
};

}  // namespace kelbo
