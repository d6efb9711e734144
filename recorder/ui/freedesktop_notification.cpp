#include "freedesktop_notification.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QVariantMap>

namespace kelbo::ui {

namespace {
const QString kService = "org.freedesktop.Notifications";
const QString kPath = "/org/freedesktop/Notifications";
const QString kInterface = "org.freedesktop.Notifications";
constexpr int kCapabilitiesTimeoutMs = 2000;
}  // namespace

QString escapeNotificationMarkup(QString text) {
    return text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

FreedesktopNotifications::FreedesktopNotifications(QObject* parent) : QObject(parent) {}

void FreedesktopNotifications::setBus(const QDBusConnection& bus) {
    bus_ = bus;
    watching_ = false;
    available_.reset();
    capabilities_.reset();
    connectBus();
}

bool FreedesktopNotifications::connectBus() {
    if (!bus_) {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return false;
        bus_ = QDBusConnection::sessionBus();
    }
    if (watching_ || !bus_->isConnected()) return bus_->isConnected();
    watching_ = true;
    bus_->connect(QString(), kPath, kInterface, "ActionInvoked", this, SLOT(onActionInvoked(uint, QString)));
    bus_->connect(QString(), kPath, kInterface, "NotificationClosed", this, SLOT(onClosed(uint, uint)));
    // Another server (a desktop restarted) may read other things.
    auto* watcher = new QDBusServiceWatcher(kService, *bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        available_.reset();
        if (!asking_) capabilities_.reset();
        withActions_.clear();
    });
    return true;
}

bool FreedesktopNotifications::available() {
    if (!connectBus()) return false;
    // Asked of the bus once, and again only when a server comes or goes.
    if (available_) return *available_;
    QDBusConnectionInterface* daemon = bus_->interface();
    if (!daemon) return false;
    available_ = daemon->isServiceRegistered(kService).value() ||
                 daemon->activatableServiceNames().value().contains(kService);
    return *available_;
}

void FreedesktopNotifications::askCapabilities() {
    if (asking_) return;
    asking_ = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call, kCapabilitiesTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QStringList> reply = *w;
        w->deleteLater();
        asking_ = false;
        // A server that does not say reads plain text and shows no actions.
        capabilities_ = reply.isError() ? QStringList() : reply.value();
        const std::vector<Announcement> waiting = std::move(waiting_);
        waiting_.clear();
        for (const Announcement& news : waiting) sendNow(news);
    });
}

bool FreedesktopNotifications::send(const Announcement& news) {
    if (!available()) return false;
    if (capabilities_) {
        sendNow(news);
        return true;
    }
    // Sent in order once the server has said what it reads.
    waiting_.push_back(news);
    askCapabilities();
    return true;
}

void FreedesktopNotifications::sendNow(const Announcement& news) {
    const QStringList can = capabilities_.value_or(QStringList());
    const QString appId = QGuiApplication::desktopFileName();
    // Urgency: 1 normal, 2 critical (stays until dismissed).
    QVariantMap hints{{"urgency", QVariant::fromValue<uchar>(news.recordingLost ? 2 : 1)}};
    if (!appId.isEmpty()) hints.insert("desktop-entry", appId);
    QString body = QString::fromStdString(news.text);
    // Guide text such as "Tom & Jerry <Live>" must show as it is written.
    if (can.contains("body-markup")) body = escapeNotificationMarkup(body);
    QStringList files;
    for (const std::string& file : news.files) files << QString::fromStdString(file);
    QStringList actions;
    if (!files.isEmpty() && can.contains("actions"))
        actions << "play" << tr("Play") << "show-in-folder" << tr("Show in Folder");

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    call << QString("Kelbo") << 0u << appId << QString::fromStdString(news.title) << body << actions << hints
         << -1;
    if (actions.isEmpty()) {
        bus_->send(call);
        return;
    }
    // The answer (the notification's id) comes later; the recorder never
    // waits on the desktop.
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, files](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError()) withActions_.insert(reply.value(), files);
        w->deleteLater();
    });
}

void FreedesktopNotifications::onActionInvoked(uint id, const QString& action) {
    const auto it = withActions_.constFind(id);
    if (it == withActions_.constEnd()) return;  // another program's notification
    const QStringList& files = *it;
    if (action == "play") emit playRequested(files);
    else if (action == "show-in-folder") emit showInFolderRequested(files);
}

void FreedesktopNotifications::onClosed(uint id, uint /*reason*/) { withActions_.remove(id); }

}  // namespace kelbo::ui
