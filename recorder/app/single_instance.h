#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

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

// Where the command socket of the recorder that keeps its settings in
// `settingsFolder` lives: $XDG_RUNTIME_DIR when it is the user's own and
// closed to others, else a folder "run" of the settings folder, made the
// user's alone. Never a shared folder, where another user could take the
// name first. Empty, with the reason in `why`, when no such folder can be had.
QString commandSocketPath(const QString& settingsFolder, QString* why = nullptr);

// The first instance listens for later ones, which ask it to come forward
// and then end, or send it a command and print its answer. Only the user's
// own programs are answered, and a later instance trusts only a socket of
// the user's own.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // What one misbehaving client may hold of the recorder.
    struct Limits {
        int connections = 16;
        int idleMs = 5000;  // a connection that sends nothing this long is closed
    };

    // `settingsFolder` is the user's folder of the settings store.
    explicit SingleInstance(const QString& settingsFolder, QObject* parent = nullptr);
    void setLimits(Limits limits) { limits_ = limits; }

    // The first instance answers later ones from here on. False, with the
    // reason in listenError() (and the log), when it cannot.
    bool listen();
    QString listenError() const { return listenError_; }
    QString path() const { return path_; }

    // A later instance asks the first to come forward; false when it did
    // not take the request.
    bool askToComeForward() const;

    struct Answer {
        enum class Outcome { Answered, NoRecorder, Untrusted };
        Outcome outcome = Outcome::NoRecorder;
        QByteArray reply;  // when answered: one line, without its break
        QString why;       // when not trusted
    };
    // The first instance's answer to a one-line request.
    Answer ask(const QByteArray& request) const;
    // Answers the requests other than "raise" (one line in, one line out).
    using CommandHandler = std::function<QByteArray(const QByteArray& request)>;
    void setCommandHandler(CommandHandler handler) { handler_ = std::move(handler); }

signals:
    void raiseRequested();

private:
    void accept(QLocalSocket* socket);
    QByteArray answer(const QByteArray& request);
    // Connected to a socket of the user's own, served by the user's own
    // program; else the reason.
    QString distrust(const QLocalSocket& socket) const;

    QString path_;
    QString pathError_;
    QString listenError_;
    QLocalServer* server_ = nullptr;
    CommandHandler handler_;
    Limits limits_;
    int connections_ = 0;
};

}  // namespace kelbo::app
