#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;

namespace kelbo::app {

// One recorder per user: the first instance holds a lock beside the
// settings store and listens for later instances, which ask it to come
// forward and then end, or send it a command and print its answer.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `settingsFolder` is the user's folder of the settings store.
    explicit SingleInstance(const QString& settingsFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first instance. A later one has asked the first to come
    // forward (when it could reach it) and must end.
    bool claim();

    // The first instance's answer to a one-line request; none when no
    // recorder answers.
    std::optional<QByteArray> ask(const QByteArray& request) const;
    // Answers the requests other than "raise" (one line in, one line out).
    using CommandHandler = std::function<QByteArray(const QByteArray& request)>;
    void setCommandHandler(CommandHandler handler) { handler_ = std::move(handler); }

signals:
    void raiseRequested();

private:
    void listen();
    QByteArray answer(const QByteArray& request);

    QString lockPath_;
    QString serverName_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    CommandHandler handler_;
};

}  // namespace kelbo::app
