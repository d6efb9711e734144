#include "next_programme.h"

#include "clash_finder.h"
#include "row_timing.h"
#include "recorder/ports/translation.h"
#include "recorder/ports/ui_ports.h"

namespace kelbo {

namespace {
const char kNothingToRecord[] = KELBO_TRANSLATE_NOOP("StatusPanel", "NO PROGRAMS TO RECORD");
const char kStopped[] = "Stopped";

// The list tells programmes apart by date, time and channel number.
std::string programmeKey(const ScheduleList& list, int row) {
    return list.cell(row, Column::Date) + '\0' + list.cell(row, Column::Time) + '\0' +
           list.cell(row, Column::ChannelNumber);
}
}  // namespace

NextProgramme::NextProgramme(ScheduleList& list, StatusBarPort& bar, const Clock& clock)
    : list_(list), bar_(bar), clock_(clock) {
    list_.addObserver(this);
}

NextProgramme::~NextProgramme() { list_.removeObserver(this); }

void NextProgramme::Find_Next_Schedule() {
    bar_.setPanelText(panel::kProgramme, kNothingToRecord);
    bar_.setPanelVisible(panel::kCounter, false);
    bar_.setPanelVisible(panel::kSplit, false);
    chosen_ = false;

    const Instant now = clock_.now();
    FindClash(list_, now);
    for (int row = 1; row <= list_.rowCount(); ++row) {
        // A programme the user stopped by hand is not taken up again while
        // the list still shows it as stopped.
        if (list_.cell(row, Column::Status) == kStopped) continue;
        if (isRecordedToItsEnd(row)) continue;
        const auto times = rowTimes(list_, row);
        if (!times || !(times->bufferedEnd > now)) continue;
        choose(row, *times);
        list_.Set_Row_Colour(row, colour::kRed);
        break;
    }
    if (!chosen_) nextRow_ = 0;
    list_.refresh();
}

void NextProgramme::choose(int row, const RowTimes& times) {
    chosen_ = true;
    bufferedStart_ = times.bufferedStart;
    bufferedEnd_ = times.bufferedEnd;
    nextRow_ = row;
}

DateTime NextProgramme::NextStart() const {
    return chosen_ ? toLocalDateTime(bufferedStart_) : DateTime();
}

DateTime NextProgramme::NextEnd() const {
    return chosen_ ? toLocalDateTime(bufferedEnd_) : DateTime();
}

void NextProgramme::take(int row) {
    nextRow_ = row;
    chosen_ = false;
    if (const auto times = rowTimes(list_, row)) choose(row, *times);
}

void NextProgramme::clear() {
    nextRow_ = 0;
    chosen_ = false;
}

void NextProgramme::recordedToItsEnd() {
    if (nextRow_ >= 1 && nextRow_ <= list_.rowCount()) finishedKey_ = programmeKey(list_, nextRow_);
}

bool NextProgramme::isRecordedToItsEnd(int row) const {
    return !finishedKey_.empty() && programmeKey(list_, row) == finishedKey_;
}

void NextProgramme::rowInserted(int row) {
    if (nextRow_ != 0 && row <= nextRow_) ++nextRow_;
}

void NextProgramme::rowRemoved(int row) {
    if (row < nextRow_) --nextRow_;
    else if (row == nextRow_) nextRow_ = 0;
}

}  // namespace kelbo
