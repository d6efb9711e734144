#include "preview_form.h"

#include "preview_widget.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace kelbo::ui {

PreviewForm::PreviewForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      capture_(new PreviewWidget(this)),
      caption_(new QLabel(this)) {
    setObjectName("PreviewForm");
    setWindowTitle(tr("Preview"));
    capture_->setObjectName("dzlCapture");
    // 4:3 below a 100 twip margin, as the control is first placed.
    capture_->setGeometry(px(10), px(100), px(2895), px(2895.0 / 640 * 480));
    caption_->setObjectName("previewCaption");
    // It names the device and the channel, which a playlist names.
    caption_->setTextFormat(Qt::PlainText);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setWordWrap(true);
    caption_->setAutoFillBackground(true);
    QPalette colours = caption_->palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, QColor(220, 220, 220));
    caption_->setPalette(colours);
    caption_->hide();
}

void PreviewForm::setCaption(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (shown == caption_->text() && caption_->isHidden() == shown.isEmpty()) return;
    caption_->setText(shown);
    caption_->setGeometry(capture_->geometry());
    caption_->setVisible(!shown.isEmpty());
    if (!shown.isEmpty()) caption_->raise();
}

QString PreviewForm::caption() const { return caption_->isHidden() ? QString() : caption_->text(); }

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
    caption_->setGeometry(capture_->geometry());
}

void PreviewForm::Set_Topmost() {
    if (yielding_) return;
    if (!(windowFlags() & Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (!isVisible()) return;
        show();
    }
    raise();
}

void PreviewForm::setAboveOthers(bool above) {
    dialogOpen_ = !above;
    followStacking();
}

void PreviewForm::setApplicationActive(bool active) {
    applicationActive_ = active;
    followStacking();
}

void PreviewForm::followStacking() {
    const bool above = !dialogOpen_ && applicationActive_;
    if (yielding_ == !above) return;
    yielding_ = !above;
    // The native window's hint only: changing the widget's flags would hide
    // and show the window again.
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowStaysOnTopHint, above);
    if (above && isVisible()) raise();
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
