#include "picture_box.h"

#include <QPainter>

namespace kelbo::ui {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), image_(1, 1, QImage::Format_RGB32) {
    setVisible(false);
    image_.fill(back_);
}

void PictureBox::setPictureSize(int width, int height) {
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    if (width == image_.width() && height == image_.height()) return;
    image_ = QImage(width, height, QImage::Format_RGB32);
    clear();
}

void PictureBox::clear() { image_.fill(back_); }

void PictureBox::fillBox(int x1, int y1, int x2, int y2, const QColor& colour) {
    QPainter painter(&image_);
    painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), colour);
}

}  // namespace kelbo::ui
