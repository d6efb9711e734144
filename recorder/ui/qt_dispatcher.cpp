#include "qt_dispatcher.h"

#include <QMetaObject>

namespace kelbo::ui {

void QtDispatcher::post(std::function<void()> task) {
    // Posting to a context that is gone drops the task, as the program ends.
    if (QObject* context = context_.data())
        QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
}

}  // namespace kelbo::ui
