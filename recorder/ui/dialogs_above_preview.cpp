#include "dialogs_above_preview.h"

#include "preview_form.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

namespace kelbo::ui {

namespace {
QDialog* topLevelDialog(QObject* object) {
    auto* dialog = qobject_cast<QDialog*>(object);
    return dialog && dialog->isWindow() ? dialog : nullptr;
}
}  // namespace

DialogsAbovePreview::DialogsAbovePreview(PreviewForm& preview, QObject* parent)
    : QObject(parent), preview_(&preview) {
    qApp->installEventFilter(this);
    // Above other applications' windows only while Kelbo is the one in use.
    const auto follow = [this](Qt::ApplicationState state) {
        if (preview_) preview_->setApplicationActive(state == Qt::ApplicationActive);
    };
    connect(qApp, &QGuiApplication::applicationStateChanged, this, follow);
    follow(QGuiApplication::applicationState());
}

bool DialogsAbovePreview::dialogShown() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (topLevelDialog(window) && window->isVisible()) return true;
    return false;
}

bool DialogsAbovePreview::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    QDialog* dialog = topLevelDialog(watched);
    if (!dialog) return false;
    if (type == QEvent::Show) {
        if (preview_) preview_->setAboveOthers(false);
        dialog->raise();
    }
    // A box closing may be followed at once by another; look once the
    // windows have settled.
    if (!pending_) {
        pending_ = true;
        QTimer::singleShot(0, this, &DialogsAbovePreview::follow);
    }
    return false;
}

void DialogsAbovePreview::follow() {
    pending_ = false;
    if (preview_) preview_->setAboveOthers(!dialogShown());
}

}  // namespace kelbo::ui
