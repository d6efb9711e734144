#include "single_instance.h"

#include "command_request.h"
#include "recorder/ports/log.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>
#include <optional>

namespace kelbo::app {

namespace {
constexpr char kRaise[] = "raise";
// The whole reply to a connection past the slots.
constexpr char kBusy[] = R"({"busy":true})";
constexpr int kBusyPauseMs = 100;

QString describeUser(uid_t uid) { return "user " + QString::number(uid); }

// A folder nobody but the user can reach: a folder (a link to one only where
// `followLink`), the user's, closed to group and others.
QString privateFolderFault(const QString& folder, bool followLink) {
    struct stat st {};
    const QByteArray path = QFile::encodeName(folder);
    if ((followLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) != 0)
        return folder + " cannot be read";
    if (!S_ISDIR(st.st_mode)) return folder + " is not a folder";
    if (st.st_uid != ::getuid()) return folder + " belongs to " + describeUser(st.st_uid);
    if ((st.st_mode & 077) != 0) return folder + " is open to other users";
    return {};
}

std::optional<uid_t> peerUid(qintptr descriptor) {
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 ||
        ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return std::nullopt;
    return credentials.uid;
}
}  // namespace

InstanceLock::InstanceLock(const QString& settingsFolder) {
    const QString path = QDir(settingsFolder).filePath("kelbo.instance.lock");
    QDir().mkpath(settingsFolder);
    fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // The kernel drops the lock when the holder ends, however it ends.
    held_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

QString commandSocketPath(const QString& settingsFolder, QString* why) {
    // The name follows the settings folder, so recorders with folders of
    // their own (tests, portable set-ups) do not meet each other.
    const QString absolute = QDir(settingsFolder).absolutePath();
    const QByteArray id = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString name = "kelbo-" + QString::fromLatin1(id);

    QString folder;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && privateFolderFault(runtime, true).isEmpty()) {
        folder = runtime;
    } else {
        folder = absolute + "/run";
        QDir().mkpath(absolute);
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        struct stat st {};
        // Only the user's own folder is tightened; another's is refused below.
        if (::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            st.st_uid == ::getuid() && (st.st_mode & 077) != 0)
            ::chmod(QFile::encodeName(folder).constData(), 0700);
        if (const QString fault = privateFolderFault(folder, false); !fault.isEmpty()) {
            if (why) *why = "no folder of the user's own for the command socket: " + fault;
            return {};
        }
    }
    QString path = folder + '/' + name;
    if (static_cast<size_t>(QFile::encodeName(path).size()) >= sizeof(sockaddr_un::sun_path)) {
        if (why) *why = "the command socket's path " + path + " is too long";
        return {};
    }
    return path;
}

SingleInstance::SingleInstance(const QString& settingsFolder, QObject* parent) : QObject(parent) {
    path_ = commandSocketPath(settingsFolder, &pathError_);
}

QString SingleInstance::distrust(const QLocalSocket& socket) const {
    const std::optional<uid_t> uid = peerUid(socket.socketDescriptor());
    if (!uid) return "the owner of the command socket " + path_ + " cannot be told";
    if (*uid != ::getuid()) return "the command socket " + path_ + " is served by " + describeUser(*uid);
    return {};
}

SingleInstance::Answer SingleInstance::ask(const QByteArray& request) const {
    const QDeadlineTimer patience(patience_.busyMs);
    for (;;) {
        Answer answer = askOnce(request);
        if (answer.outcome != Answer::Outcome::Busy || patience.hasExpired()) return answer;
        QThread::msleep(kBusyPauseMs);
    }
}

SingleInstance::Answer SingleInstance::askOnce(const QByteArray& request) const {
    Answer answer;
    if (path_.isEmpty()) {
        answer.outcome = Answer::Outcome::Untrusted;
        answer.why = pathError_;
        return answer;
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(path_).constData(), &st) != 0) return answer;  // nobody listens
    if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) {
        answer.outcome = Answer::Outcome::Untrusted;
        answer.why = "the command socket " + path_ + " belongs to " + describeUser(st.st_uid);
        return answer;
    }
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(patience_.connectMs)) {
        // A socket left by a recorder that ended refuses at once; one whose
        // recorder does not take its connections lets them wait.
        const auto why = socket.error();
        if (why != QLocalSocket::ConnectionRefusedError && why != QLocalSocket::ServerNotFoundError)
            answer.outcome = Answer::Outcome::Silent;
        return answer;
    }
    if (const QString why = distrust(socket); !why.isEmpty()) {
        answer.outcome = Answer::Outcome::Untrusted;
        answer.why = why;
        return answer;
    }
    const QDeadlineTimer deadline(patience_.answerMs);
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        // Hung up on before the request went out, its busy reply perhaps
        // unread: what the recorder does with a connection past its slots.
        const bool hungUp = socket.error() == QLocalSocket::PeerClosedError;
        answer.outcome = hungUp ? Answer::Outcome::Busy : Answer::Outcome::Silent;
        return answer;
    }
    answer.outcome = Answer::Outcome::Silent;
    QByteArray reply;
    while (!reply.contains('\n') && !deadline.hasExpired() &&
           socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
        reply += socket.readAll();
    reply += socket.readAll();
    if (!reply.contains('\n')) return answer;
    answer.reply = reply.trimmed();
    answer.outcome = answer.reply == kBusy ? Answer::Outcome::Busy : Answer::Outcome::Answered;
    return answer;
}

bool SingleInstance::askToComeForward() const {
    if (path_.isEmpty()) return false;
    struct stat st {};
    if (::lstat(QFile::encodeName(path_).constData(), &st) != 0 || st.st_uid != ::getuid()) return false;
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(patience_.connectMs) || !distrust(socket).isEmpty()) return false;
    socket.write(QByteArray(kRaise) + '\n');
    if (!socket.waitForBytesWritten(patience_.connectMs)) return false;
    // The first instance hangs up once it has read the request, saying
    // nothing unless it is too busy to read it.
    const bool ended =
        socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(patience_.connectMs);
    return ended && !socket.readAll().startsWith(kBusy);
}

bool SingleInstance::listen() {
    if (path_.isEmpty()) {
        listenError_ = pathError_;
    } else {
        // The folder is the user's own: what is there is a socket left by a
        // run that did not end in order.
        QLocalServer::removeServer(path_);
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = server_->nextPendingConnection()) accept(socket);
        });
        if (server_->listen(path_)) return true;
        listenError_ = "cannot listen on " + path_ + ": " + server_->errorString();
    }
    log::warn(log::Area::Commands, "Command socket: " + listenError_.toStdString() +
              "; kelbo --status, --stop-recording and --reload will not reach this recorder");
    return false;
}

void SingleInstance::accept(QLocalSocket* socket) {
    const auto refuse = [socket] {
        socket->abort();
        socket->deleteLater();
    };
    const std::optional<uid_t> uid = peerUid(socket->socketDescriptor());
    if (!uid || *uid != ::getuid()) {
        const QString who = uid ? describeUser(*uid) : QString("an unknown user");
        log::errorOften("command socket stranger",
                        "Command socket: a connection from " + who.toStdString() + " refused");
        return refuse();
    }
    if (connections_ >= limits_.connections) {
        log::errorOften("command socket full", "Command socket: " + std::to_string(connections_) +
                                                   " connections open; another told the recorder is busy");
        // Told, not hung up on: the client can say the recorder is busy,
        // not that none runs.
        socket->write(QByteArray(kBusy) + '\n');
        socket->flush();
        socket->disconnectFromServer();
        socket->deleteLater();
        return;
    }
    ++connections_;
    connect(socket, &QObject::destroyed, this, [this] { --connections_; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);

    // One deadline for the whole request, never put off by what arrives:
    // a client trickling a byte at a time holds its slot no longer.
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, refuse);
    deadline->start(limits_.requestMs);

    auto line = std::make_shared<RequestLine>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, line] {
        const QByteArray bytes = socket->readAll();
        if (line->done()) return;
        line->add(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        if (!line->done()) return;
        const QByteArray reply = line->tooLong()
            ? QByteArray::fromStdString(errorReply("request longer than " +
                                                   std::to_string(RequestLine::kMaxBytes / 1024) + " KiB"))
            : answer(QByteArray::fromStdString(*line->line()));
        if (!reply.isEmpty()) {
            socket->write(reply + '\n');
            socket->flush();
        }
        socket->disconnectFromServer();
    });
}

QByteArray SingleInstance::answer(const QByteArray& request) {
    log::debug(log::Area::Commands, "Request: " + request.left(200).toStdString());
    if (request == kRaise) {
        log::info(log::Area::Commands, "A second start asked for the window");
        emit raiseRequested();
        return {};
    }
    if (!handler_) return QByteArray::fromStdString(errorReply("the recorder is starting"));
    return handler_(request);
}

}  // namespace kelbo::app
