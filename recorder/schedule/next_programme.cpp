#include "next_programme.h"

#include "schedule_document.h"
#include "common/iso_time.h"
#include "recorder/ports/log.h"

#include <string>

namespace kelbo {

namespace {
// The schedule tells programmes apart by date, time and channel number.
std::string finishKey(const ScheduleItem& item) {
    return item.StartDate + '\0' + item.StartTime + '\0' + item.ChannelNumber;
}
}  // namespace

NextProgramme::NextProgramme(ScheduleDocument& document, const Clock& clock, Choice choice)
    : document_(document), clock_(clock), choice_(choice) {}

int NextProgramme::tuners() const {
    if (leader_) return leader_->tuners();
    return tunerCount_ ? tunerCount_() : document_.settings().Tuners;
}

void NextProgramme::Find_Next_Schedule() {
    if (choice_ == Choice::DueNow) {
        chooseDueNow();
        return;
    }
    if (choosing_) choosing_();
    chosen_ = false;

    clashes_ = findClashes(document_.schedule(), clock_.now(), tuners());
    if (const auto found = pick(false)) choose(found->id, found->times);
    if (!chosen_) id_ = 0;
    for (NextProgrammeObserver* o : observers_) o->nextChosen(*this);
}

bool NextProgramme::leftWithoutTuner(ProgrammeId id) const {
    return !(leader_ ? leader_->clashes_ : clashes_).with(id).empty();
}

// In start order, passing over what is stopped, finished or taken by
// another tuner. With several tuners a blue programme (one the clashes leave
// without a tuner) is taken only when it ends before the next programme
// that is not blue begins, so that it never keeps a tuner from that one.
std::optional<NextProgramme::Candidate> NextProgramme::pick(bool dueOnly) const {
    const Instant now = clock_.now();
    const Schedule& schedule = document_.schedule();
    const bool several = tuners() > 1;
    std::optional<Candidate> blue;
    bool blueBlocked = false;
    for (const ProgrammeId id : schedule.inStartOrder()) {
        // A programme the user stopped by hand is not taken up again while
        // it is kept as stopped.
        if (schedule.statusOf(id) == ProgrammeStatus::Stopped || isRecordedToItsEnd(id)) continue;
        const auto times = schedule.timesOf(id);
        if (!times || !(times->bufferedEnd > now)) continue;
        const bool due = times->bufferedStart < now + lookAhead_;
        const bool takeable = !takenElsewhere(id) && (due || !dueOnly);
        if (!several) {
            if (takeable) return Candidate{id, *times};
            continue;
        }
        if (leftWithoutTuner(id)) {
            if (!blue && !blueBlocked && takeable) blue = Candidate{id, *times};
            continue;
        }
        if (blue && blue->times.bufferedEnd <= times->bufferedStart) return blue;
        blueBlocked = blueBlocked || blue.has_value();
        blue.reset();
        if (takeable) return Candidate{id, *times};
        // Later programmes start later still: none of them is due either.
        if (dueOnly && !due) return std::nullopt;
    }
    return blue;
}

// Run at every tick of an idle tuner: cheap, without the clashes, and
// telling the observers only of a new choice.
void NextProgramme::chooseDueNow() {
    const ProgrammeId previous = any() ? id_ : 0;
    chosen_ = false;
    if (const auto found = pick(true)) choose(found->id, found->times);
    if (!chosen_) id_ = 0;
    if (id_ == previous) return;
    for (NextProgrammeObserver* o : observers_) o->nextMoved(*this, previous);
}

void NextProgramme::moveOnFrom(ProgrammeId stopped) {
    if (choice_ == Choice::DueNow) {
        chooseDueNow();
        return;
    }
    const std::vector<ProgrammeId>& order = document_.schedule().inStartOrder();
    const int at = document_.schedule().position(stopped);
    for (std::size_t i = at < 0 ? order.size() : static_cast<std::size_t>(at) + 1; i < order.size(); ++i) {
        if (takenElsewhere(order[i]) || document_.schedule().statusOf(order[i]) == ProgrammeStatus::Stopped) continue;
        take(order[i]);
        return;
    }
    clear();
}

void NextProgramme::findClashesKeepingChoice() {
    clashes_ = findClashes(document_.schedule(), clock_.now(), tuners());
    for (NextProgrammeObserver* o : observers_) o->nextChosen(*this);
}

void NextProgramme::removeObserver(NextProgrammeObserver* observer) { std::erase(observers_, observer); }

bool NextProgramme::any() const { return chosen_ && document_.schedule().position(id_) >= 0; }

void NextProgramme::choose(ProgrammeId id, const RowTimes& times) {
    if (id != id_ && log::debugging(log::Area::Schedule))
        log::debug(log::Area::Schedule, "Next programme: id " + std::to_string(id) + ", from " +
                                            isoLocalTime(times.bufferedStart) + " to " + isoLocalTime(times.bufferedEnd));
    chosen_ = true;
    bufferedStart_ = times.bufferedStart;
    bufferedEnd_ = times.bufferedEnd;
    id_ = id;
}

DateTime NextProgramme::NextStart() const {
    return chosen_ ? toLocalDateTime(bufferedStart_) : DateTime();
}

DateTime NextProgramme::NextEnd() const {
    return chosen_ ? toLocalDateTime(bufferedEnd_) : DateTime();
}

void NextProgramme::take(ProgrammeId id) {
    const ProgrammeId previous = id_;
    id_ = id;
    chosen_ = false;
    if (const auto times = document_.schedule().timesOf(id_)) choose(id_, *times);
    for (NextProgrammeObserver* o : observers_) o->nextMoved(*this, previous);
}

void NextProgramme::clear() {
    const ProgrammeId previous = id_;
    id_ = 0;
    chosen_ = false;
    for (NextProgrammeObserver* o : observers_) o->nextMoved(*this, previous);
}

void NextProgramme::recordedToItsEnd() {
    if (const ScheduleItem* item = document_.schedule().stored(id_); item && document_.schedule().position(id_) >= 0)
        finishedKey_ = finishKey(*item);
}

bool NextProgramme::isRecordedToItsEnd(ProgrammeId id) const {
    return !finishedKey_.empty() && finishKey(*document_.schedule().stored(id)) == finishedKey_;
}

}  // namespace kelbo
