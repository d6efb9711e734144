#pragma once

#include <QWidget>

#include <string>

namespace kelbo {
class Clock;
}

class QLabel;
class QLineEdit;
class QMenu;
class QSortFilterProxyModel;
class QTableView;

namespace kelbo::guide {

class GuideAddin;
class ListingModel;
class SeriesMenu;

// The programme guide's listing: programmes by start, a filter box, and on
// each programme the pop-up menu the add-in fills, with "Record series
// with" for a rule that records every programme of the series. Rows the
// schedule holds say "Scheduled", ended ones "Ended" in grey; the "Series"
// menu lists the stored rules and removes them.
class GuideWindow : public QWidget {
public:
    // `clock` (the system's when null) tells which programmes have ended;
    // it outlives the window.
    GuideWindow(ListingModel* model, const GuideAddin& addin, QWidget* parent = nullptr,
                const Clock* clock = nullptr);

    QLineEdit* filterBox() const { return filter_; }
    QTableView* view() const { return view_; }
    QString statusText() const;
    void showStatus(const QString& text);
    // A message of the add-in, in a box over the window, as plain text.
    void showAddinMessage(const std::string& text);
    // The pop-up menu for the programme in view row `row`; its actions run
    // the add-in's record commands. The caller owns the menu.
    QMenu* programmeMenu(int row);
    SeriesMenu* seriesMenu() const { return series_; }
    // Reads the schedule file again and takes the clock's time.
    void refreshMarks();

protected:
    // Menu and Shift+F10 open the selected programme's menu.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openMenuAt(const QPoint& at);
    void recordOne(int sourceRow, size_t entry, const QString& entryText);
    void recordSeries(int sourceRow, size_t entry);

    const GuideAddin& addin_;
    const Clock& clock_;
    ListingModel* model_;
    QSortFilterProxyModel* proxy_;
    QLineEdit* filter_;
    QTableView* view_;
    QLabel* status_;
    SeriesMenu* series_;
};

}  // namespace kelbo::guide
