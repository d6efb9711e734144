#include "preview_form.h"

#include "preview_widget.h"

#include <QCloseEvent>
#include <QTimer>

#include <cmath>

namespace kelbo::ui {

PreviewForm::PreviewForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), capture_(new PreviewWidget(this)) {
    setObjectName("PreviewForm");
    setWindowTitle("Preview");
    capture_->setObjectName("dzlCapture");
    // 4:3 below a 100 twip margin, as the control is first placed.
    capture_->setGeometry(px(10), px(100), px(2895), px(2895.0 / 640 * 480));
}

void PreviewForm::placeAt(const TwipsRect& rect) {
    placing_ = true;
    placed_ = QRect(px(rect.left), px(rect.top), px(rect.width), px(rect.height));
    setGeometry(placed_);
    fitCapture();
    placing_ = false;
}

TwipsRect PreviewForm::placement() const { return placement(geometry()); }

TwipsRect PreviewForm::placement(const QRect& g) {
    return {twips(g.x()), twips(g.y()), twips(g.width()), twips(g.height())};
}

void PreviewForm::fitCapture() {
    // The picture fills the window less 50 twips across and 250 down.
    capture_->setGeometry(0, 0, std::max(1, width() - px(50)), std::max(1, height() - px(250)));
}

void PreviewForm::Set_Topmost() {
    if (!(windowFlags() & Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (!isVisible()) return;
        show();
    }
    raise();
}

void PreviewForm::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    emit closeBoxPressed();
}

void PreviewForm::snapBackIfLocked() {
    // A locked preview goes back where the main window put it.
    if (placing_ || !locked() || !placed_.isValid() || geometry() == placed_) return;
    QTimer::singleShot(0, this, [this] {
        if (locked() && geometry() != placed_) placeAt(placement(placed_));
    });
}

void PreviewForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    snapBackIfLocked();
}

void PreviewForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (placing_) return;
    if (locked())
        snapBackIfLocked();
    else
        fitCapture();
}

}  // namespace kelbo::ui
