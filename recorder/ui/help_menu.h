#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace kelbo {
class MessageBoxes;
}

namespace kelbo::ui {

// The Help menu: the handbook installed with the program (F1), Qt's own
// about box and Kelbo's.
class HelpMenu : public QObject {
    Q_OBJECT
public:
    // Opens files for a named command, telling the user when nothing could.
    using OpenCommand = std::function<void(const std::vector<std::string>& paths, const std::string& command)>;
    HelpMenu(QMenu& menu, MessageBoxes& messages, OpenCommand open, std::function<void()> about);

    // The handbook's front page, installed beside the program or copied
    // beside it in a build tree; empty when neither is there.
    static QString handbookFile();
    static QString handbookTitle();
    void openHandbook();

    QAction* handbook() const { return handbook_; }
    QAction* aboutQt() const { return aboutQt_; }
    QAction* about() const { return about_; }

private:
    void tell(const std::string& text);

    MessageBoxes& messages_;
    OpenCommand open_;
    QAction* handbook_;
    QAction* aboutQt_;
    QAction* about_;
};

}  // namespace kelbo::ui
