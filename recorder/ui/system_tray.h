#pragma once

#include "recorder/ports/ui_ports.h"

#include <QDBusConnection>
#include <QIcon>
#include <QObject>

#include <optional>

class QSystemTrayIcon;

namespace kelbo::ui {

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
    // A desktop notification: from the tray icon while it is shown, else
    // through the desktop's notification service on the session bus (or
    // the bus a test gives). Never waits.
    void showNotice(const std::string& title, const std::string& text, bool warning);
    void setNotificationBus(const QDBusConnection& bus) { bus_ = bus; }

    TrayImage image() const { return image_; }
    const std::string& tip() const { return tip_; }
    // The tooltip as the tray shows it, "Kelbo: " and the tip.
    QString shownToolTip() const;

signals:
    void restoreRequested();

private:
    QSystemTrayIcon* icon_;
    TrayMenu* menu_;
    // Connected at the first notification, and only to a session bus the
    // desktop announced: never one started on the recorder's behalf.
    std::optional<QDBusConnection> bus_;
    bool kept_ = false;
    TrayImage image_ = TrayImage::Stopped;
    std::string tip_ = "Kelbo";
};

}  // namespace kelbo::ui
