#include "system_tray.h"

#include "freedesktop_notification.h"
#include "plain_text.h"
#include "tray_menu.h"
#include "vector_icons.h"

#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace kelbo::ui {

namespace {
QString shownTip(const std::string& tip) {
    // Several programs sit in a tray: the tip says whose icon this is.
    if (tip.empty() || tip == "Kelbo") return QStringLiteral("Kelbo");
    // It names the programmes being recorded: guide text, shown as written.
    return plainForAutoText(QStringLiteral("Kelbo: ") + QString::fromStdString(tip));
}
}  // namespace

SystemTray::SystemTray(QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(this)), menu_(new TrayMenu),
      notifications_(new FreedesktopNotifications(this)) {
    icon_->setContextMenu(menu_);
    icon_->setIcon(picture(image_));
    icon_->setToolTip(shownTip(tip_));
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
            emit restoreRequested();
    });
}

// A menu has no QObject parent but a widget; the tray ends its own.
SystemTray::~SystemTray() { delete menu_; }

QIcon SystemTray::picture(TrayImage image) { return badgedIcon(QGuiApplication::windowIcon(), image); }

void SystemTray::setImage(TrayImage image) { image_ = image; }

void SystemTray::setTip(const std::string& tip) { tip_ = tip; }

void SystemTray::update() {
    icon_->setIcon(picture(image_));
    icon_->setToolTip(shownTip(tip_));
}

void SystemTray::add() {
    update();
    icon_->show();
}

void SystemTray::remove() {
    if (!kept_) icon_->hide();
}

void SystemTray::showState(bool recording, bool waiting, const std::string& tip) {
    if (!kept_) return;
    const TrayImage image = recording ? TrayImage::Recording : waiting ? TrayImage::Paused : TrayImage::Stopped;
    if (image == image_ && tip == tip_) return;
    image_ = image;
    tip_ = tip;
    update();
}

void SystemTray::keepShown(bool wanted) {
    if (wanted == kept_) return;
    kept_ = wanted;
    if (kept_) add();
    else icon_->hide();
}

QString SystemTray::shownToolTip() const { return icon_->toolTip(); }

bool SystemTray::shown() const { return icon_->isVisible(); }

bool SystemTray::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemTray::setNotificationBus(const QDBusConnection& bus) { notifications_->setBus(bus); }

void SystemTray::showNotice(const Announcement& news) {
    if (notifications_->send(news)) return;
    if (shown() && available() && QSystemTrayIcon::supportsMessages())
        // The balloon shows its message as plain text but reads markup in
        // its title.
        icon_->showMessage(plainForAutoText(QString::fromStdString(news.title)), QString::fromStdString(news.text),
                           news.recordingLost ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
}

}  // namespace kelbo::ui
