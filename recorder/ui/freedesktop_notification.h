#pragma once

#include <QDBusConnection>
#include <QString>

namespace kelbo::ui {

// A desktop notification through the freedesktop notification service
// (org.freedesktop.Notifications) on `bus`. Sent without waiting for an
// answer: false only when the bus is not there at all.
bool sendFreedesktopNotification(QDBusConnection& bus, const QString& title, const QString& text,
                                 bool warning);

}  // namespace kelbo::ui
