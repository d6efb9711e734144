#include "system_tray.h"

#include "freedesktop_notification.h"
#include "tray_menu.h"

#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace kelbo::ui {

namespace {
QPixmap drawPicture(TrayImage image) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    switch (image) {
    case TrayImage::Paused:  // waiting for the next programme
        p.setBrush(QColor(230, 160, 20));
        p.drawRect(7, 5, 6, 22);
        p.drawRect(19, 5, 6, 22);
        break;
    case TrayImage::Recording:
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(4, 4, 24, 24);
        break;
    case TrayImage::Stopped:
        p.setBrush(QColor(130, 130, 130));
        p.drawRect(6, 6, 20, 20);
        break;
    }
    return pixmap;
}
}  // namespace

SystemTray::SystemTray(QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(this)), menu_(new TrayMenu),
      notifications_(new FreedesktopNotifications(this)) {
    icon_->setContextMenu(menu_);
    icon_->setIcon(picture(image_));
    icon_->setToolTip(QString::fromStdString(tip_));
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
            emit restoreRequested();
    });
}

// A menu has no QObject parent but a widget; the tray ends its own.
SystemTray::~SystemTray() { delete menu_; }

QIcon SystemTray::picture(TrayImage image) { return QIcon(drawPicture(image)); }

void SystemTray::setImage(TrayImage image) { image_ = image; }

void SystemTray::setTip(const std::string& tip) { tip_ = tip; }

void SystemTray::update() {
    icon_->setIcon(picture(image_));
    icon_->setToolTip(QString::fromStdString(tip_));
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

bool SystemTray::shown() const { return icon_->isVisible(); }

bool SystemTray::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemTray::setNotificationBus(const QDBusConnection& bus) { notifications_->setBus(bus); }

void SystemTray::showNotice(const Announcement& news) {
    if (notifications_->send(news)) return;
    if (shown() && available() && QSystemTrayIcon::supportsMessages())
        icon_->showMessage(QString::fromStdString(news.title), QString::fromStdString(news.text),
                           news.recordingLost ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
}

}  // namespace kelbo::ui
