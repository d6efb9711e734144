#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace kelbo::app {

// One recorder per user: the first instance holds a lock beside the
// settings store and listens for later instances, which ask it to come
// forward and then end.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `settingsFolder` is the user's folder of the settings store.
    explicit SingleInstance(const QString& settingsFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first instance. A later one has asked the first to come
    // forward (when it could reach it) and must end.
    bool claim();

signals:
    void raiseRequested();

private:
    QString lockPath_;
    QString serverName_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

}  // namespace kelbo::app
