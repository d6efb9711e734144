#pragma once

#include <array>
#include <optional>
#include <string>

namespace kelbo {

// The fifteen columns of the schedule list, identified by header text.
enum class Column {
    IndexString, ArrayID, Date, Time, Programme, Duration, Channel, ChannelNumber,
    Filename, Template, SBuf, EBuf, Description, Category, Status,
};
inline constexpr int kColumnCount = 15;

const std::string& headerText(Column column);

// Each column's position (1 = the row's main text) and width in twips.
// Positions do not change while the program runs.
class ColumnLayout {
public:
    ColumnLayout() { rebuildIndex(); }
    static ColumnLayout defaults();

    int position(Column column) const { return positions_[index(column)]; }
    int width(Column column) const { return widths_[index(column)]; }
    // The sub-item number the cell operations take for a column.
    int subItem(Column column) const { return position(column) - 1; }
    std::optional<Column> columnAt(int position) const;
    // Columns shown, in position order 1, 2, ... (ends at the first gap).
    int shownCount() const { return shown_; }

    void set(Column column, int position, int width);

private:
    static size_t index(Column c) { return static_cast<size_t>(c); }
    void rebuildIndex();

    std::array<int, kColumnCount> positions_{};
    std::array<int, kColumnCount> widths_{};
    // Column at each position 1..kColumnCount (-1: none), and how many are shown.
    std::array<int, kColumnCount + 1> byPosition_{};
    int shown_ = 0;
};

}  // namespace kelbo
