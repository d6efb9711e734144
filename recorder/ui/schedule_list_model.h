#pragma once

#include "recorder/forms/schedule_list.h"

#include <QAbstractTableModel>

namespace kelbo::ui {

// The schedule list as a Qt table: one column per shown list column in
// position order (column 0 is the row's main text), header texts from the
// column map, each row's text colour on its sub-items.
class ScheduleListModel : public QAbstractTableModel, public ScheduleListObserver {
    Q_OBJECT
public:
    explicit ScheduleListModel(ScheduleList& list, QObject* parent = nullptr);
    ~ScheduleListModel() override;

    ScheduleList& list() { return list_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void listReset() override;
    void rowInserted(int row) override;
    void rowRemoved(int row) override;
    void rowChanged(int row) override;
    void listRefreshed() override;

private:
    ScheduleList& list_;
    // The list tells of a change after it happened; the model keeps the
    // counts it has announced to its views.
    int rows_ = 0;
    int columns_ = 0;
};

// A list colour (red in the low byte) as a Qt colour.
QColor listColour(int colour);

}  // namespace kelbo::ui
