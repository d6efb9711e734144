#include "listing_model.h"

namespace kelbo::guide {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

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
        // The second run of a repeated hour shows its zone, or it would
        // look like the first.
        return qs(local.formatDate() + " " +
                  (startsInRepeatedHour(p.start) ? trueStart(p.start) : local.formatTime()));
    }
    case Duration: return QString::number(p.durationMinutes);
    case Title: return qs(listing_.text(p.title));
    case Episode: return qs(listing_.text(p.episode));
    case Category: return qs(listing_.text(p.categories));
    case Description: return qs(guideDescription(listing_, p)).simplified();
    default: return {};
    }
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return cell(index.row(), static_cast<Column>(index.column()));
    if (role == Qt::ToolTipRole && index.column() == Description) {
        // Tooltips read anything that looks like markup as markup; guide
        // text is shown as it is, as escaped rich text (which also wraps).
        const QString text = qs(guideDescription(listing_, listing_.programmes[static_cast<size_t>(index.row())]));
        return QStringLiteral("<qt>") + text.toHtmlEscaped().replace('\n', QStringLiteral("<br>")) +
               QStringLiteral("</qt>");
    }
    return {};
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const titles[ColumnCount] = {"Channel", "Start", "Minutes", "Title",
                                                    "Episode", "Category", "Description"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromLatin1(titles[section]);
}

GuideProgramme ListingModel::programme(int row) const {
    return guideProgramme(listing_, listing_.programmes[static_cast<size_t>(row)]);
}

}  // namespace kelbo::guide
