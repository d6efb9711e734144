#include "listing_model.h"

namespace kelbo::guide {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ListingModel::ListingModel(XmltvListing listing, QObject* parent)
    : QAbstractTableModel(parent), listing_(std::move(listing)) {}

int ListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(listing_.programmes.size());
}

int ListingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ListingModel::cell(int row, Column column) const {
    const XmltvProgramme& p = listing_.programmes[static_cast<size_t>(row)];
    switch (column) {
    case Channel: return qs(listing_.channelNumber(p) + " " + listing_.channelName(p));
    case Start: {
        const DateTime local = toLocalDateTime(p.start);
        return qs(local.formatDate() + " " + local.formatTime());
    }
    case Duration: return QString::number(p.durationMinutes);
    case Title: return qs(p.title);
    case Category: return qs(p.category);
    case Description: return qs(p.description).simplified();
    default: return {};
    }
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return cell(index.row(), static_cast<Column>(index.column()));
    if (role == Qt::ToolTipRole && index.column() == Description)
        return qs(listing_.programmes[static_cast<size_t>(index.row())].description);
    return {};
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const titles[ColumnCount] = {"Channel", "Start", "Minutes", "Title",
                                                    "Category", "Description"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromLatin1(titles[section]);
}

GuideProgramme ListingModel::programme(int row) const {
    const XmltvProgramme& p = listing_.programmes[static_cast<size_t>(row)];
    GuideProgramme g;
    g.name = p.title;
    g.start = toLocalDateTime(p.start);
    g.duration = static_cast<uint32_t>(p.durationMinutes);
    g.channelName = listing_.channelName(p);
    g.channelNumber = listing_.channelNumber(p);
    g.category = p.category;
    g.description = p.description;
    return g;
}

}  // namespace kelbo::guide
