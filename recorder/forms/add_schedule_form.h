#pragma once

#include "common/schedule_item.h"
#include "recorder/ports/translation.h"

#include <string>
#include <vector>

namespace kelbo {

class CaptureDevice;
class Clock;
class MessageBoxes;
class NextProgramme;
class ScheduleDocument;
struct LiveSettings;

// What adding a programme by hand reads and changes.
struct AddScheduleContext {
    ScheduleDocument& document;
    NextProgramme& next;
    const CaptureDevice& device;
    const Clock& clock;
    const LiveSettings& settings;
    MessageBoxes& boxes;
};

// An editable drop-down list: its entries, the entry picked (-1 for none)
// and the text in its edit box.
struct ChoiceList {
    std::vector<std::string> items;
    int selected = -1;
    std::string text;

    // The user typed: text equal to an entry counts as picking it.
    void type(const std::string& typed);
    void pick(int index);
    void clearChoice();
    // Inserts keeping the entries in ascending order; returns the position.
    int insertSorted(const std::string& entry);
};

// The state and behaviour of the dialog that adds one programme by hand.
// The dialog's widgets show these fields and forward the user's actions.
class AddScheduleForm {
public:
    // The dialog's controls, named as their widgets; `templateList` is the
    // widget "template".
    enum class Control {
        None, DTPicker1, hours, minutes, VScroll1, duration, channels, Chno, programme,
        templateList, Add, Cancel,
    };
    // The time field the spinner steps.
    enum class TimeField { None = 0, Hours = 1, Minutes = 2 };

    struct Date {
        int day = 1, month = 1, year = 2000;
    };

    struct AddResult {
        bool stored = false;
        Control focus = Control::None;  // where the input focus goes when refused
    };

    static constexpr int kSpinnerMinimum = -1000;
    static constexpr int kSpinnerMaximum = 1000;
    static constexpr const char* kDefaultTemplate = "DEFAULT Template";
    static constexpr const char* kNoChannelName = "-NA-";
    static constexpr const char* kNoChannelNumber = kelbo::kNoChannelNumber;
    static constexpr const char* kIncompleteTitle = KELBO_TRANSLATE_NOOP("AddScheduleForm", "Incomplete Data");
    static constexpr const char* kDurationNotANumber =
        KELBO_TRANSLATE_NOOP("AddScheduleForm", "The duration must be a whole number of minutes");
    static constexpr const char* kChannelNumberNotANumber =
        KELBO_TRANSLATE_NOOP("AddScheduleForm", "The channel number must be a number (or N/A)");

    // Builds the contents from the clock, the schedule list and the
    // default template list.
    explicit AddScheduleForm(AddScheduleContext context);

    // The controls' contents; the dialog writes what the user types.
    Date date;
    std::string hours;
    std::string minutes;
    std::string duration;
    std::string programme;
    ChoiceList channels;
    ChoiceList Chno;
    ChoiceList templateList;

    int spinnerPosition() const { return spinnerPosition_; }
    int lastSpinnerPosition() const { return lastSpinnerPosition_; }
    TimeField spinnerOwner() const { return owner_; }

    void enterTimeField(TimeField field);
    // Leaving a time field puts its text right and ends its hold on the spinner.
    void hours_LostFocus();
    void minutes_LostFocus();
    // The spinner moved to `position`; steps the owning field and returns
    // the control that should have the input focus (None: leave it).
    Control VScroll1_Change(int position);
    // Leaving one channel list selects the matching entry of the other; a
    // channel typed anew keeps the other box's own text.
    void channels_LostFocus();
    void Chno_LostFocus();

    // Checks the entries and, when they are complete, stores the item,
    // refreshes the list and the next programme, and rewrites the file.
    AddResult Add_Click();

    // The item the form would store, from the current entries.
    ScheduleItem item() const;

private:
    void fillChannels();
    void fillTemplates();
    std::string correctedTimeText(const std::string& text, int maximum, int current) const;

    AddScheduleContext c_;
    int spinnerPosition_ = 0;
    int lastSpinnerPosition_ = 0;
    TimeField owner_ = TimeField::None;
};

}  // namespace kelbo
