#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace kelbo::ui {

// What the main window's keyboard and added menu commands do.
struct MainCommandHandlers {
    std::function<void()> add;
    std::function<void()> remove;
    std::function<void()> stop;
    std::function<void()> quit;
    std::function<void()> openRecordingsFolder;
};

// The main window's commands by keyboard: Add (Ctrl+N, Insert), Delete
// (Delete, in the schedule list), Stop recording (Ctrl+.), Quit (Ctrl+Q,
// also File > Quit) and View > Open Recordings Folder; and the shortcuts of
// the classic menu items, Reload Schedule (F5) and Options (Ctrl+,).
class MainActions : public QObject {
    Q_OBJECT
public:
    MainActions(QWidget& window, const MainCommandHandlers& handlers);

    // Adds the shortcuts to the classic items and the new items to the menus.
    void fillMenus(QMenu& file, QMenu& view, QAction& reload, QAction& options);
    // Delete acts only where the focus is in the list, so that the key still
    // deletes text in the detail pane's fields.
    void bindDeleteTo(QWidget& list);

    QAction* add() const { return add_; }
    QAction* remove() const { return remove_; }
    QAction* stop() const { return stop_; }
    QAction* quit() const { return quit_; }
    QAction* openRecordingsFolder() const { return openRecordings_; }

private:
    QAction* action(const char* objectName, const QString& text, const std::function<void()>& handler);

    QWidget& window_;
    QAction* add_;
    QAction* remove_;
    QAction* stop_;
    QAction* quit_;
    QAction* openRecordings_;
};

}  // namespace kelbo::ui
