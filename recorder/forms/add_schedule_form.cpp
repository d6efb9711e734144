#include "add_schedule_form.h"

#include "recorder/schedule/schedule_editor.h"

#include "recorder/schedule/clash_finder.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "common/clock.h"
#include "common/schedule_format.h"
#include "common/text_util.h"
#include "recorder/device/capture_device.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kelbo {

namespace {

constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;

// Ascending, ignoring case as the desktop's sorted lists do; entries that
// differ only in case keep a fixed order.
bool sortsBefore(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char ch) { return std::tolower(ch); };
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](char x, char y) { return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y)); });
    if (less) return true;
    return equalsIgnoreCase(a, b) && a < b;
}

// Characters, not bytes: a name of one accented letter is still one character.
size_t characterCount(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char ch) {
        return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    }));
}

std::string twoDigits(long long value) { return zeroPad(value, 2); }

bool isWholeMinutes(const std::string& text) {
    const auto number = parseNumber(text);
    return number && *number > 0 && *number < 1e9 && std::floor(*number) == *number;
}

}  // namespace

void ChoiceList::type(const std::string& typed) {
    text = typed;
    const auto it = std::find(items.begin(), items.end(), typed);
    selected = it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void ChoiceList::pick(int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) return clearChoice();
    selected = index;
    text = items[static_cast<size_t>(index)];
}

void ChoiceList::clearChoice() {
    selected = -1;
    text.clear();
}

int ChoiceList::insertSorted(const std::string& entry) {
    const auto at = std::upper_bound(items.begin(), items.end(), entry, sortsBefore);
    const int position = static_cast<int>(at - items.begin());
    items.insert(at, entry);
    return position;
}

AddScheduleForm::AddScheduleForm(AddScheduleContext context) : c_(context) {
    const DateTime::Civil now = c_.clock.localNow().civil();
    hours = twoDigits(now.hour);
    minutes = twoDigits(now.minute);
    fillChannels();
    fillTemplates();
    date = Date{now.day, now.month, now.year};
    programme = "-Kelbo Recording-";
    duration = "60";
}

void AddScheduleForm::fillChannels() {
    const Schedule& schedule = c_.document.schedule();
    for (const ProgrammeId id : schedule.inStartOrder()) {
        const ScheduleItem& listed = *schedule.stored(id);
        const std::string& name = listed.ChannelName;
        if (std::find(channels.items.begin(), channels.items.end(), name) != channels.items.end())
            continue;
        const int position = channels.insertSorted(name);
        Chno.items.insert(Chno.items.begin() + position, listed.ChannelNumber);
    }
    // A row on no channel has already listed "-NA-"; it is listed once.
    const auto listed = std::find(channels.items.begin(), channels.items.end(), kNoChannelName);
    int position = static_cast<int>(listed - channels.items.begin());
    if (listed == channels.items.end()) {
        position = channels.insertSorted(kNoChannelName);
        Chno.items.insert(Chno.items.begin() + position, kNoChannelNumber);
    }
    channels.pick(position);
    Chno.pick(position);
}

void AddScheduleForm::fillTemplates() {
    templateList.items = c_.settings.templates;
    templateList.items.push_back(kDefaultTemplate);
    templateList.pick(static_cast<int>(templateList.items.size()) - 1);
}

void AddScheduleForm::enterTimeField(TimeField field) { owner_ = field; }

std::string AddScheduleForm::correctedTimeText(const std::string& text, int maximum,
                                               int current) const {
    const auto number = parseNumber(text);
    if (!number) return twoDigits(current);
    const double whole = roundHalfEven(*number);
    if (whole > maximum) return twoDigits(maximum);
    if (whole < 0) return "00";
    // Always the whole number in two digits, so that "7.4" cannot end up
    // in the schedule as a time.
    return twoDigits(static_cast<long long>(whole));
}

void AddScheduleForm::hours_LostFocus() {
    hours = correctedTimeText(hours, kLastHour, c_.clock.localNow().civil().hour);
    owner_ = TimeField::None;
}

void AddScheduleForm::minutes_LostFocus() {
    minutes = correctedTimeText(minutes, kLastMinute, c_.clock.localNow().civil().minute);
    owner_ = TimeField::None;
}

AddScheduleForm::Control AddScheduleForm::VScroll1_Change(int position) {
    position = std::clamp(position, kSpinnerMinimum, kSpinnerMaximum);
    // A larger position is the lower arrow.
    const bool down = position > lastSpinnerPosition_;
    spinnerPosition_ = position;
    // The position is remembered even with no owner, so that the next press
    // after one on no field still steps the way its arrow points.
    lastSpinnerPosition_ = position;
    if (owner_ == TimeField::None) return Control::None;

    const bool onHours = owner_ == TimeField::Hours;
    std::string& text = onHours ? hours : minutes;
    const int maximum = onHours ? kLastHour : kLastMinute;
    // Text typed but not yet corrected is taken into range first.
    long long value = std::clamp<long long>(parseWholeNumber(text).value_or(0), 0, maximum);
    if (down) value = value == 0 ? maximum : value - 1;
    else value = value == maximum ? 0 : value + 1;
    text = twoDigits(value);
    return onHours ? Control::hours : Control::minutes;
}

namespace {
// Leaving one of the parallel lists: a listed entry brings its partner; a
// new text (a channel the schedule does not hold yet) keeps what the other
// box says, except a listed partner, which no longer belongs to it and
// gives way to the "not relevant" entry.
void pairUp(const ChoiceList& left, ChoiceList& other, const std::string& notRelevant) {
    if (left.selected >= 0) return other.pick(left.selected);
    if (other.selected < 0 || other.text == notRelevant) return;
    const auto it = std::find(other.items.begin(), other.items.end(), notRelevant);
    if (it != other.items.end()) other.pick(static_cast<int>(it - other.items.begin()));
    else other.text = notRelevant;
}
}  // namespace

void AddScheduleForm::channels_LostFocus() { pairUp(channels, Chno, kNoChannelNumber); }

void AddScheduleForm::Chno_LostFocus() { pairUp(Chno, channels, kNoChannelName); }

ScheduleItem AddScheduleForm::item() const {
    ScheduleItem item;
    item.ProgrammeName = programme;
    item.StartTime = hours + ":" + minutes;
    item.StartDate = twoDigits(date.day) + "-" + twoDigits(date.month) + "-" + zeroPad(date.year, 4);
    item.ChannelName = channels.text;
    item.Duration = duration;
    if (templateList.selected >= 0 && templateList.text != kDefaultTemplate)
        item.Template = templateList.text;
    item.IndexString = buildIndexString(item);
    item.ChannelNumber = Chno.text;
    return item;
}

AddScheduleForm::AddResult AddScheduleForm::Add_Click() {
    struct Check {
        bool failed;
        const char* message;
        Control focus;
    };
    const Check checks[] = {
        {duration.empty(), KELBO_TRANSLATE_NOOP("AddScheduleForm", "Must enter a program duration"), Control::duration},
        {channels.text.empty(), KELBO_TRANSLATE_NOOP("AddScheduleForm", "Must select a ChannelName"),
         Control::channels},
        {Chno.text.empty(), KELBO_TRANSLATE_NOOP("AddScheduleForm", "Must select a ChannelNumber"), Control::Chno},
        {characterCount(programme) < 2,
         KELBO_TRANSLATE_NOOP("AddScheduleForm", "Must enter a program name at least 2 chars"), Control::programme},
        {templateList.selected < 0, KELBO_TRANSLATE_NOOP("AddScheduleForm", "Must select a valid template"),
         Control::templateList},
        // A duration that is not a number would list the item but never
        // record it, and the next load of the file would drop it.
        {!isWholeMinutes(duration), kDurationNotANumber, Control::duration},
        // The same for a channel number such as "BBC2": listed now, dropped
        // by the next load without a word.
        {!readsAsChannelNumber(Chno.text), kChannelNumberNotANumber, Control::Chno},
    };
    for (const Check& check : checks) {
        if (!check.failed) continue;
        c_.boxes.show(translate("AddScheduleForm", kIncompleteTitle), translate("AddScheduleForm", check.message),
                      MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
        return AddResult{false, check.focus};
    }

    const bool recording = c_.device.ReadyState() == CaptureDevice::Recording;
    if (!ScheduleEditor(c_.document, c_.next).add(item(), recording)) {
        // Nothing is lost: the dialog stays open with the entries.
        c_.boxes.show(translate("AddScheduleForm", "Schedule Full"),
                      fillIn(translate("AddScheduleForm",
                                       "The schedule holds %1 items, the most it can. Delete items that have "
                                       "been recorded, then add this one again."),
                             {std::to_string(ScheduleTable::kSlots)}),
                      MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
        return AddResult{};
    }
    return AddResult{true, Control::None};
}

}  // namespace kelbo
