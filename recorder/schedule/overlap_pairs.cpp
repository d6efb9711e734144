#include "overlap_pairs.h"

namespace kelbo {

namespace {

// Each row's partners in the order their pairs were found, each once.
class Partners {
public:
    explicit Partners(int rows)
        : stride_(static_cast<size_t>(rows) + 1), known_(stride_ * stride_), order_(stride_) {}

    void markPair(int i, int j) {
        add(i, j);
        add(j, i);
    }
    std::vector<std::vector<int>> take() { return std::move(order_); }

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

}  // namespace

std::vector<std::vector<int>> overlapPartners(const PlaceTimes& times, Instant now) {
    const int rows = times.empty() ? 0 : static_cast<int>(times.size()) - 1;
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
    return partners.take();
}

}  // namespace kelbo
