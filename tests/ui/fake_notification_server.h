#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QStringList>

#include <vector>

namespace kelbo::testing {

// Stands in for the desktop's notification server: says what it can do and
// remembers each notification.
class FakeNotificationServer : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == "GetCapabilities") {
            connection.send(message.createReply(QVariantList{capabilities}));
            return true;
        }
        notifications.push_back(message);
        connection.send(message.createReply(QVariantList{++lastId}));
        return true;
    }
    QStringList capabilities;
    std::vector<QDBusMessage> notifications;
    uint lastId = 40;
};

}  // namespace kelbo::testing
