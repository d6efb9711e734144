#pragma once

#include "recorder/forms/column_layout_store.h"
#include "recorder/forms/detail_pane.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QTreeView>

#include <vector>

namespace kelbo::ui {

class ScheduleListModel;

// Menu, or Shift+F10: the keys that open a context menu from the keyboard.
bool isContextMenuKey(const QKeyEvent& event);

// The schedule list `listview_play`: a report-style view of the list, one
// row selected at a time, whose columns the user may resize and drag into a
// new order (the order is saved at shutdown and used from the next start).
// Selecting a row, releasing a key and moving the mouse are forwarded to the
// detail pane.
class ScheduleListView : public QTreeView, public ListToolTipPort {
    Q_OBJECT
public:
    explicit ScheduleListView(ScheduleList& list, QWidget* parent = nullptr);

    // Forwards the list's events to `pane` and shows its tooltip texts.
    void attachPane(DetailPane& pane);
    ScheduleListModel& scheduleModel() { return *model_; }

    // Each column's header, display position from 1 and width in twips, as
    // the user left them.
    std::vector<ColumnState> columnStates() const;

    // Selects row `row` (from 1) as a click would; 0 clears the selection.
    void selectRow(int row);

    // Shows a clash description at once beside the selected row.
    void setListToolTip(const std::string& text) override;
    // The text a tooltip shows over row `row` (from 1; 0 for no row).
    QString toolTipFor(int row) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) override;

private:
    void applyColumnWidths();
    void rowsGone();
    void showSelectionTip();
    // Focus and selection events numbered as the accessible table numbers
    // its cells (only the shown columns).
    void tellScreenReader(QAccessible::Event type, const QModelIndex& index);

    ScheduleList& list_;
    ScheduleListModel* model_;
    DetailPane* pane_ = nullptr;
    // Rows going away move Qt's current row; the list's selection is gone.
    bool removing_ = false;
    QString selectionTip_;
    int rowBeforePress_ = 0;
};

}  // namespace kelbo::ui
