#include "detail_pane.h"

#include "recorder/schedule/schedule_editor.h"
#include "schedule_listing.h"

#include "recorder/schedule/live_settings.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "common/clock.h"
#include "common/text_util.h"
#include "recorder/schedule/file_naming.h"

#include <chrono>
#include <optional>

namespace kelbo {

namespace {

const char kConfirmTitle[] = KELBO_TRANSLATE_NOOP("DetailPane", "Confirmation Required");
constexpr int kEnter = 13;
// The largest buffer the recorder takes, in minutes (about three weeks).
constexpr int kMaxBuffer = 32767;

bool isBufferValue(const std::string& text) {
    if (text.empty() || text.size() > 5) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return std::stoi(text) <= kMaxBuffer;
}

class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

}  // namespace

// One of the two buffer fields: what it edits and what it asks.
struct DetailPane::Buffer {
    std::string DetailFields::*field;
    std::string ScheduleItem::*itemField;
    std::string LiveSettings::*setting;
    const char* question;
    const char* invalidText;
};

DetailPane::DetailPane(ScheduleListing& listing, const LiveSettings& settings, const Clock& clock,
                       MessageBoxes& messages)
    : listing_(listing), document_(listing.document()), next_(listing.next()), settings_(settings), clock_(clock),
      messages_(messages) {
    list().addObserver(this);
}

DetailPane::~DetailPane() { list().removeObserver(this); }

ScheduleList& DetailPane::list() { return listing_.list(); }

const std::vector<std::string>& DetailPane::templates() const { return settings_.detailTemplates; }

void DetailPane::changed() {
    if (view_) view_->paneChanged();
}

void DetailPane::listview_play_ItemClick(int row) {
    list().select(row);
    showSelectedRow();
}

void DetailPane::listview_play_KeyUp(int /*keyCode*/, int /*shift*/) { showSelectedRow(); }

void DetailPane::listview_play_MouseMove() {
    listToolTip_.clear();
    if (toolTipPort_) toolTipPort_->setListToolTip(listToolTip_);
}

void DetailPane::showSelectedRow() {
    const int row = list().selectedRow();
    if (row == 0) return;

    // A programme whose start does not read as a date and time is never
    // editable.
    shownRow_ = row;
    shownId_ = listing_.idOfRow(row);
    const auto programme = document_.schedule().find(shownId_);
    editable_ = programme && programme->localStart && programme->startBufferMinutes &&
                recordingTimes(*programme->localStart, *programme->startBufferMinutes, 0, 0).bufferedStart >
                    clock_.now();
    Show_Item_Details();

    std::string tag = list().tag(row);
    const std::string trailingAnd = " AND ";
    if (tag.size() >= trailingAnd.size() && tag.ends_with(trailingAnd)) {
        tag.erase(tag.size() - trailingAnd.size());
        list().setTag(row, tag);
    }
    if (tag != "Clash with: ") {
        listToolTip_ = tag;
        if (toolTipPort_) toolTipPort_->setListToolTip(listToolTip_);
    }
}

void DetailPane::Show_Item_Details() {
    if (shownRow_ == 0) return;
    const auto programme = document_.schedule().find(shownId_);
    if (!programme) return;
    const ScheduleItem& item = programme->stored;
    fields_.description = item.Description;
    fields_.startBuffer = item.StartBuffer.empty() ? settings_.StartBuffer : item.StartBuffer;
    fields_.endBuffer = item.EndBuffer.empty() ? settings_.EndBuffer : item.EndBuffer;
    fields_.fileName = document_.fileNameOf(shownId_);

    const auto startBuffer = parseWholeNumber(fields_.startBuffer);
    const auto endBuffer = parseWholeNumber(fields_.endBuffer);
    const auto& duration = programme->durationMinutes;
    fields_.adjustedStart.clear();
    fields_.adjustedEnd.clear();
    if (programme->localStart) {
        // Real minutes from the real start: across a change of the clocks
        // the times shown are those the recording keeps.
        const Instant start = toInstant(*programme->localStart);
        if (startBuffer)
            fields_.adjustedStart = toLocalDateTime(start - std::chrono::minutes(*startBuffer)).formatDateTime();
        if (endBuffer && duration)
            fields_.adjustedEnd =
                toLocalDateTime(start + std::chrono::minutes(*endBuffer + *duration)).formatDateTime();
    }

    // Entry 0 stands for the default; a programme using the default shows
    // the default template's own name, so its own entry is the one selected.
    const std::string templateName = document_.templateOf(shownId_);
    const auto& names = templates();
    for (size_t i = 1; i < names.size(); ++i) {
        if (names[i] == templateName) {
            fields_.templateIndex = static_cast<int>(i);
            break;
        }
    }
    changed();
}

bool DetailPane::canCommit() const {
    return !committing_ && editable_ && shownRow_ != 0 && shownId_ != 0 &&
           listing_.idOfRow(shownRow_) == shownId_;
}

void DetailPane::commitBuffer(const Buffer& buffer) {
    if (!canCommit()) return;
    const std::string typed = fields_.*buffer.field;
    const std::string& own = document_.schedule().stored(shownId_)->*buffer.itemField;
    const std::string shown = own.empty() ? settings_.*buffer.setting : own;
    if (typed == shown) return;
    Busy busy(committing_);

    // A buffer that is not a whole number would break the adjusted times and
    // the choice of the next programme.
    if (!typed.empty() && !isBufferValue(typed)) {
        messages_.show(translate("DetailPane", "Invalid Buffer"), translate("DetailPane", buffer.invalidText),
                       MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
        fields_.*buffer.field = shown;
        changed();
        return;
    }
    if (messages_.show(translate("DetailPane", kConfirmTitle), translate("DetailPane", buffer.question),
                       MessageBoxes::Icon::None, MessageBoxes::Buttons::OkCancel) != MessageBoxes::Answer::Ok) {
        fields_.*buffer.field = shown;
        changed();
        return;
    }
    ScheduleEditor(document_, next_)
        .edit(shownId_, [&](ScheduleItem& item) { item.*buffer.itemField = typed; },
              ScheduleEditor::Timing::MayChange);
    if (!typed.empty()) {
        Show_Item_Details();
    } else {
        // The default's value is shown; the adjusted times wait for the
        // next selection of the row.
        fields_.*buffer.field = settings_.*buffer.setting;
    }
    changed();
}

void DetailPane::Detail_StartBuffer_LostFocus() {
    commitBuffer({&DetailFields::startBuffer, &ScheduleItem::StartBuffer, &LiveSettings::StartBuffer,
                  KELBO_TRANSLATE_NOOP("DetailPane", "Are you sure you want to change the StartBuffer?"),
                  KELBO_TRANSLATE_NOOP("DetailPane",
                                       "The start buffer must be a whole number of minutes from 0 to 32767.")});
}

void DetailPane::Detail_EndBuffer_LostFocus() {
    commitBuffer({&DetailFields::endBuffer, &ScheduleItem::EndBuffer, &LiveSettings::EndBuffer,
                  KELBO_TRANSLATE_NOOP("DetailPane", "Are you sure you want to change the EndBuffer?"),
                  KELBO_TRANSLATE_NOOP("DetailPane",
                                       "The end buffer must be a whole number of minutes from 0 to 32767.")});
}

void DetailPane::Detail_FileName_LostFocus() {
    if (!canCommit()) return;
    const std::string typed = fields_.fileName;
    const std::string shown = document_.fileNameOf(shownId_);
    if (typed == shown) return;
    Busy busy(committing_);
    if (messages_.show(translate("DetailPane", kConfirmTitle),
                       translate("DetailPane", "Are you sure you want to change the Output FileName?"),
                       MessageBoxes::Icon::None,
                       MessageBoxes::Buttons::OkCancel) != MessageBoxes::Answer::Ok) {
        fields_.fileName = shown;
        changed();
        return;
    }
    // Left empty, the name comes from the pattern again.
    ScheduleEditor(document_, next_)
        .edit(shownId_, [&](ScheduleItem& item) { item.FileName = typed; }, ScheduleEditor::Timing::Kept);
    Show_Item_Details();
}

void DetailPane::Detail_Template_LostFocus() {
    if (!canCommit()) return;
    const int index = fields_.templateIndex;
    const auto& names = templates();
    if (index < 0 || index >= static_cast<int>(names.size())) return;
    const std::string chosen = names[static_cast<size_t>(index)];
    if (chosen == document_.templateOf(shownId_)) return;
    // Choosing the default for an item that already uses it changes nothing.
    if (index == 0 && document_.schedule().stored(shownId_)->Template.empty()) return;
    Busy busy(committing_);
    if (messages_.show(translate("DetailPane", kConfirmTitle),
                       translate("DetailPane", "Are you sure you want to change the Recording Template?"),
                       MessageBoxes::Icon::None,
                       MessageBoxes::Buttons::OkCancel) != MessageBoxes::Answer::Ok) {
        Show_Item_Details();
        return;
    }
    ScheduleEditor(document_, next_)
        .edit(shownId_, [&](ScheduleItem& item) { item.Template = index == 0 ? std::string() : chosen; },
              ScheduleEditor::Timing::Kept);
    Show_Item_Details();
}

void DetailPane::Detail_StartBuffer_KeyPress(int keyAscii) {
    if (keyAscii == kEnter) Detail_StartBuffer_LostFocus();
}

void DetailPane::Detail_EndBuffer_KeyPress(int keyAscii) {
    if (keyAscii == kEnter) Detail_EndBuffer_LostFocus();
}

void DetailPane::Detail_FileName_KeyPress(int keyAscii) {
    if (keyAscii == kEnter) Detail_FileName_LostFocus();
}

void DetailPane::forgetShownRow() {
    if (shownRow_ == 0 && !editable_) return;
    shownRow_ = 0;
    shownId_ = 0;
    editable_ = false;
    changed();
}

void DetailPane::listReset() { forgetShownRow(); }

void DetailPane::rowInserted(int row) {
    if (shownRow_ != 0 && row <= shownRow_) ++shownRow_;
}

void DetailPane::rowRemoved(int row) {
    if (row < shownRow_) --shownRow_;
    else if (row == shownRow_) forgetShownRow();
}

}  // namespace kelbo
