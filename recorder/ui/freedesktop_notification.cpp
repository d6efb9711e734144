#include "freedesktop_notification.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace kelbo::ui {

bool sendFreedesktopNotification(QDBusConnection& bus, const QString& title, const QString& text,
                                 bool warning) {
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                       "/org/freedesktop/Notifications",
                                                       "org.freedesktop.Notifications", "Notify");
    // Urgency: 1 normal, 2 critical (stays until dismissed).
    const QVariantMap hints{{"urgency", QVariant::fromValue<uchar>(warning ? 2 : 1)}};
    // Servers read the body as a small markup language: guide text such as
    // "Tom & Jerry <Live>" or a link must show as it is written.
    QString body = text;
    body.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    call << QString("Kelbo") << 0u << QString("video-display") << title << body << QStringList() << hints << -1;
    // send(), not call(): the recorder never waits on the desktop.
    return bus.send(call);
}

}  // namespace kelbo::ui
