#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;

namespace kelbo::app {

// One recorder per user: the first instance holds a lock beside the
// settings store for its whole run. It needs no application object, so a
// later instance can end before it opens a display.
class InstanceLock {
public:
    // `settingsFolder` is the user's folder of the settings store.
    explicit InstanceLock(const QString& settingsFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True for the first instance; a later one must end.
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

// The first instance listens for later ones, which ask it to come forward
// and then end, or send it a command and print its answer.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `settingsFolder` is the user's folder of the settings store.
    explicit SingleInstance(const QString& settingsFolder, QObject* parent = nullptr);

    // The first instance answers later ones from here on.
    void listen();
    // A later instance asks the first to come forward; false when it did
    // not take the request.
    bool askToComeForward() const;

    // The first instance's answer to a one-line request; none when no
    // recorder answers.
    std::optional<QByteArray> ask(const QByteArray& request) const;
    // Answers the requests other than "raise" (one line in, one line out).
    using CommandHandler = std::function<QByteArray(const QByteArray& request)>;
    void setCommandHandler(CommandHandler handler) { handler_ = std::move(handler); }

signals:
    void raiseRequested();

private:
    QByteArray answer(const QByteArray& request);

    QString serverName_;
    QLocalServer* server_ = nullptr;
    CommandHandler handler_;
};

}  // namespace kelbo::app
