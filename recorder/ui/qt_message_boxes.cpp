#include "qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>

namespace kelbo::ui {

namespace {
QMessageBox::Icon qtIcon(MessageBoxes::Icon icon) {
    switch (icon) {
    case MessageBoxes::Icon::Information: return QMessageBox::Information;
    case MessageBoxes::Icon::Exclamation: return QMessageBox::Warning;
    case MessageBoxes::Icon::Critical: return QMessageBox::Critical;
    case MessageBoxes::Icon::Question: return QMessageBox::Question;
    case MessageBoxes::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

MessageBoxes::Answer QtMessageBoxes::show(const std::string& title, const std::string& text,
                                          Icon icon, Buttons buttons) {
    if (QGuiApplication::platformName() == "offscreen") {
        std::cerr << "kelbo: " << title << ": " << text << '\n';
        return Answer::Ok;
    }
    QMessageBox box(qtIcon(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    if (buttons == Buttons::OkCancel) box.addButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

}  // namespace kelbo::ui
