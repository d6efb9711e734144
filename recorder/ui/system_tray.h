#pragma once

#include "recorder/ports/message_boxes.h"
#include "recorder/ports/ui_ports.h"

#include <QDBusConnection>
#include <QIcon>
#include <QObject>

class QSystemTrayIcon;

namespace kelbo::ui {

class FreedesktopNotifications;
class TrayMenu;

// The tray icon: a tip, one of the three pictures, and the actions add,
// update and remove. Activating the icon asks for the window back; its
// context menu offers the window, stopping the recording and quitting.
class SystemTray : public QObject, public TrayPort {
    Q_OBJECT
public:
    explicit SystemTray(QObject* parent = nullptr);
    ~SystemTray() override;

    static QIcon picture(TrayImage image);

    void setImage(TrayImage image) override;
    void setTip(const std::string& tip) override;
    void update() override;

    void add();
    void remove();
    bool shown() const;
    // The icon stays in the tray for the whole run while `wanted` (the
    // user ticked "Minimize to System Tray" and the desktop has a tray).
    void keepShown(bool wanted);
    bool keptShown() const { return kept_; }
    TrayMenu& menu() { return *menu_; }
    // While the window is on screen the recorder leaves the icon alone; a
    // kept icon still shows whether it records, waits or has nothing to do.
    void showState(bool recording, bool waiting, const std::string& tip);
    // Whether the desktop shows tray icons at all.
    static bool available();
    // A desktop notification: through the desktop's notification service
    // whenever the session has one (each stays), else from the tray icon
    // while it is shown (its balloon shows one at a time). Never waits.
    void showNotice(const Announcement& news);
    void setNotificationBus(const QDBusConnection& bus);
    FreedesktopNotifications& notifications() { return *notifications_; }

    TrayImage image() const { return image_; }
    const std::string& tip() const { return tip_; }
    // The tooltip as the tray shows it, "Kelbo: " and the tip.
    QString shownToolTip() const;

signals:
    void restoreRequested();

private:
    QSystemTrayIcon* icon_;
    TrayMenu* menu_;
    FreedesktopNotifications* notifications_;
    bool kept_ = false;
    TrayImage image_ = TrayImage::Stopped;
    std::string tip_ = "Kelbo";
};

}  // namespace kelbo::ui
