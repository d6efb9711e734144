#include "sleep_inhibitor.h"

#include "recorder/ports/log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace kelbo::ui {

SleepInhibitor::SleepInhibitor(QObject* parent) : QObject(parent) {}

SleepInhibitor::~SleepInhibitor() = default;

void SleepInhibitor::setHeld(bool held, const std::string& why) {
    wanted_ = held;
    if (!held) {
        if (lock_.isValid()) log::info(log::Area::Desktop, "Sleep allowed again");
        lock_ = QDBusUnixFileDescriptor();  // closing it releases the lock
        asked_ = false;
        return;
    }
    // Asked once a recording, answered or not.
    if (!asked_) {
        asked_ = true;
        ask(QString::fromStdString(why));
    }
}

void SleepInhibitor::ask(const QString& why) {
    if (!bus_) bus_ = QDBusConnection::systemBus();
    if (!bus_->isConnected()) {
        if (!toldUnavailable_) log::warn(log::Area::Desktop, "Sleep is not held off while recording: there is no system bus");
        toldUnavailable_ = true;
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QString("sleep") << QString("Kelbo") << why << QString("block");
    // The tick never waits on logind.
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (reply.isError()) {
            if (!toldUnavailable_)
                log::warn(log::Area::Desktop, "Sleep is not held off while recording: " + reply.error().message().toStdString());
            toldUnavailable_ = true;
            return;
        }
        // The recording may have ended while logind answered.
        if (wanted_) {
            lock_ = reply.value();
            log::info(log::Area::Desktop, "Sleep held off while recording");
        }
    });
}

}  // namespace kelbo::ui
