#pragma once

#include <QMenu>

#include <functional>

class QAction;

namespace kelbo::ui {

// The tray icon's context menu: show or hide the main window, stop the
// recording (only while one runs), quit.
class TrayMenu : public QMenu {
    Q_OBJECT
public:
    explicit TrayMenu(QWidget* parent = nullptr);

    // Asked as the menu opens: is the main window shown?
    void setWindowShownQuery(std::function<bool()> shown) { windowShown_ = std::move(shown); }
    void setRecording(bool recording);

    QAction* showHideAction() const { return showHide_; }
    QAction* stopAction() const { return stop_; }
    QAction* quitAction() const { return quit_; }
    // Brings the texts up to date, as opening the menu does.
    void refresh();

signals:
    void showHideRequested();
    void stopRequested();
    void quitRequested();

private:
    QAction* showHide_;
    QAction* stop_;
    QAction* quit_;
    std::function<bool()> windowShown_;
};

}  // namespace kelbo::ui
