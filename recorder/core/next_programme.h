#pragma once

#include "schedule_list.h"
#include "common/clock.h"

namespace kelbo {

class StatusBarPort;

// Which programme the recorder records next: the first row, in list order,
// whose buffered end is still ahead. NextStart and NextEnd are its buffered
// start and end; NextStart 0 means nothing to record. NextRow follows its
// row when rows are added or removed above it.
class NextProgramme : public ScheduleListObserver {
public:
    NextProgramme(ScheduleList& list, StatusBarPort& bar, const Clock& clock);
    ~NextProgramme() override;
    NextProgramme(const NextProgramme&) = delete;
    NextProgramme& operator=(const NextProgramme&) = delete;

    void Find_Next_Schedule();

    DateTime NextStart() const { return nextStart_; }
    DateTime NextEnd() const { return nextEnd_; }
    int NextRow() const { return nextRow_; }
    bool any() const { return !nextStart_.isZero() && nextRow_ != 0; }

    // Makes `row` the next programme whatever its times (a recording
    // stopped by hand moves on to the following row).
    void take(int row);
    void clear();

    void rowInserted(int row) override;
    void rowRemoved(int row) override;

private:
    ScheduleList& list_;
    StatusBarPort& bar_;
    const Clock& clock_;
    DateTime nextStart_;
    DateTime nextEnd_;
    int nextRow_ = 0;
};

}  // namespace kelbo
