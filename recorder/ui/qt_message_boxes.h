#pragma once

#include "recorder/ports/message_boxes.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <map>

class QMessageBox;
class QWidget;

namespace kelbo::ui {

// Message boxes as QMessageBoxes. Confirmations (show) are modal over the
// active window. Notices (notify) never block: a box that stays open while
// the recorder goes on, one per title, later notices of that title counted
// in it; each notice also goes to the log (a repeat of the open box's
// latest text only to the count). A notice is a box and nothing else; news
// (announce) is a desktop notification and nothing else.
// Without a screen (the offscreen platform) nobody could answer, so boxes
// go to standard error and count as answered with OK.
class QtMessageBoxes : public MessageBoxes {
public:
    enum class Output { Automatic, Windows };
    // Windows: boxes even offscreen (the widget tests look at them).
    explicit QtMessageBoxes(Output output = Output::Automatic) : output_(output) {}

    Answer show(const std::string& title, const std::string& text, Icon icon,
                Buttons buttons) override;
    void notify(const std::string& title, const std::string& text, Icon icon) override;
    // To the desktop notifier and the log only.
    void announce(const Announcement& news) override;

    // The window the notice boxes belong to (they stay on top of it); it
    // must outlive them, which it does as their parent.
    void setOwnerWindow(QWidget* window) { owner_ = window; }
    // Shows the news on the desktop (the notification service or the tray).
    using Notifier = std::function<void(const Announcement& news)>;
    void setDesktopNotifier(Notifier notifier) { notifier_ = std::move(notifier); }

    // The open notice box of that title, or null.
    QMessageBox* openNotice(const std::string& title) const;

private:
    bool printOnly() const;
    QWidget* parentForConfirmation() const;

    struct OpenNotice {
        QPointer<QMessageBox> box;
        QString firstText;
        QString latestText;
        int later = 0;  // notices of the same title since the box opened
    };
    Output output_;
    QPointer<QWidget> owner_;
    Notifier notifier_;
    std::map<std::string, OpenNotice> notices_;
};

}  // namespace kelbo::ui
