#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QUrl;

namespace kelbo {
class MessageBoxes;
}

namespace kelbo::ui {

// The Help menu: the handbook installed with the program (F1), Qt's own
// about box and Kelbo's.
class HelpMenu : public QObject {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;
    HelpMenu(QMenu& menu, MessageBoxes& messages, UrlOpener opener, std::function<void()> about);

    // The handbook's front page, installed beside the program or copied
    // beside it in a build tree; empty when neither is there.
    static QString handbookFile();
    void openHandbook();

    QAction* handbook() const { return handbook_; }
    QAction* aboutQt() const { return aboutQt_; }
    QAction* about() const { return about_; }

private:
    void tell(const std::string& text);

    MessageBoxes& messages_;
    UrlOpener opener_;
    QAction* handbook_;
    QAction* aboutQt_;
    QAction* about_;
};

}  // namespace kelbo::ui
