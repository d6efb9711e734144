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

SingleInstance::SingleInstance(const QString& settingsFolder, QObject* parent) : QObject(parent) {
    // The name follows the settings folder, so users (and tests with their
    // own folders) do not meet each other.
    const QByteArray id =
        QCryptographicHash::hash(QDir(settingsFolder).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    serverName_ = "kelbo-" + QString::fromLatin1(id);
}

bool SingleInstance::askToComeForward() const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(QByteArray(kRaise) + '\n');
    if (!socket.waitForBytesWritten(kConnectMs)) return false;
    // The first instance hangs up once it has read the request.
    return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(kConnectMs);
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
