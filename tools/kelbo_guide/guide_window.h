#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QMenu;
class QSortFilterProxyModel;
class QTableView;

namespace kelbo::guide {

class GuideAddin;
class ListingModel;

// The programme guide's listing: programmes by start, a filter box, and on
// each programme the pop-up menu the add-in fills, with "Record series
// with" for a rule that records every programme of the series.
class GuideWindow : public QWidget {
public:
    GuideWindow(ListingModel* model, const GuideAddin& addin, QWidget* parent = nullptr);

    QLineEdit* filterBox() const { return filter_; }
    QTableView* view() const { return view_; }
    QString statusText() const;
    void showStatus(const QString& text);
    // A message of the add-in, in a box over the window, as plain text.
    void showAddinMessage(const std::string& text);
    // The pop-up menu for the programme in view row `row`; its actions run
    // the add-in's record commands. The caller owns the menu.
    QMenu* programmeMenu(int row);

protected:
    // Menu and Shift+F10 open the selected programme's menu.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openMenuAt(const QPoint& at);
    void recordOne(int sourceRow, size_t entry, const QString& entryText);
    void recordSeries(int sourceRow, size_t entry);

    const GuideAddin& addin_;
    ListingModel* model_;
    QSortFilterProxyModel* proxy_;
    QLineEdit* filter_;
    QTableView* view_;
    QLabel* status_;
};

}  // namespace kelbo::guide
