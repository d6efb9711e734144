#include "qt_message_boxes.h"

#include "recorder/ports/log.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTime>

#include <iostream>

#include <unistd.h>

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

// Texts carry guide text: a name with markup must neither become a link
// nor be laid out as rich text, which loads any file an <img> names. The
// format is set before the text, since a box on screen lays out at once.
void setPlainText(QMessageBox& box, const QString& text) {
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

void setPlainInformativeText(QMessageBox& box, const QString& text) {
    auto* label = box.findChild<QLabel*>("qt_msgbox_informativelabel");
    if (!label) {
        box.setInformativeText(QStringLiteral(" "));
        label = box.findChild<QLabel*>("qt_msgbox_informativelabel");
    }
    if (label) label->setTextFormat(Qt::PlainText);
    box.setInformativeText(text);
}

void logNotice(const std::string& title, const std::string& text, MessageBoxes::Icon icon) {
    const std::string line = "Notice \"" + title + "\": " + text;
    if (icon == MessageBoxes::Icon::Critical) log::error(line);
    else if (icon == MessageBoxes::Icon::Exclamation) log::warn(line);
    else log::info(line);
}
}  // namespace

bool QtMessageBoxes::printOnly() const {
    return output_ == Output::Automatic && QGuiApplication::platformName() == "offscreen";
}

QWidget* QtMessageBoxes::parentForConfirmation() const {
    // Over the dialog the user is working in; otherwise over the main
    // window, never over the preview or with no owner at all (the window
    // manager would put an ownerless box anywhere).
    QWidget* active = QApplication::activeWindow();
    if (active && qobject_cast<QDialog*>(active)) return active;
    return owner_ ? owner_.data() : active;
}

MessageBoxes::Answer QtMessageBoxes::show(const std::string& title, const std::string& text,
                                          Icon icon, Buttons buttons) {
    if (printOnly()) {
        std::cerr << "kelbo: " << title << ": " << text << '\n';
        return Answer::Ok;
    }
    QMessageBox box(qtIcon(icon), QString::fromStdString(title), QString(), QMessageBox::Ok,
                    parentForConfirmation());
    setPlainText(box, QString::fromStdString(text));
    if (buttons != Buttons::Ok) box.addButton(QMessageBox::Cancel);
    if (buttons == Buttons::OkCancelDefaultCancel) box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

void QtMessageBoxes::notify(const std::string& title, const std::string& text, Icon icon) {
    OpenNotice& open = notices_[title];
    const QString qtext = QString::fromStdString(text);
    // A notice repeated by every tick is logged and passed on once while
    // its box is open.
    const bool repeated = open.box && qtext == open.latestText;
    if (!repeated) logNotice(title, text, icon);
    if (printOnly()) {
        // The log already writes to a terminal.
        if (!::isatty(STDERR_FILENO)) std::cerr << "kelbo: " << title << ": " << text << '\n';
        return;
    }
    if (open.box) {
        ++open.later;
        QString more = QCoreApplication::translate("kelbo::ui::QtMessageBoxes", "(%1 more since)").arg(open.later);
        if (qtext != open.firstText)
            more += QCoreApplication::translate("kelbo::ui::QtMessageBoxes", "\nThe latest, at %1:\n%2")
                        .arg(QTime::currentTime().toString("HH:mm:ss"), qtext);
        setPlainInformativeText(*open.box, more);
        open.latestText = qtext;
        return;
    }
    // Owned by the main window, so it stays above it, but never modal: the
    // tick and the timers go on while it waits for someone at the desk.
    auto* box = new QMessageBox(qtIcon(icon), QString::fromStdString(title), QString(), QMessageBox::Ok, owner_);
    setPlainText(*box, qtext);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setModal(false);
    open = OpenNotice{box, qtext, qtext, 0};
    box->show();
}

void QtMessageBoxes::announce(const Announcement& news) {
    const std::string line = "Notification \"" + news.title + "\": " + news.text;
    if (news.recordingLost) log::warn(line);
    else log::info(line);
    if (notifier_) notifier_(news);
}

QMessageBox* QtMessageBoxes::openNotice(const std::string& title) const {
    const auto it = notices_.find(title);
    return it == notices_.end() ? nullptr : it->second.box.data();
}

}  // namespace kelbo::ui
