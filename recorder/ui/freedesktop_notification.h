#pragma once

#include "recorder/ports/message_boxes.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kelbo::ui {

// The desktop's notification service (org.freedesktop.Notifications) over
// D-Bus. Each notification is new (none replaces another), carries the
// program's icon and desktop entry, escapes guide text only for a server
// that reads markup, and offers Play and Show in Folder on a finished
// recording where the server shows actions.
class FreedesktopNotifications : public QObject {
    Q_OBJECT
public:
    explicit FreedesktopNotifications(QObject* parent = nullptr);

    // The bus a test gives; otherwise the session bus the desktop announced
    // (never one started on the recorder's behalf), connected at first use.
    void setBus(const QDBusConnection& bus);
    // Whether the session has a notification server, running or started
    // by the bus when called.
    bool available();
    // Sent without waiting for the server; false without a server.
    bool send(const Announcement& news);

signals:
    void playRequested(const QStringList& files);
    void showInFolderRequested(const QStringList& files);

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    bool connectBus();
    // What the server can do ("body-markup", "actions", ...): asked once
    // per server, without waiting.
    void askCapabilities();
    void sendNow(const Announcement& news);

    std::optional<QDBusConnection> bus_;
    bool watching_ = false;  // the server's signals and owner are watched
    std::optional<bool> available_;  // a server is on the bus (or startable)
    std::optional<QStringList> capabilities_;
    bool asking_ = false;
    std::vector<Announcement> waiting_;  // until the server has said what it reads
    // Notifications showing actions: their recording's files.
    QHash<uint, QStringList> withActions_;
};

// Guide text in a notification body for a server that reads markup.
QString escapeNotificationMarkup(QString text);

}  // namespace kelbo::ui
