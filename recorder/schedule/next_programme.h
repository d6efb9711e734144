#pragma once

#include "row_timing.h"
#include "schedule_list.h"
#include "common/clock.h"

#include <string>

namespace kelbo {

class StatusBarPort;

// Which programme the recorder records next: the first row, in list order,
// whose buffered end is still ahead. Its buffered start and end are kept as
// real instants; NextStart 0 means nothing to record. NextRow follows its
// row when rows are added or removed above it.
class NextProgramme : public ScheduleListObserver {
public:
    NextProgramme(ScheduleList& list, StatusBarPort& bar, const Clock& clock);
    ~NextProgramme() override;
    NextProgramme(const NextProgramme&) = delete;
    NextProgramme& operator=(const NextProgramme&) = delete;

    void Find_Next_Schedule();

    Instant bufferedStart() const { return bufferedStart_; }
    Instant bufferedEnd() const { return bufferedEnd_; }
    // The same on the local wall clock, for texts; 0 when nothing is chosen.
    DateTime NextStart() const;
    DateTime NextEnd() const;
    int NextRow() const { return nextRow_; }
    bool any() const { return chosen_ && nextRow_ != 0; }

    // Makes `row` the next programme whatever its times (a recording
    // stopped by hand moves on to the following row).
    void take(int row);
    void clear();

    // The chosen programme has been recorded up to its real end although
    // the clock, set back meanwhile, says it is still on: it is not chosen
    // again.
    void recordedToItsEnd();

    void rowInserted(int row) override;
    void rowRemoved(int row) override;

private:
    void choose(int row, const RowTimes& times);
    bool isRecordedToItsEnd(int row) const;

    ScheduleList& list_;
    StatusBarPort& bar_;
    const Clock& clock_;
    bool chosen_ = false;
    Instant bufferedStart_;
    Instant bufferedEnd_;
    int nextRow_ = 0;
    // Date, time and channel number of the programme recordedToItsEnd()
    // named, the key by which the list tells programmes apart.
    std::string finishedKey_;
};

}  // namespace kelbo
