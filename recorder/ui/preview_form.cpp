#include "preview_form.h"

#include "preview_widget.h"

#include <QCloseEvent>
#include <QTimer>

#include <cmath>

namespace kelbo::ui {

namespace {
int px(double twips, double perPixel) { return static_cast<int>(std::lround(twips / perPixel)); }
}  // namespace

PreviewForm::PreviewForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), capture_(new PreviewWidget(this)) {
    setObjectName("PreviewForm");
    setWindowTitle("Preview");
    capture_->setObjectName("dzlCapture");
    // 4:3 below a 100 twip margin, as the control is first placed.
    capture_->setGeometry(px(10, kTwipsPerPixelX), px(100, kTwipsPerPixelY),
                          px(2895, kTwipsPerPixelX), px(2895.0 / 640 * 480, kTwipsPerPixelY));
}

void PreviewForm::placeAt(const TwipsRect& rect) {
    placing_ = true;
    placed_ = QRect(px(rect.left, kTwipsPerPixelX), px(rect.top, kTwipsPerPixelY),
                    px(rect.width, kTwipsPerPixelX), px(rect.height, kTwipsPerPixelY));
    setGeometry(placed_);
    fitCapture();
    placing_ = false;
}

TwipsRect PreviewForm::placement() const { return placement(geometry()); }

TwipsRect PreviewForm::placement(const QRect& g) {
    return {g.x() * kTwipsPerPixelX, g.y() * kTwipsPerPixelY, g.width() * kTwipsPerPixelX,
            g.height() * kTwipsPerPixelY};
}

void PreviewForm::fitCapture() {
    // The picture fills the window less 50 twips across and 250 down.
    capture_->setGeometry(0, 0, std::max(1, width() - px(50, kTwipsPerPixelX)),
                          std::max(1, height() - px(250, kTwipsPerPixelY)));
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
