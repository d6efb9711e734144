#pragma once

#include <QObject>

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

// Opens files (in order, all in one player) or a folder in the desktop's
// application for them; "" when it did, else what the user is told. Tests
// give a fake that only remembers.
using FileOpener = std::function<std::string(const std::vector<std::string>& paths)>;
FileOpener desktopFileOpener();
// Opens `paths` for the command named `command`, telling the user when
// nothing could.
using OpenCommand = std::function<void(const std::vector<std::string>& paths, const std::string& command)>;

// Recordings at hand from the schedule list: on a row a context menu with
// Play (the latest recording, every part, in the desktop's player), Open
// Containing Folder and
// Delete; a double-click on a recorded row plays it.
class RecordedRowMenu : public QObject {
    Q_OBJECT
public:
    RecordedRowMenu(ScheduleListView& view, ScheduleList& list, std::function<void()> deleteSelected,
                    OpenCommand open);
    ~RecordedRowMenu() override;

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
    OpenCommand open_;
};

}  // namespace kelbo::ui
