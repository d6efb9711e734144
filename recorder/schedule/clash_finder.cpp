#include "clash_finder.h"

#include "row_timing.h"
#include "schedule_list.h"

#include <set>
#include <string>
#include <unordered_map>
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

// Each row's partners in the order their pairs were found, each once.
class Partners {
public:
    explicit Partners(int rows)
        : stride_(static_cast<size_t>(rows) + 1), known_(stride_ * stride_), order_(stride_) {}

    void markPair(int i, int j) {
        add(i, j);
        add(j, i);
    }
    const std::vector<int>& of(int row) const { return order_[static_cast<size_t>(row)]; }

private:
    void add(int row, int partner) {
        const size_t r = static_cast<size_t>(row);
        char& known = known_[r * stride_ + static_cast<size_t>(partner)];
        if (known) return;
        known = 1;
        order_[r].push_back(partner);
    }

    size_t stride_;
    std::vector<char> known_;  // row x partner
    std::vector<std::vector<int>> order_;
};

// The tag names every partner once, by programme and channel, in the order
// the pairs were found; two partners with the same name are named once.
void writeTags(ScheduleList& list, const Partners& partners) {
    const size_t rows = static_cast<size_t>(list.rowCount());
    // Rows with the same name share a number, so naming one twice is
    // noticed without comparing texts.
    std::vector<std::string> names;
    std::vector<size_t> nameOf(rows + 1);
    std::unordered_map<std::string, size_t> numbers;
    for (size_t row = 1; row <= rows; ++row) {
        const int r = static_cast<int>(row);
        std::string name = list.cell(r, Column::Programme) + " on " + list.cell(r, Column::Channel);
        const auto [at, added] = numbers.try_emplace(std::move(name), names.size());
        if (added) names.push_back(at->first);
        nameOf[row] = at->second;
    }
    std::vector<size_t> namedIn(names.size(), 0);  // last row whose tag has the name
    for (size_t row = 1; row <= rows; ++row) {
        const std::vector<int>& others = partners.of(static_cast<int>(row));
        if (others.empty()) continue;
        std::vector<size_t> named;
        named.reserve(others.size());
        size_t length = sizeof kTagPrefix;
        for (int partner : others) {
            const size_t name = nameOf[static_cast<size_t>(partner)];
            if (namedIn[name] == row) continue;
            namedIn[name] = row;
            named.push_back(name);
            length += names[name].size() + 5;
        }
        std::string tag = kTagPrefix;
        tag.reserve(length);
        for (size_t name : named) tag.append(names[name]).append(" AND ");
        list.setTag(static_cast<int>(row), std::move(tag));
        list.Set_Row_Colour(static_cast<int>(row), colour::kBlue);
    }
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
    Partners partners(rows);

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
                partners.markPair(i, j);
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
            if (a.bufferedEnd > b.start && a.bufferedEnd <= b.bufferedEnd) partners.markPair(i, j);
        }
    }
    writeTags(list, partners);
    list.refresh();
}

}  // namespace kelbo
