#include "help_menu.h"

#include "recorder/ports/message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

namespace kelbo::ui {

namespace {
const QString kHandbookTitle = QStringLiteral("Kelbo Handbook");
}  // namespace

HelpMenu::HelpMenu(QMenu& menu, MessageBoxes& messages, OpenCommand open, std::function<void()> about)
    : QObject(&menu), messages_(messages), open_(std::move(open)) {
    handbook_ = menu.addAction(kHandbookTitle, this, &HelpMenu::openHandbook);
    handbook_->setObjectName("handbook");
    handbook_->setShortcut(QKeySequence(Qt::Key_F1));
    handbook_->setShortcutContext(Qt::ApplicationShortcut);
    aboutQt_ = menu.addAction("About Qt", qApp, &QApplication::aboutQt);
    aboutQt_->setObjectName("aboutQt");
    menu.addSeparator();
    about_ = menu.addAction("About", this, std::move(about));
    about_->setObjectName("about");
}

QString HelpMenu::handbookFile() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {programFolder + "/../share/doc/kelbo/handbook/index.html",
                                     programFolder + "/handbook/index.html"}) {
        const QFileInfo file(candidate);
        if (file.isFile()) return file.canonicalFilePath();
    }
    return {};
}

void HelpMenu::tell(const std::string& text) {
    messages_.show(kHandbookTitle.toStdString(), text, MessageBoxes::Icon::Information,
                   MessageBoxes::Buttons::Ok);
}

void HelpMenu::openHandbook() {
    const QString file = handbookFile();
    if (file.isEmpty()) {
        tell("The Kelbo Handbook is not installed with this copy of Kelbo.");
        return;
    }
    open_({file.toStdString()}, kHandbookTitle.toStdString());
}

}  // namespace kelbo::ui
