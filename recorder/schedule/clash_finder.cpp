#include "clash_finder.h"

#include "row_timing.h"
#include "schedule_list.h"

#include <set>
#include <string>
#include <vector>

namespace kelbo {

namespace {

const char kTagPrefix[] = "Clash with: ";

// Every duplicate (same date, time and channel number as an earlier row)
// goes before any pair is compared, so the row that stays never names its
// own duplicate as a clash. Rows sharing a start need not be next to each
// other, so all earlier rows count, not just the one above.
void dropDuplicates(ScheduleList& list) {
    std::set<std::string> seen;
    for (int row = 1; row <= list.rowCount();) {
        std::string key = list.cell(row, Column::Date);
        key.append(1, '\0').append(list.cell(row, Column::Time));
        key.append(1, '\0').append(list.cell(row, Column::ChannelNumber));
        if (seen.insert(std::move(key)).second) ++row;
        else list.removeRow(row);
    }
}

void nameIn(ScheduleList& list, int row, int partner) {
    const std::string name = list.cell(partner, Column::Programme) + " on " +
                             list.cell(partner, Column::Channel);
    const std::string& tag = list.tag(row);
    if (tag.find(name) == std::string::npos) list.setTag(row, tag + name + " AND ");
}

void markPair(ScheduleList& list, int i, int j) {
    list.Set_Row_Colour(j, colour::kBlue);
    list.Set_Row_Colour(i, colour::kBlue);
    nameIn(list, i, j);
    nameIn(list, j, i);
}

}  // namespace

void FindClash(ScheduleList& list, Instant now) {
    for (int row = 1; row <= list.rowCount(); ++row) {
        list.setTag(row, kTagPrefix);
        list.Set_Row_Colour(row, colour::kBlack);
    }
    dropDuplicates(list);

    // Times are read once per call; rows whose texts do not read as times
    // take part in no clash.
    const int rows = list.rowCount();
    std::vector<std::optional<RowTimes>> times(static_cast<size_t>(rows) + 1);
    for (int row = 1; row <= rows; ++row) times[static_cast<size_t>(row)] = rowTimes(list, row);
    const auto at = [&times](int row) -> const std::optional<RowTimes>& {
        return times[static_cast<size_t>(row)];
    };

    // Row i's buffered start lies within row j's recording time, and row j
    // has not finished.
    for (int i = 1; i <= rows; ++i) {
        if (!at(i)) continue;
        for (int j = 1; j <= rows; ++j) {
            if (j == i || !at(j)) continue;
            const RowTimes& a = *at(i);
            const RowTimes& b = *at(j);
            if (a.bufferedStart < b.bufferedEnd && a.bufferedStart >= b.bufferedStart &&
                b.bufferedEnd > now)
                markPair(list, i, j);
        }
    }
    // Row i has not finished and its buffered end lies after row j's
    // (unbuffered) start and no later than row j's buffered end.
    for (int i = 1; i <= rows; ++i) {
        if (!at(i) || !(at(i)->bufferedEnd > now)) continue;
        for (int j = 1; j <= rows; ++j) {
            if (j == i || !at(j)) continue;
            const RowTimes& a = *at(i);
            const RowTimes& b = *at(j);
            if (a.bufferedEnd > b.start && a.bufferedEnd <= b.bufferedEnd) markPair(list, i, j);
        }
    }
    list.refresh();
}

}  // namespace kelbo
