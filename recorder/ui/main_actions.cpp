#include "main_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace kelbo::ui {

MainActions::MainActions(QWidget& window, const MainCommandHandlers& handlers)
    : QObject(&window), window_(window) {
    add_ = action("AddItem", tr("Add"), handlers.add);
    add_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
    window_.addAction(add_);
    remove_ = action("DeleteItem", tr("Delete"), handlers.remove);
    remove_->setShortcut(QKeySequence(Qt::Key_Delete));
    remove_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    stop_ = action("StopRecording", tr("Stop Recording"), handlers.stop);
    stop_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));
    window_.addAction(stop_);
    quit_ = action("Quit", tr("&Quit"), handlers.quit);
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit_->setMenuRole(QAction::QuitRole);
    openRecordings_ = action("OpenRecordingsFolder", tr("Open &Recordings Folder"), handlers.openRecordingsFolder);
}

QAction* MainActions::action(const char* objectName, const QString& text, const std::function<void()>& handler) {
    auto* a = new QAction(text, &window_);
    a->setObjectName(objectName);
    connect(a, &QAction::triggered, this, [handler] {
        if (handler) handler();
    });
    return a;
}

void MainActions::fillMenus(QMenu& file, QMenu& view, QAction& reload, QAction& options) {
    reload.setShortcut(QKeySequence(Qt::Key_F5));
    options.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    file.addSeparator();
    file.addAction(quit_);
    view.addSeparator();
    view.addAction(openRecordings_);
}

void MainActions::bindDeleteTo(QWidget& list) { list.addAction(remove_); }

}  // namespace kelbo::ui
