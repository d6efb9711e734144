#include "next_programme.h"

#include "schedule_document.h"
#include "common/iso_time.h"
#include "recorder/ports/log.h"

#include <string>

namespace kelbo {

namespace {
// The list tells programmes apart by date, time and channel number.
std::string finishKey(const ScheduleItem& item) {
    return item.StartDate + '\0' + item.StartTime + '\0' + item.ChannelNumber;
}
}  // namespace

NextProgramme::NextProgramme(ScheduleDocument& document, const Clock& clock)
    : document_(document), clock_(clock) {}

void NextProgramme::Find_Next_Schedule() {
    if (choosing_) choosing_();
    chosen_ = false;

    const Instant now = clock_.now();
    Schedule& schedule = document_.schedule();
    ScheduleList& list = document_.list();
    clashes_ = findClashes(schedule, now, document_.settings().Tuners);
    showClashes(schedule, clashes_, list);
    for (const ProgrammeId id : schedule.inStartOrder()) {
        // A programme the user stopped by hand is not taken up again while
        // it is kept as stopped.
        if (schedule.statusOf(id) == ProgrammeStatus::Stopped) continue;
        if (isRecordedToItsEnd(id)) continue;
        const auto times = schedule.timesOf(id);
        if (!times || !(times->bufferedEnd > now)) continue;
        choose(id, *times);
        list.Set_Row_Colour(document_.rowOf(id), colour::kRed);
        break;
    }
    if (!chosen_) id_ = 0;
    list.refresh();
}

void NextProgramme::choose(ProgrammeId id, const RowTimes& times) {
    if (id != id_ && log::debugging(log::Area::Schedule))
        log::debug(log::Area::Schedule, "Next programme: id " + std::to_string(id) + ", from " +
                                            isoLocalTime(times.bufferedStart) + " to " + isoLocalTime(times.bufferedEnd));
    chosen_ = true;
    bufferedStart_ = times.bufferedStart;
    bufferedEnd_ = times.bufferedEnd;
    id_ = id;
}

int NextProgramme::NextRow() const { return document_.rowOf(id_); }

DateTime NextProgramme::NextStart() const {
    return chosen_ ? toLocalDateTime(bufferedStart_) : DateTime();
}

DateTime NextProgramme::NextEnd() const {
    return chosen_ ? toLocalDateTime(bufferedEnd_) : DateTime();
}

void NextProgramme::take(int row) {
    id_ = document_.idOfRow(row);
    chosen_ = false;
    if (const auto times = document_.schedule().timesOf(id_)) choose(id_, *times);
}

void NextProgramme::clear() {
    id_ = 0;
    chosen_ = false;
}

void NextProgramme::recordedToItsEnd() {
    if (const ScheduleItem* item = document_.schedule().stored(id_); item && NextRow() != 0)
        finishedKey_ = finishKey(*item);
}

bool NextProgramme::isRecordedToItsEnd(ProgrammeId id) const {
    return !finishedKey_.empty() && finishKey(*document_.schedule().stored(id)) == finishedKey_;
}

}  // namespace kelbo
