#include "elided_label.h"

#include "plain_text.h"

#include <QPainter>
#include <QStyle>

namespace kelbo::ui {

namespace {
// Room for the frame and a little air either side of the text.
constexpr int kPadding = 8;
}

ElidedLabel::ElidedLabel(int preferredWidth, QWidget* parent)
    : QLabel(parent), preferredWidth_(preferredWidth) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // Guide text: a title that looks like markup would otherwise be laid
    // out as rich text, loading any file an <img> in it names.
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setFullText(const QString& text) {
    if (text == this->text()) return;
    setText(text);
    setToolTip(plainForAutoText(tip_.isEmpty() ? text : tip_));
    updateGeometry();
}

void ElidedLabel::setTip(const QString& tip) {
    tip_ = tip;
    setToolTip(plainForAutoText(tip_.isEmpty() ? text() : tip_));
}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, contentsRect().width() - kPadding / 2));
}

QSize ElidedLabel::sizeHint() const {
    // Without a width of its own the panel takes what the others leave.
    const int width = preferredWidth_ > 0 ? preferredWidth_ : leastWidth();
    return {width, QLabel::sizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {std::min(leastWidth(), sizeHint().width()), QLabel::minimumSizeHint().height()};
}

int ElidedLabel::leastWidth() const {
    // A letter and the ellipsis still say which panel it is.
    return fontMetrics().horizontalAdvance(QStringLiteral("W…")) + kPadding;
}

void ElidedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(kPadding / 4, 0, -kPadding / 4, 0);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shownText());
}


}  // namespace kelbo::ui
