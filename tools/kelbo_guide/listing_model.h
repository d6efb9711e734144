#pragma once

#include "guide_programme.h"
#include "listing_programme.h"
#include "schedule_slots.h"
#include "xmltv_reader.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace kelbo::guide {

// The programmes of a listing as table rows, texts made on demand so that a
// large listing costs no more than the listing itself.
class ListingModel : public QAbstractTableModel {
public:
    enum Column { Status, Channel, Start, Duration, Title, Episode, Category, Description, ColumnCount };
    // True on every cell of a programme that has ended.
    static constexpr int EndedRole = Qt::UserRole + 1;

    explicit ListingModel(XmltvListing listing, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const XmltvListing& listing() const { return listing_; }
    // The programme of a row as the guide hands it to the add-in.
    GuideProgramme programme(int row) const;
    QString cell(int row, Column column) const;

    // Marks the programmes the schedule holds ("Scheduled").
    void markScheduled(const ScheduleSlots& schedule);
    bool scheduled(int row) const;
    // Programmes that end by `now` are "Ended"; none before this is set.
    void setNow(Instant now);
    bool ended(int row) const;

private:
    void rowChanged(int row);

    XmltvListing listing_;
    std::vector<bool> scheduled_;
    std::optional<Instant> now_;
};

}  // namespace kelbo::guide
