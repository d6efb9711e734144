#include "schedule_list.h"

#include <algorithm>
#include <utility>

namespace kelbo {

namespace {
const std::string kEmpty;
}

ScheduleList::ScheduleList(ColumnLayout layout) : layout_(layout) {}

template <typename F> void ScheduleList::notify(F&& f) {
    for (ScheduleListObserver* o : observers_) f(*o);
}

void ScheduleList::setLayout(const ColumnLayout& layout) {
    layout_ = layout;
    clear();
}

const std::string& ScheduleList::Get_Cell(int row, int subItem) const {
    if (!valid(row) || subItem < 0) return kEmpty;
    const auto& cells = rows_[static_cast<size_t>(row - 1)].cells;
    return static_cast<size_t>(subItem) < cells.size() ? cells[static_cast<size_t>(subItem)] : kEmpty;
}

void ScheduleList::Set_Cell(int row, int subItem, const std::string& text) {
    if (!valid(row) || subItem < 0) return;
    auto& cells = rows_[static_cast<size_t>(row - 1)].cells;
    if (static_cast<size_t>(subItem) >= cells.size()) return;
    cells[static_cast<size_t>(subItem)] = text;
    notify([row](ScheduleListObserver& o) { o.rowChanged(row); });
}

void ScheduleList::Set_Row_Colour(int row, int colour) {
    if (!valid(row)) return;
    rows_[static_cast<size_t>(row - 1)].colour = colour;
    notify([row](ScheduleListObserver& o) { o.rowChanged(row); });
}

const std::string& ScheduleList::cell(int row, Column column) const {
    return Get_Cell(row, layout_.subItem(column));
}

void ScheduleList::setCell(int row, Column column, const std::string& text) {
    Set_Cell(row, layout_.subItem(column), text);
}

const std::string& ScheduleList::tag(int row) const {
    return valid(row) ? rows_[static_cast<size_t>(row - 1)].tag : kEmpty;
}

void ScheduleList::setTag(int row, std::string tag) {
    if (valid(row)) rows_[static_cast<size_t>(row - 1)].tag = std::move(tag);
}

int ScheduleList::rowColour(int row) const {
    return valid(row) ? rows_[static_cast<size_t>(row - 1)].colour : colour::kBlack;
}

void ScheduleList::select(int row) { selected_ = valid(row) ? row : 0; }

void ScheduleList::sortBy(std::optional<Column> column) {
    sortPosition_.reset();
    if (column && layout_.position(*column) >= 1) sortPosition_ = layout_.position(*column);
}

void ScheduleList::clear() {
    rows_.clear();
    selected_ = 0;
    notify([](ScheduleListObserver& o) { o.listReset(); });
}

int ScheduleList::addRow(std::vector<std::string> cells) {
    cells.resize(static_cast<size_t>(layout_.shownCount()));
    auto where = rows_.end();
    if (sortPosition_ && static_cast<size_t>(*sortPosition_) <= cells.size()) {
        const size_t key = static_cast<size_t>(*sortPosition_ - 1);
        where = std::upper_bound(rows_.begin(), rows_.end(), cells[key],
                                 [key](const std::string& k, const Row& r) { return k < r.cells[key]; });
    }
    const int row = static_cast<int>(where - rows_.begin()) + 1;
    insertRow(row, std::move(cells));
    return row;
}

void ScheduleList::insertRow(int row, std::vector<std::string> cells) {
    if (row < 1 || row > rowCount() + 1) return;
    cells.resize(static_cast<size_t>(layout_.shownCount()));
    rows_.insert(rows_.begin() + (row - 1), Row{std::move(cells), {}, colour::kBlack});
    if (selected_ >= row) ++selected_;
    notify([row](ScheduleListObserver& o) { o.rowInserted(row); });
}

void ScheduleList::setCells(int row, std::vector<std::string> cells) {
    if (!valid(row)) return;
    cells.resize(static_cast<size_t>(layout_.shownCount()));
    auto& own = rows_[static_cast<size_t>(row - 1)].cells;
    if (own == cells) return;
    own = std::move(cells);
    notify([row](ScheduleListObserver& o) { o.rowChanged(row); });
}

void ScheduleList::removeRow(int row) {
    if (!valid(row)) return;
    rows_.erase(rows_.begin() + (row - 1));
    if (selected_ == row) selected_ = 0;
    else if (selected_ > row) --selected_;
    notify([row](ScheduleListObserver& o) { o.rowRemoved(row); });
}

void ScheduleList::refresh() {
    notify([](ScheduleListObserver& o) { o.listRefreshed(); });
}

void ScheduleList::addObserver(ScheduleListObserver* observer) { observers_.push_back(observer); }

void ScheduleList::removeObserver(ScheduleListObserver* observer) {
    std::erase(observers_, observer);
}

}  // namespace kelbo
