#pragma once

#include <QAccessibleWidget>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QTreeView>

#include <vector>

namespace kelbo::ui {

// What a screen reader is told about a flat list view: only the rows and
// columns the user sees, columns in the order the user dragged them into.
// Qt's own table interface reports every model column, so a column the user
// hid by sizing it to nothing would still be read out. The view's model and
// header are untouched; this only changes what the accessibility interface
// answers.
//
// Children are numbered like Qt's: the header cells first, then the cells
// row by row, each row `columnCount()` long.
class ShownColumnsTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ShownColumnsTable(QTreeView* view);
    ~ShownColumnsTable() override;

    // Model rows and columns in the order they are shown, hidden ones left out.
    std::vector<int> shownRows() const;
    std::vector<int> shownColumns() const;
    // The child number of the cell at `index`, -1 when it is not shown.
    int childIndexOf(const QModelIndex& index) const;
    // The child that stands for `index` in focus and selection events: the
    // cell itself, or when its column is hidden its row's first shown cell.
    int eventChildOf(const QModelIndex& index) const;

    // QAccessibleInterface
    QAccessible::Role role() const override { return QAccessible::Tree; }
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override { return static_cast<int>(shownColumns().size()); }
    int rowCount() const override { return static_cast<int>(shownRows().size()); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    QTreeView* view() const;
    // The header cell (row -1) or the cell of model `row` and `column`,
    // made once and kept until the model changes.
    QAccessibleInterface* cell(int row, int column) const;
    void forgetCells();

    mutable QMap<QPair<int, int>, QAccessible::Id> cells_;
};

// Gives views of the class named `className` (a flat QTreeView) the
// interface above. Installed once, before the first view is asked for.
void exposeOnlyShownColumns(const char* className);

}  // namespace kelbo::ui
