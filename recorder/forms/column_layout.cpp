#include "column_layout.h"

#include "recorder/ports/translation.h"

namespace kelbo {

namespace {

struct ColumnSpec {
    std::string header;
    int width;
};

const std::array<ColumnSpec, kColumnCount>& specs() {
    static const std::array<ColumnSpec, kColumnCount> table = {{
        {"IndexString", 0},
        {"ArrayID", 0},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Date"), 1000},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Time"), 1000},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Programme"), 1500},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Duration"), 800},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Channel"), 1000},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Ch #"), 800},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Filename"), 1000},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Template"), 1000},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "SBuf"), 800},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "EBuf"), 800},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Description"), 1500},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Category"), 1000},
        {KELBO_TRANSLATE_NOOP("ScheduleColumns", "Status"), 800},
    }};
    return table;
}

}  // namespace

const std::string& headerText(Column column) { return specs()[static_cast<size_t>(column)].header; }

ColumnLayout ColumnLayout::defaults() {
    ColumnLayout layout;
    for (int i = 0; i < kColumnCount; ++i)
        layout.set(static_cast<Column>(i), i + 1, specs()[static_cast<size_t>(i)].width);
    return layout;
}

std::optional<Column> ColumnLayout::columnAt(int position) const {
    if (position < 1 || position > kColumnCount) return std::nullopt;
    const int column = byPosition_[static_cast<size_t>(position)];
    return column < 0 ? std::nullopt : std::optional<Column>(static_cast<Column>(column));
}

void ColumnLayout::set(Column column, int position, int width) {
    positions_[index(column)] = position;
    widths_[index(column)] = width;
    rebuildIndex();
}

void ColumnLayout::rebuildIndex() {
    byPosition_.fill(-1);
    // Two columns claiming one position: the later one wins.
    for (int i = 0; i < kColumnCount; ++i) {
        const int p = positions_[static_cast<size_t>(i)];
        if (p >= 1 && p <= kColumnCount) byPosition_[static_cast<size_t>(p)] = i;
    }
    shown_ = 0;
    while (shown_ < kColumnCount && byPosition_[static_cast<size_t>(shown_) + 1] >= 0) ++shown_;
}

}  // namespace kelbo
