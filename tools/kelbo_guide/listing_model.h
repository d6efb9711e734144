#pragma once

#include "guide_programme.h"
#include "listing_programme.h"
#include "xmltv_reader.h"

#include <QAbstractTableModel>

namespace kelbo::guide {

// The programmes of a listing as table rows, texts made on demand so that a
// large listing costs no more than the listing itself.
class ListingModel : public QAbstractTableModel {
public:
    enum Column { Channel, Start, Duration, Title, Episode, Category, Description, ColumnCount };

    explicit ListingModel(XmltvListing listing, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const XmltvListing& listing() const { return listing_; }
    // The programme of a row as the guide hands it to the add-in.
    GuideProgramme programme(int row) const;
    QString cell(int row, Column column) const;

private:
    XmltvListing listing_;
};

}  // namespace kelbo::guide
