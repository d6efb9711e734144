#include "schedule_list_view.h"

#include "schedule_list_model.h"
#include "plain_text.h"
#include "shown_columns_table.h"
#include "common/settings_keys.h"
#include "recorder/forms/clash_tags.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QToolTip>

namespace kelbo::ui {

namespace {
constexpr int kTwips = settings::kTwipsPerPixel;
const char* const kListTip = QT_TRANSLATE_NOOP("kelbo::ui::ScheduleListView", "Schedule listing for items to record");
}

ScheduleListView::ScheduleListView(ScheduleList& list, QWidget* parent)
    : QTreeView(parent), list_(list), model_(new ScheduleListModel(list, this)) {
    // A column sized to nothing is hidden; a screen reader must not read it.
    exposeOnlyShownColumns(staticMetaObject.className());
    setObjectName("listview_play");
    setToolTip(tr(kListTip));
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);  // the list keeps its own order
    setMouseTracking(true);
    header()->setSectionsMovable(true);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    applyColumnWidths();

    connect(model_, &QAbstractItemModel::modelReset, this, &ScheduleListView::applyColumnWidths);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &ScheduleListView::rowsGone);
}

void ScheduleListView::attachPane(DetailPane& pane) {
    pane_ = &pane;
    pane.setToolTipPort(this);
}

void ScheduleListView::applyColumnWidths() {
    const ColumnLayout& layout = list_.layout();
    for (int section = 0; section < model_->columnCount(); ++section) {
        const auto column = layout.columnAt(section + 1);
        const int width = column ? layout.width(*column) : 0;
        setColumnHidden(section, width <= 0);
        if (width > 0) setColumnWidth(section, width / kTwips);
    }
}

std::vector<ColumnState> ScheduleListView::columnStates() const {
    std::vector<ColumnState> states;
    const ColumnLayout& layout = list_.layout();
    for (int section = 0; section < model_->columnCount(); ++section) {
        const auto column = layout.columnAt(section + 1);
        if (!column) continue;
        const int width = isColumnHidden(section) ? 0 : columnWidth(section) * kTwips;
        states.push_back({headerText(*column), header()->visualIndex(section) + 1, width});
    }
    return states;
}

void ScheduleListView::setListToolTip(const std::string& text) {
    selectionTip_ = QString::fromStdString(text);
    // A tooltip goes with the release of the button that selected the row;
    // it is shown then (mouseReleaseEvent).
    if (QGuiApplication::mouseButtons() == Qt::NoButton) showSelectionTip();
}

void ScheduleListView::showSelectionTip() {
    if (selectionTip_.isEmpty()) return;
    // Selecting a clashing row says at once what it clashes with.
    const QRect row = visualRect(currentIndex());
    const QPoint at = viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint(0, 0));
    QToolTip::showText(at, plainForAutoText(selectionTip_), viewport());
}

QString ScheduleListView::toolTipFor(int row) const {
    // A row that clashes names what it clashes with; elsewhere the list
    // says what it is.
    if (row >= 1 && row <= list_.rowCount()) {
        const std::string clash = clashDescription(list_.tag(row));
        if (!clash.empty()) return QString::fromStdString(clash);
    }
    return tr(kListTip);
}

void ScheduleListView::tellScreenReader(QAccessible::Event type, const QModelIndex& index) {
    if (!QAccessible::isActive() || !index.isValid()) return;
    auto* table = dynamic_cast<ShownColumnsTable*>(QAccessible::queryAccessibleInterface(this));
    if (!table) return;
    const int child = table->eventChildOf(index);
    if (child < 0) return;
    QAccessibleEvent event(this, type);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

void ScheduleListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // QTreeView's own version names the cell by its model column, which is
    // not the accessible table's numbering once a column is hidden; this
    // repaints the rows as it does and tells the screen reader itself.
    for (const QModelIndex& index : {previous, current}) {
        const QRect row = visualRect(index);
        if (row.isValid()) viewport()->update(QRect(0, row.y(), viewport()->width(), row.height()));
    }
    if (hasFocus()) tellScreenReader(QAccessible::Focus, current);
    QAbstractItemView::currentChanged(current, previous);  // NOLINT(bugprone-parent-virtual-call): past QTreeView on purpose
}

void ScheduleListView::selectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
    // As in currentChanged: QTreeView's events would name the wrong cells.
    QAbstractItemView::selectionChanged(selected, deselected);  // NOLINT(bugprone-parent-virtual-call)
    tellScreenReader(QAccessible::SelectionAdd, selected.indexes().value(0));
    tellScreenReader(QAccessible::SelectionRemove, deselected.indexes().value(0));
    if (removing_ || selected.isEmpty()) return;
    const int row = selected.indexes().first().row() + 1;
    if (pane_) pane_->listview_play_ItemClick(row);
    else list_.select(row);
}

void ScheduleListView::selectRow(int row) {
    if (row < 1 || row > model_->rowCount()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(model_->index(row - 1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ScheduleListView::rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) {
    // Qt moves the current row on before the model has shrunk; the list has
    // already lost the row and its selection.
    removing_ = true;
    QTreeView::rowsAboutToBeRemoved(parent, first, last);
}

void ScheduleListView::rowsGone() {
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    removing_ = false;
}

bool isContextMenuKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Menu ||
           (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
}

void ScheduleListView::keyPressEvent(QKeyEvent* event) {
    // The keyboard's way to the selected row's menu, where the platform
    // does not turn these keys into a context menu request itself.
    const int row = list_.selectedRow();
    if (isContextMenuKey(*event) && row >= 1) {
        scrollTo(model()->index(row - 1, 0));
        emit customContextMenuRequested(visualRect(model()->index(row - 1, 0)).center());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ScheduleListView::keyReleaseEvent(QKeyEvent* event) {
    QTreeView::keyReleaseEvent(event);
    if (pane_) pane_->listview_play_KeyUp(event->key(), static_cast<int>(event->modifiers()));
}

void ScheduleListView::mouseMoveEvent(QMouseEvent* event) {
    QTreeView::mouseMoveEvent(event);
    if (pane_) pane_->listview_play_MouseMove();
}

void ScheduleListView::mousePressEvent(QMouseEvent* event) {
    rowBeforePress_ = list_.selectedRow();
    QTreeView::mousePressEvent(event);
}

void ScheduleListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    const QModelIndex current = currentIndex();
    if (current.isValid() && toolTipFor(current.row() + 1) == selectionTip_) showSelectionTip();
    // A click on the row already selected shows it again.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (pane_ && index.isValid() && index.row() + 1 == rowBeforePress_)
        pane_->listview_play_ItemClick(rowBeforePress_);
}

bool ScheduleListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const int row = index.isValid() ? index.row() + 1 : 0;
        // Kept while the mouse stays on the row, gone when it leaves it. A
        // clash names programmes: guide text, shown as written.
        QToolTip::showText(help->globalPos(), plainForAutoText(toolTipFor(row)), viewport(),
                           index.isValid() ? visualRect(index) : QRect());
        return true;
    }
    return QTreeView::viewportEvent(event);
}

}  // namespace kelbo::ui
