#include "preview_widget.h"

#include <QPainter>

namespace kelbo::ui {

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewWidget::showFrame(const PreviewFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 || size().isEmpty()) return;
    const QImage picture(frame.pixels.data(), frame.width, frame.height, frame.stride,
                         QImage::Format_RGB32);
    // Both copy, so the frame's memory may go once this returns.
    shown_ = picture.size() == size()
                 ? picture.copy()
                 : picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    update();
}

void PreviewWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (shown_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, shown_);
}

}  // namespace kelbo::ui
