#pragma once

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;

namespace kelbo {
class ScheduleList;
}

namespace kelbo::ui {

class ScheduleListView;

// Opens a file or folder in the desktop's own program for it; tests give a
// fake that only remembers.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener desktopUrlOpener();

// Recordings at hand from the schedule list: on a row a context menu with
// Play (the recording in the desktop's player), Open Containing Folder and
// Delete; a double-click on a recorded row plays it.
class RecordedRowMenu : public QObject {
    Q_OBJECT
public:
    RecordedRowMenu(ScheduleListView& view, ScheduleList& list, std::function<void()> deleteSelected,
                    UrlOpener opener);
    ~RecordedRowMenu() override;

    void setUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }
    // The menu for row `row` (from 1); null for no row.
    std::unique_ptr<QMenu> menuFor(int row);
    // The recording of the row: its files, latest first.
    std::vector<std::string> filesOf(int row) const;
    void play(int row);
    void openContainingFolder(int row);

private:
    void openMenuAt(const QPoint& pos);

    ScheduleListView& view_;
    ScheduleList& list_;
    std::function<void()> deleteSelected_;
    UrlOpener opener_;
};

}  // namespace kelbo::ui
