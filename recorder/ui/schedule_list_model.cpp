#include "schedule_list_model.h"

#include "palette_colours.h"

#include <QColor>
#include <QCoreApplication>
#include <QGuiApplication>

namespace kelbo::ui {

QColor listColour(int colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

ScheduleListModel::ScheduleListModel(ScheduleList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), rows_(list.rowCount()),
      columns_(list.layout().shownCount()) {
    list_.addObserver(this);
}

ScheduleListModel::~ScheduleListModel() { list_.removeObserver(this); }

int ScheduleListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ScheduleListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant ScheduleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.rowCount()) return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(list_.Get_Cell(row, index.column()));
    case Qt::ForegroundRole: {
        // The main text keeps the list's own colour, and so does a row in
        // the normal text colour (black under a light palette).
        const int colour = list_.rowColour(row);
        if (index.column() == 0 || colour == colour::kBlack) return {};
        const QPalette palette = QGuiApplication::palette();
        return readableShade(listColour(colour), palette.color(QPalette::Base), isDarkPalette(palette));
    }
    default:
        return {};
    }
}

QVariant ScheduleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const auto column = list_.layout().columnAt(section + 1);
    // The header is the column's name in the user's language.
    return column ? QCoreApplication::translate("ScheduleColumns", headerText(*column).c_str()) : QVariant();
}

void ScheduleListModel::listReset() {
    beginResetModel();
    rows_ = list_.rowCount();
    columns_ = list_.layout().shownCount();
    endResetModel();
}

void ScheduleListModel::rowInserted(int row) {
    beginInsertRows({}, row - 1, row - 1);
    ++rows_;
    endInsertRows();
}

void ScheduleListModel::rowRemoved(int row) {
    beginRemoveRows({}, row - 1, row - 1);
    --rows_;
    endRemoveRows();
}

void ScheduleListModel::rowChanged(int row) {
    if (columns_ > 0) emit dataChanged(index(row - 1, 0), index(row - 1, columns_ - 1));
}

void ScheduleListModel::listRefreshed() {
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

}  // namespace kelbo::ui
