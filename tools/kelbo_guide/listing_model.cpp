#include "listing_model.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <utility>

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
    case Status: {
        const bool isScheduled = scheduled(row), isEnded = ended(row);
        if (isScheduled)
            return isEnded ? QStringLiteral(QT_TRANSLATE_NOOP("ListingModel", "Scheduled, ended"))
                           : QStringLiteral(QT_TRANSLATE_NOOP("ListingModel", "Scheduled"));
        return isEnded ? QStringLiteral(QT_TRANSLATE_NOOP("ListingModel", "Ended")) : QString();
    }
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
    if (role == Qt::DisplayRole) {
        // The marks in the user's language; cell() keeps them as xmltv
        // --list writes them.
        const QString text = cell(index.row(), static_cast<Column>(index.column()));
        if (index.column() != Status || text.isEmpty()) return text;
        return QCoreApplication::translate("ListingModel", text.toUtf8().constData());
    }
    if (role == Qt::ToolTipRole && index.column() == Description) {
        // Tooltips read anything that looks like markup as markup; guide
        // text is shown as it is, as escaped rich text (which also wraps).
        const QString text = qs(guideDescription(listing_, listing_.programmes[static_cast<size_t>(index.row())]));
        return QStringLiteral("<qt>") + text.toHtmlEscaped().replace('\n', QStringLiteral("<br>")) +
               QStringLiteral("</qt>");
    }
    if (role == EndedRole) return ended(index.row());
    if (role == Qt::ToolTipRole && index.column() == Status) {
        QStringList why;
        if (scheduled(index.row()))
            why << QCoreApplication::translate("ListingModel", "The schedule holds this programme.");
        if (ended(index.row())) why << QCoreApplication::translate("ListingModel", "This programme has ended.");
        return why.isEmpty() ? QVariant() : QVariant(why.join(QLatin1Char(' ')));
    }
    return {};
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const titles[ColumnCount] = {
        QT_TRANSLATE_NOOP("ListingModel", "Status"),   QT_TRANSLATE_NOOP("ListingModel", "Channel"),
        QT_TRANSLATE_NOOP("ListingModel", "Start"),    QT_TRANSLATE_NOOP("ListingModel", "Minutes"),
        QT_TRANSLATE_NOOP("ListingModel", "Title"),    QT_TRANSLATE_NOOP("ListingModel", "Episode"),
        QT_TRANSLATE_NOOP("ListingModel", "Category"), QT_TRANSLATE_NOOP("ListingModel", "Description")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QCoreApplication::translate("ListingModel", titles[section]);
}

void ListingModel::markScheduled(const ScheduleSlots& schedule) {
    std::vector<bool> marks(listing_.programmes.size(), false);
    if (!schedule.empty())
        for (size_t i = 0; i < listing_.programmes.size(); ++i) {
            const XmltvProgramme& p = listing_.programmes[i];
            marks[i] = schedule.holds(toLocalDateTime(p.start), listing_.channelNumber(p), listing_.channelName(p));
        }
    const std::vector<bool> before = std::exchange(scheduled_, std::move(marks));
    for (int row = 0; row < rowCount(); ++row) {
        const size_t i = static_cast<size_t>(row);
        if ((i < before.size() && before[i]) != scheduled_[i]) rowChanged(row);
    }
}

bool ListingModel::scheduled(int row) const {
    return row >= 0 && static_cast<size_t>(row) < scheduled_.size() && scheduled_[static_cast<size_t>(row)];
}

void ListingModel::setNow(Instant now) {
    std::vector<bool> before(listing_.programmes.size());
    for (int row = 0; row < rowCount(); ++row) before[static_cast<size_t>(row)] = ended(row);
    now_ = now;
    for (int row = 0; row < rowCount(); ++row)
        if (before[static_cast<size_t>(row)] != ended(row)) rowChanged(row);
}

bool ListingModel::ended(int row) const {
    if (!now_ || row < 0 || row >= rowCount()) return false;
    const XmltvProgramme& p = listing_.programmes[static_cast<size_t>(row)];
    return p.start + std::chrono::minutes(p.durationMinutes) <= *now_;
}

// Only the rows whose marks changed: a filtered view tests again every row
// it is told of, which on a listing of weeks takes seconds.
void ListingModel::rowChanged(int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); }

GuideProgramme ListingModel::programme(int row) const {
    return guideProgramme(listing_, listing_.programmes[static_cast<size_t>(row)]);
}

}  // namespace kelbo::guide
