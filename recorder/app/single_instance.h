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
    // What one misbehaving client may hold of the recorder: a slot, for
    // `requestMs` from its connection whatever it sends. A connection past
    // the slots is told the recorder is busy.
    struct Limits {
        int connections = 16;
        int requestMs = 5000;
    };
    // How long a later instance waits: to connect, for the answer (from
    // the connection on), and for a slot while the recorder is busy (asking
    // again; longer than the recorder lets a connection hold a slot).
    struct Patience {
        int connectMs = 2000;
        int answerMs = 15000;  // a status answer is immediate; a stop renames the parts first
        int busyMs = 6000;
    };

    // `settingsFolder` is the user's folder of the settings store.
    explicit SingleInstance(const QString& settingsFolder, QObject* parent = nullptr);
    void setLimits(Limits limits) { limits_ = limits; }
    void setPatience(Patience patience) { patience_ = patience; }

    // The first instance answers later ones from here on. False, with the
    // reason in listenError() (and the log), when it cannot.
    bool listen();
    QString listenError() const { return listenError_; }
    QString path() const { return path_; }

    // A later instance asks the first to come forward; false when it did
    // not take the request.
    bool askToComeForward() const;

    struct Answer {
        // NoRecorder: no socket, or nobody listens on it. Busy: every slot
        // stayed taken. Silent: the recorder took the connection (or left
        // it waiting) but gave no answer in time.
        enum class Outcome { Answered, NoRecorder, Untrusted, Busy, Silent };
        Outcome outcome = Outcome::NoRecorder;
        QByteArray reply;  // when answered: one line, without its break
        QString why;       // when not trusted
    };
    // The first instance's answer to a one-line request; asked again while
    // it is busy, up to the patience for that.
    Answer ask(const QByteArray& request) const;
    // Answers the requests other than "raise" (one line in, one line out).
    using CommandHandler = std::function<QByteArray(const QByteArray& request)>;
    void setCommandHandler(CommandHandler handler) { handler_ = std::move(handler); }

signals:
    void raiseRequested();

private:
    Answer askOnce(const QByteArray& request) const;
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
    Patience patience_;
    int connections_ = 0;
};

}  // namespace kelbo::app
