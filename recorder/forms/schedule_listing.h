#pragma once

#include "schedule_list.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule.h"

#include <string>
#include <vector>

namespace kelbo {

class ScheduleDocument;

// The schedule list drawn from the model: a row for each listed programme
// in start order, its cells from the record and the settings, and its tag
// and colour from the last choice of the next programme (its clashes in
// blue; the next programme, and those the other tuners have taken, in
// red). Rows follow every change of the schedule; nothing is read back
// from them.
class ScheduleListing : private ScheduleObserver, private NextProgrammeObserver {
public:
    ScheduleListing(ScheduleDocument& document, NextProgramme& next);
    ~ScheduleListing() override;
    ScheduleListing(const ScheduleListing&) = delete;
    ScheduleListing& operator=(const ScheduleListing&) = delete;

    ScheduleList& list() { return list_; }
    const ScheduleList& list() const { return list_; }
    ScheduleDocument& document() { return document_; }
    const ScheduleDocument& document() const { return document_; }
    NextProgramme& next() { return next_; }
    const NextProgramme& next() const { return next_; }
    const Schedule& schedule() const;

    // Lists every programme again from the table; `nextRow` (if not 0) is
    // coloured red as the last choice of the next programme.
    void Display_Schedule(int nextRow = 0);

    // The programme a row shows (rows count from 1); 0 if none.
    ProgrammeId idOfRow(int row) const;
    // The row that shows a programme; 0 if none.
    int rowOf(ProgrammeId id) const;
    // The table slot a row stands for; -1 if none.
    int slotOfRow(int row) const;
    // The row of the next programme; 0 for none.
    int NextRow() const { return rowOf(next_.id()); }

    // The programmes the other tuners have taken, coloured red as the next
    // programme is; a row they leave gets its own colour back.
    void showOtherTuners(std::vector<ProgrammeId> ids);
    bool takenByOtherTuner(ProgrammeId id) const;
    // The cells of a row for a table slot, in position order.
    std::vector<std::string> cellsFor(int slot) const;

private:
    void scheduleCleared() override;
    void programmeListed(ProgrammeId id, int position) override;
    void programmeUnlisted(ProgrammeId id, int position) override;
    void programmeChanged(ProgrammeId id, int position) override;
    void nextChosen(const NextProgramme& next) override;
    void nextMoved(const NextProgramme& next, ProgrammeId previous) override;
    void paintOtherTuners();
    // Blue when it clashes, black otherwise.
    int ownColour(ProgrammeId id) const;

    ScheduleDocument& document_;
    NextProgramme& next_;
    ScheduleList list_;
    std::vector<ProgrammeId> otherTuners_;
};

}  // namespace kelbo
