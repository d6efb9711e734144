#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <optional>
#include <string>

namespace kelbo::ui {

// Keeps the computer from sleeping while a recording runs: a "block"
// inhibitor lock from logind (org.freedesktop.login1), held as the file
// descriptor it hands out and released by closing it. Without logind the
// recorder goes on, and says so once in the log.
class SleepInhibitor : public QObject {
    Q_OBJECT
public:
    explicit SleepInhibitor(QObject* parent = nullptr);
    ~SleepInhibitor() override;

    // The bus a test gives; otherwise the system bus, connected at first use.
    void setBus(const QDBusConnection& bus) { bus_ = bus; }
    // Asked for (without waiting) or released; `why` is what logind lists.
    void setHeld(bool held, const std::string& why);
    // logind has answered with a lock that is held now.
    bool held() const { return lock_.isValid(); }

private:
    void ask(const QString& why);

    std::optional<QDBusConnection> bus_;
    QDBusUnixFileDescriptor lock_;
    bool wanted_ = false;
    bool asked_ = false;  // for the recording that runs
    bool toldUnavailable_ = false;
};

}  // namespace kelbo::ui
