#include "shown_columns_table.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

namespace kelbo::ui {

namespace {

int positionOf(const std::vector<int>& shown, int value) {
    const auto at = std::find(shown.begin(), shown.end(), value);
    return at == shown.end() ? -1 : static_cast<int>(at - shown.begin());
}

ShownColumnsTable* tableOf(QTreeView* view) {
    return view ? dynamic_cast<ShownColumnsTable*>(QAccessible::queryAccessibleInterface(view))
                : nullptr;
}

// One header cell (no row) or one cell of a row.
class ShownCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ShownCell(QTreeView* view, int section) : view_(view), section_(section), isHeader_(true) {}
    ShownCell(QTreeView* view, const QModelIndex& index)
        : view_(view), index_(index), section_(index.column()), isHeader_(false) {}

    bool isValid() const override {
        if (!view_ || !view_->model()) return false;
        return isHeader_ ? section_ < view_->model()->columnCount(view_->rootIndex())
                         : index_.isValid();
    }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (isHeader_) {
            const QAbstractItemModel* model = view_->model();
            if (t == QAccessible::Name) return model->headerData(section_, Qt::Horizontal).toString();
            if (t == QAccessible::Description)
                return model->headerData(section_, Qt::Horizontal, Qt::ToolTipRole).toString();
            return {};
        }
        if (t == QAccessible::Name) return index_.data(Qt::DisplayRole).toString();
        if (t == QAccessible::Description) return index_.data(Qt::ToolTipRole).toString();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        if (isHeader_) {
            QHeaderView* h = view_->header();
            const QRect r(h->sectionViewportPosition(section_), 0, h->sectionSize(section_), h->height());
            return QRect(h->mapToGlobal(r.topLeft()), r.size());
        }
        const QRect r = view_->visualRect(index_);
        return QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        return isHeader_ ? QAccessible::ColumnHeader : QAccessible::TreeItem;
    }
    QAccessible::State state() const override {
        QAccessible::State st;
        if (!isValid() || isHeader_) return st;
        st.selectable = true;
        st.focusable = true;
        st.selected = isSelected();
        st.focused = view_->hasFocus() && view_->currentIndex().row() == index_.row();
        st.invisible = !view_->viewport()->rect().intersects(view_->visualRect(index_));
        return st;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && !isHeader_)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override {
        return isValid() && view_->selectionModel() &&
               view_->selectionModel()->isSelected(index_);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        ShownColumnsTable* table = tableOf(view_);
        const int column = columnIndex();
        if (!table || column < 0) return {};
        return {table->child(column)};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override {
        ShownColumnsTable* table = tableOf(view_);
        return table ? positionOf(table->shownColumns(), section_) : -1;
    }
    int rowIndex() const override {
        ShownColumnsTable* table = tableOf(view_);
        return table && index_.isValid() ? positionOf(table->shownRows(), index_.row()) : -1;
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<QTreeView> view_;
    QPersistentModelIndex index_;
    int section_;
    bool isHeader_;
};

}  // namespace

ShownColumnsTable::ShownColumnsTable(QTreeView* view) : QAccessibleWidget(view, QAccessible::Tree) {}

ShownColumnsTable::~ShownColumnsTable() { forgetCells(); }

QTreeView* ShownColumnsTable::view() const { return static_cast<QTreeView*>(widget()); }

std::vector<int> ShownColumnsTable::shownRows() const {
    std::vector<int> rows;
    const QAbstractItemModel* model = view()->model();
    if (!model) return rows;
    const QModelIndex root = view()->rootIndex();
    for (int r = 0; r < model->rowCount(root); ++r)
        if (!view()->isRowHidden(r, root)) rows.push_back(r);
    return rows;
}

std::vector<int> ShownColumnsTable::shownColumns() const {
    std::vector<int> columns;
    const QHeaderView* header = view()->header();
    if (!view()->model()) return columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int section = header->logicalIndex(visual);
        if (!header->isSectionHidden(section)) columns.push_back(section);
    }
    return columns;
}

int ShownColumnsTable::childIndexOf(const QModelIndex& index) const {
    const std::vector<int> columns = shownColumns();
    const int row = positionOf(shownRows(), index.row());
    const int column = positionOf(columns, index.column());
    if (row < 0 || column < 0) return -1;
    return (row + 1) * static_cast<int>(columns.size()) + column;
}

int ShownColumnsTable::eventChildOf(const QModelIndex& index) const {
    if (!index.isValid()) return -1;
    const int child = childIndexOf(index);
    const std::vector<int> columns = shownColumns();
    return child >= 0 || columns.empty() ? child : childIndexOf(index.siblingAtColumn(columns.front()));
}

QAccessible::State ShownColumnsTable::state() const {
    QAccessible::State st = QAccessibleWidget::state();
    st.multiSelectable = view()->selectionMode() != QAbstractItemView::SingleSelection &&
                         view()->selectionMode() != QAbstractItemView::NoSelection;
    return st;
}

int ShownColumnsTable::childCount() const {
    return (rowCount() + 1) * columnCount();
}

QAccessibleInterface* ShownColumnsTable::cell(int row, int column) const {
    const QPair<int, int> key(row, column);
    if (const auto known = cells_.constFind(key); known != cells_.constEnd()) {
        if (QAccessibleInterface* face = QAccessible::accessibleInterface(*known)) return face;
    }
    QAccessibleInterface* face =
        row < 0 ? new ShownCell(view(), column)
                : new ShownCell(view(), view()->model()->index(row, column, view()->rootIndex()));
    cells_.insert(key, QAccessible::registerAccessibleInterface(face));
    return face;
}

QAccessibleInterface* ShownColumnsTable::child(int index) const {
    const std::vector<int> columns = shownColumns();
    const int width = static_cast<int>(columns.size());
    if (index < 0 || width == 0) return nullptr;
    if (index < width) return cell(-1, columns[index]);
    const std::vector<int> rows = shownRows();
    const auto row = static_cast<size_t>(index / width - 1);
    return row < rows.size() ? cell(rows[row], columns[index % width]) : nullptr;
}

QAccessibleInterface* ShownColumnsTable::cellAt(int row, int column) const {
    const std::vector<int> columns = shownColumns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns.size()))
        return nullptr;
    return child((row + 1) * static_cast<int>(columns.size()) + column);
}

int ShownColumnsTable::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    const QPair<int, int> key = cells_.key(id, QPair<int, int>(-2, -2));
    if (key.first == -2) return -1;
    if (key.first < 0) return positionOf(shownColumns(), key.second);
    return childIndexOf(view()->model()->index(key.first, key.second, view()->rootIndex()));
}

QAccessibleInterface* ShownColumnsTable::childAt(int x, int y) const {
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const int index = childIndexOf(view()->indexAt(at));
    return index < 0 ? nullptr : child(index);
}

QAccessibleInterface* ShownColumnsTable::focusChild() const {
    const int index = eventChildOf(view()->currentIndex());
    return index < 0 ? nullptr : child(index);
}

void* ShownColumnsTable::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString ShownColumnsTable::columnDescription(int column) const {
    const std::vector<int> columns = shownColumns();
    if (column < 0 || column >= static_cast<int>(columns.size())) return {};
    return view()->model()->headerData(columns[column], Qt::Horizontal).toString();
}

QList<int> ShownColumnsTable::selectedRows() const {
    QList<int> selected;
    const std::vector<int> rows = shownRows();
    for (size_t r = 0; r < rows.size(); ++r)
        if (isRowSelected(static_cast<int>(r))) selected.append(static_cast<int>(r));
    return selected;
}

int ShownColumnsTable::selectedCellCount() const {
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> ShownColumnsTable::selectedCells() const {
    QList<QAccessibleInterface*> selected;
    const int width = columnCount();
    for (int row : selectedRows())
        for (int column = 0; column < width; ++column) selected.append(cellAt(row, column));
    return selected;
}

bool ShownColumnsTable::isRowSelected(int row) const {
    const std::vector<int> rows = shownRows();
    if (row < 0 || row >= static_cast<int>(rows.size()) || !view()->selectionModel()) return false;
    return view()->selectionModel()->isRowSelected(rows[row], view()->rootIndex());
}

bool ShownColumnsTable::selectRow(int row) {
    const std::vector<int> rows = shownRows();
    if (row < 0 || row >= static_cast<int>(rows.size()) || !view()->selectionModel() ||
        view()->selectionMode() == QAbstractItemView::NoSelection)
        return false;
    const QModelIndex index = view()->model()->index(rows[row], 0, view()->rootIndex());
    const auto clear = view()->selectionMode() == QAbstractItemView::SingleSelection
                           ? QItemSelectionModel::ClearAndSelect
                           : QItemSelectionModel::Select;
    view()->selectionModel()->select(index, clear | QItemSelectionModel::Rows);
    return true;
}

bool ShownColumnsTable::unselectRow(int row) {
    const std::vector<int> rows = shownRows();
    if (row < 0 || row >= static_cast<int>(rows.size()) || !view()->selectionModel()) return false;
    const QModelIndex index = view()->model()->index(rows[row], 0, view()->rootIndex());
    view()->selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

void ShownColumnsTable::modelChange(QAccessibleTableModelChangeEvent* event) {
    // Cells are kept by model row; rows coming or going move them all.
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged) forgetCells();
}

void ShownColumnsTable::forgetCells() {
    for (QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

namespace {
const char* viewClassName = nullptr;

QAccessibleInterface* shownColumnsFactory(const QString& className, QObject* object) {
    if (!viewClassName || className != QLatin1String(viewClassName)) return nullptr;
    auto* view = qobject_cast<QTreeView*>(object);
    return view ? new ShownColumnsTable(view) : nullptr;
}
}  // namespace

void exposeOnlyShownColumns(const char* className) {
    if (viewClassName) return;
    viewClassName = className;
    QAccessible::installFactory(shownColumnsFactory);
}

}  // namespace kelbo::ui
