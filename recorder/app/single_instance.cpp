#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kelbo::app {

namespace {
constexpr char kRaise[] = "raise";
constexpr int kConnectMs = 2000;
// A status answer is immediate; a stop renames the parts first.
constexpr int kAnswerMs = 15000;
}  // namespace

SingleInstance::SingleInstance(const QString& settingsFolder, QObject* parent)
    : QObject(parent), lockPath_(QDir(settingsFolder).filePath("kelbo.instance.lock")) {
    // The name follows the settings folder, so users (and tests with their
    // own folders) do not meet each other.
    const QByteArray id =
        QCryptographicHash::hash(QDir(settingsFolder).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    serverName_ = "kelbo-" + QString::fromLatin1(id);
}

SingleInstance::~SingleInstance() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

bool SingleInstance::claim() {
    QDir().mkpath(QFileInfo(lockPath_).absolutePath());
    lockFd_ = ::open(lockPath_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // The kernel drops the lock when the holder ends, however it ends.
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
        listen();
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (socket.waitForConnected(kConnectMs)) {
        socket.write(QByteArray(kRaise) + '\n');
        socket.waitForBytesWritten(kConnectMs);
        socket.waitForDisconnected(1000);
    }
    return false;
}

void SingleInstance::listen() {
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) return;
                const QByteArray request = socket->readLine().trimmed();
                const QByteArray reply = answer(request);
                if (!reply.isEmpty()) {
                    socket->write(reply + '\n');
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    server_->listen(serverName_);
}

QByteArray SingleInstance::answer(const QByteArray& request) {
    if (request == kRaise) {
        emit raiseRequested();
        return {};
    }
    if (!handler_) return R"({"error":"the recorder is starting"})";
    return handler_(request);
}

std::optional<QByteArray> SingleInstance::ask(const QByteArray& request) const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kConnectMs)) return std::nullopt;
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(kConnectMs)) return std::nullopt;
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(kAnswerMs)) reply += socket.readAll();
    reply += socket.readAll();
    if (!reply.contains('\n')) return std::nullopt;
    return reply.trimmed();
}

}  // namespace kelbo::app
