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
constexpr char kRaise[] = "raise\n";
}

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
        QLocalServer::removeServer(serverName_);
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = server_->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                    if (socket->readAll().startsWith("raise")) emit raiseRequested();
                    socket->disconnectFromServer();
                });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server_->listen(serverName_);
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (socket.waitForConnected(2000)) {
        socket.write(kRaise);
        socket.waitForBytesWritten(2000);
        socket.waitForDisconnected(1000);
    }
    return false;
}

}  // namespace kelbo::app
