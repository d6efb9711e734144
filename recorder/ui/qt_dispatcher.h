#pragma once

#include "recorder/ports/ui_dispatcher.h"

#include <QObject>
#include <QPointer>

namespace kelbo::ui {

// Runs posted work on the thread of `context` (the user-interface thread)
// through its event loop.
class QtDispatcher : public UiDispatcher {
public:
    explicit QtDispatcher(QObject* context) : context_(context) {}
    void post(std::function<void()> task) override;

private:
    QPointer<QObject> context_;
};

}  // namespace kelbo::ui
