#include "help_menu.h"

#include "recorder/ports/message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

namespace kelbo::ui {

HelpMenu::HelpMenu(QMenu& menu, MessageBoxes& messages, OpenCommand open, std::function<void()> about)
    : QObject(&menu), messages_(messages), open_(std::move(open)) {
    handbook_ = menu.addAction(handbookTitle(), this, &HelpMenu::openHandbook);
    handbook_->setObjectName("handbook");
    handbook_->setShortcut(QKeySequence(Qt::Key_F1));
    handbook_->setShortcutContext(Qt::ApplicationShortcut);
    aboutQt_ = menu.addAction(tr("About Qt"), qApp, &QApplication::aboutQt);
    aboutQt_->setObjectName("aboutQt");
    menu.addSeparator();
    about_ = menu.addAction(tr("About"), this, std::move(about));
    about_->setObjectName("about");
}

QString HelpMenu::handbookTitle() { return tr("Kelbo Handbook"); }

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
    messages_.show(handbookTitle().toStdString(), text, MessageBoxes::Icon::Information,
                   MessageBoxes::Buttons::Ok);
}

void HelpMenu::openHandbook() {
    const QString file = handbookFile();
    if (file.isEmpty()) {
        tell(tr("The Kelbo Handbook is not installed with this copy of Kelbo.").toStdString());
        return;
    }
    open_({file.toStdString()}, handbookTitle().toStdString());
}

}  // namespace kelbo::ui
