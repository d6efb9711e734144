#pragma once

#include <QObject>

class QSocketNotifier;

namespace kelbo::app {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the user-interface thread,
// so the program ends the same orderly way as when the window is closed.
class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kelbo::app
