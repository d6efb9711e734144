#include "progress_bar_ex.h"

#include "keyed_status_bar.h"
#include "picture_box.h"
#include "common/text_util.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>

namespace kelbo::ui {

namespace {
constexpr long kTypeMismatch = 13;
constexpr long kMinNotBelowMax = -2147221502L;  // 0x80040002
constexpr long kMaxNotAboveMin = -2147221501L;  // 0x80040003
constexpr long kButtonFace = 0x8000000FL;
constexpr int kHostInset = 4;  // pixels the picture stays inside its panel

int whole(double value) { return static_cast<int>(roundHalfEven(value)); }
}  // namespace

ProgressBarEx::ProgressBarEx() = default;

QColor ProgressBarEx::toQColor(long colour) {
    if (colour == kButtonFace) return QApplication::palette().color(QPalette::Button);
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void ProgressBarEx::setClient(QObject* client) {
    auto* picture = qobject_cast<PictureBox*>(client);
    if (!picture)
        throw ProgressBarError(kTypeMismatch, "CProgressBarEx.Client",
                               "Client property must be of type PictureBox.");
    client_ = picture;
    client_->setForeColor(toQColor(fore_));
    client_->setBackColor(toQColor(back_));
    client_->setEnabled(false);
    client_->setFocusPolicy(Qt::NoFocus);
    client_->setVisible(false);
    ResizeEx();
}

void ProgressBarEx::setHost(QObject* host) {
    auto* bar = qobject_cast<KeyedStatusBar*>(host);
    if (!bar)
        throw ProgressBarError(kTypeMismatch, "CProgressBarEx.Host",
                               "Host property must be of type StatusBar.");
    host_ = bar;
    if (client_) ResizeEx();
}

void ProgressBarEx::setTextOnly(bool textOnly) {
    textOnly_ = textOnly;
    if (textOnly_) {
        if (host_) host_->clearPanelPicture(panelKey_);
    } else {
        DrawBar();
    }
}

void ProgressBarEx::setValue(int value) {
    value_ = std::clamp(value, min_, max_);
    Refresh(false);
}

void ProgressBarEx::setMin(int min) {
    if (!(min < max_))
        throw ProgressBarError(kMinNotBelowMax, "CProgressBar.Min", "Min property must be less than Max.");
    min_ = min;
    Refresh(false);
}

void ProgressBarEx::setMax(int max) {
    if (!(max > min_))
        throw ProgressBarError(kMaxNotAboveMin, "CProgressBar.Max",
                               "Max property must be greater than Min.");
    max_ = max;
    Refresh();
}

void ProgressBarEx::setForecolor(long colour) {
    fore_ = colour;
    if (!client_) return;
    client_->setForeColor(toQColor(colour));
    Refresh();
}

void ProgressBarEx::setBackColor(long colour) {
    back_ = colour;
    if (!client_) return;
    client_->setBackColor(toQColor(colour));
    Refresh();
}

void ProgressBarEx::Refresh(bool clearFirst) {
    if (!client_) return;
    if (clearFirst) {
        client_->clear();
        lastFilled_ = -1;  // a cleared picture must be drawn again
    }
    DrawBar();
}

void ProgressBarEx::Resize() {
    CalcBlocks();
    Refresh(true);
}

void ProgressBarEx::CalcBlocks() {
    margin_ = 2;
    gap_ = 3;
    innerHeight_ = whole(client_->pictureHeight() - 2.0 * margin_);
    blockWidth_ = whole(2.0 / 3.0 * innerHeight_);
    blocks_ = client_->pictureWidth() / std::max(1, blockWidth_ + gap_) + 1;
}

void ProgressBarEx::ResizeEx() {
    if (resizing_ || !client_) return;
    if (host_ && !panelKey_.empty())
        client_->setPictureSize(host_->panelWidth(panelKey_) - kHostInset, host_->height() - kHostInset);
    CalcBlocks();
    int total = (blockWidth_ + gap_) * blocks_ + gap_;
    const int width = client_->pictureWidth();
    if (total - width >= width - (total - blockWidth_ - gap_)) {
        --blocks_;  // the last block would stick out by half or more
        total = (blockWidth_ + gap_) * blocks_ + gap_;
    }
    resizing_ = true;
    client_->setPictureSize(total, client_->pictureHeight());
    resizing_ = false;
    Refresh(true);
}

void ProgressBarEx::DrawBar() {
    if (textOnly_ || !client_) return;
    const double share = static_cast<double>(value_ - min_) / static_cast<double>(max_ - min_);
    const int filled = whole(share * blocks_);
    if (filled == lastFilled_) return;
    lastFilled_ = filled;
    ++draws_;
    int x = margin_;
    for (int block = 1; block <= blocks_; ++block, x += blockWidth_ + gap_)
        client_->fillBox(x, margin_, x + blockWidth_ - 1, margin_ + innerHeight_ - 1,
                         block <= filled ? client_->foreColor() : client_->backColor());
    if (host_) host_->setPanelPicture(panelKey_, client_->image());
}

}  // namespace kelbo::ui
