#pragma once

#include "column_layout.h"

#include <optional>
#include <string>
#include <vector>

namespace kelbo {

// Told about every change of the list, so that a view can follow it.
class ScheduleListObserver {
public:
    virtual ~ScheduleListObserver() = default;
    virtual void listReset() {}
    virtual void rowInserted(int /*row*/) {}
    virtual void rowRemoved(int /*row*/) {}
    virtual void rowChanged(int /*row*/) {}
    virtual void listRefreshed() {}
};

// Colours are 24-bit values with red in the low byte.
namespace colour {
inline constexpr int kBlack = 0;
inline constexpr int kRed = 255;
inline constexpr int kBlue = 16711680;
}  // namespace colour

// The schedule list: rows of cell texts in display order, each with a tag
// (its clash description) and a text colour. What it shows is drawn from the
// schedule (ScheduleListing) and never read back by the recorder.
//
// Rows count from 1. Cells are addressed by sub-item number, the column's
// position − 1; sub-item 0 is the row's main text. Out-of-range reads give
// "" and out-of-range writes do nothing.
class ScheduleList {
public:
    explicit ScheduleList(ColumnLayout layout = ColumnLayout::defaults());

    const ColumnLayout& layout() const { return layout_; }
    void setLayout(const ColumnLayout& layout);

    int rowCount() const { return static_cast<int>(rows_.size()); }

    const std::string& Get_Cell(int row, int subItem) const;
    void Set_Cell(int row, int subItem, const std::string& text);
    void Set_Row_Colour(int row, int colour);

    // The same through the column map.
    const std::string& cell(int row, Column column) const;
    void setCell(int row, Column column, const std::string& text);

    const std::string& tag(int row) const;
    void setTag(int row, std::string tag);
    int rowColour(int row) const;

    int selectedRow() const { return selected_; }
    void select(int row);

    // Sorting by a column's text, ascending; rows with equal keys keep the
    // order in which they were added.
    void sortBy(std::optional<Column> column);
    void clear();
    // Adds a row given its cells in position order; returns its number.
    int addRow(std::vector<std::string> cells);
    // Puts a row at `row` (from 1 to rowCount() + 1), whatever the sorting.
    void insertRow(int row, std::vector<std::string> cells);
    // Gives a row new cells; its tag and colour stay.
    void setCells(int row, std::vector<std::string> cells);
    void removeRow(int row);
    void refresh();

    void addObserver(ScheduleListObserver* observer);
    void removeObserver(ScheduleListObserver* observer);

private:
    struct Row {
        std::vector<std::string> cells;
        std::string tag;
        int colour = colour::kBlack;
    };
    bool valid(int row) const { return row >= 1 && row <= rowCount(); }
    template <typename F> void notify(F&& f);

    ColumnLayout layout_;
    std::vector<Row> rows_;
    std::optional<int> sortPosition_;
    int selected_ = 0;
    std::vector<ScheduleListObserver*> observers_;
};

}  // namespace kelbo
