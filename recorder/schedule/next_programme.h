#pragma once

#include "clash_finder.h"
#include "programme.h"
#include "row_timing.h"
#include "common/clock.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelbo {

class NextProgramme;
class ScheduleDocument;

// Told when the choice of the next programme has been made or moved, so
// that what shows it (the windows' list) draws it.
class NextProgrammeObserver {
public:
    virtual ~NextProgrammeObserver() = default;
    // After each choice, and after the clashes were found again with the
    // choice kept.
    virtual void nextChosen(const NextProgramme& /*next*/) {}
    // The choice moved by hand from `previous` (take, clear).
    virtual void nextMoved(const NextProgramme& /*next*/, ProgrammeId /*previous*/) {}
};

// Which programme a tuner records next. Tuner 1 takes the first, in start
// order, whose buffered end is still ahead; every other tuner only one that
// is due now (its buffered start passed, or about to: see setLookAhead). A tuner passes over the
// programmes the others have taken. The buffered start and end are kept as
// real instants; NextStart 0 means nothing to record. The choice is kept
// by id, so it follows the programme wherever the start order puts it.
class NextProgramme {
public:
    enum class Choice { FirstToCome, DueNow };
    NextProgramme(ScheduleDocument& document, const Clock& clock, Choice choice = Choice::FirstToCome);
    NextProgramme(const NextProgramme&) = delete;
    NextProgramme& operator=(const NextProgramme&) = delete;

    void Find_Next_Schedule();
    // Programmes another tuner has taken, passed over by every choice.
    void setTakenElsewhere(std::function<bool(ProgrammeId)> taken) { takenElsewhere_ = std::move(taken); }
    // A tuner that takes programmes due now takes one due within `lead`
    // too, so that its source can be opened before the programme starts.
    void setLookAhead(std::chrono::milliseconds lead) { lookAhead_ = lead; }
    // How many programmes can record at once, for the clashes; the Tuners
    // setting unless told otherwise.
    void setTunerCount(std::function<int()> count) { tunerCount_ = std::move(count); }
    // Another tuner's choice finds no clashes of its own: it follows those
    // of tuner 1's.
    void followClashesOf(const NextProgramme& leader) { leader_ = &leader; }
    // Told as every choice begins, so that what showed the last one can go
    // back to its idle texts.
    void setChoosingListener(std::function<void()> listener) { choosing_ = std::move(listener); }
    // Observers are told in the order they were added.
    void addObserver(NextProgrammeObserver* observer) { observers_.push_back(observer); }
    void removeObserver(NextProgrammeObserver* observer);
    // The clashes found again while the choice stays (a programme added
    // during a recording, which keeps its programme).
    void findClashesKeepingChoice();

    ProgrammeId id() const { return id_; }
    Instant bufferedStart() const { return bufferedStart_; }
    Instant bufferedEnd() const { return bufferedEnd_; }
    // The same on the local wall clock, for texts; 0 when nothing is chosen.
    DateTime NextStart() const;
    DateTime NextEnd() const;
    // A programme is chosen and still listed.
    bool any() const;
    // The clashes the last choice found.
    const Clashes& clashes() const { return clashes_; }

    // Makes `id` the next programme whatever its times (a recording stopped
    // by hand moves on to the following programme).
    void take(ProgrammeId id);
    void clear();
    // The recording of `stopped` was stopped by hand: tuner 1 takes the
    // programme after it in start order whatever its times (none taken
    // elsewhere or stopped itself), another tuner chooses again.
    void moveOnFrom(ProgrammeId stopped);

    // The chosen programme has been recorded up to its real end although
    // the clock, set back meanwhile, says it is still on: it is not chosen
    // again.
    void recordedToItsEnd();

private:
    struct Candidate {
        ProgrammeId id = 0;
        RowTimes times;
    };
    std::optional<Candidate> pick(bool dueOnly) const;
    void choose(ProgrammeId id, const RowTimes& times);
    bool takenElsewhere(ProgrammeId id) const { return takenElsewhere_ && takenElsewhere_(id); }
    bool leftWithoutTuner(ProgrammeId id) const;
    int tuners() const;
    void chooseDueNow();
    bool isRecordedToItsEnd(ProgrammeId id) const;

    ScheduleDocument& document_;
    const Clock& clock_;
    Choice choice_;
    std::function<bool(ProgrammeId)> takenElsewhere_;
    std::function<int()> tunerCount_;
    std::chrono::milliseconds lookAhead_{0};
    const NextProgramme* leader_ = nullptr;
    std::function<void()> choosing_;
    std::vector<NextProgrammeObserver*> observers_;
    bool chosen_ = false;
    Instant bufferedStart_;
    Instant bufferedEnd_;
    ProgrammeId id_ = 0;
    Clashes clashes_;
    // Date, time and channel number of the programme recordedToItsEnd()
    // named, the key by which the schedule tells programmes apart.
    std::string finishedKey_;
};

}  // namespace kelbo
