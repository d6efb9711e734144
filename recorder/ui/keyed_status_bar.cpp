#include "keyed_status_bar.h"

#include "elided_label.h"
#include "picture_box.h"
#include "plain_text.h"
#include "progress_bar_ex.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPixmap>
#include <QToolTip>

namespace kelbo::ui {

namespace {
constexpr int kProgressPanelWidth = 120;
}

KeyedStatusBar::KeyedStatusBar(QWidget* parent) : QStatusBar(parent) {}

KeyedStatusBar::~KeyedStatusBar() = default;

void KeyedStatusBar::addPanel(const std::string& key, int width, Fit fit) {
    // Every panel stays in sight however narrow the window: the texts give
    // way, not the panels to their right.
    QLabel* label = fit == Fit::Elide ? new ElidedLabel(width, this) : new QLabel(this);
    label->setObjectName(QString::fromStdString(key));
    // The panels quote guide text and error texts.
    label->setTextFormat(Qt::PlainText);
    if (fit == Fit::Fixed) label->setFixedWidth(width);
    addPermanentWidget(label, width > 0 ? 0 : 1);
    panels_[key] = label;
    shown_[key] = true;
}

QLabel* KeyedStatusBar::panel(const std::string& key) const {
    const auto it = panels_.find(key);
    return it == panels_.end() ? nullptr : it->second;
}

int KeyedStatusBar::panelWidth(const std::string& key) const {
    const QLabel* label = panel(key);
    return label ? label->width() : 0;
}

void KeyedStatusBar::setPanelPicture(const std::string& key, const QImage& picture) {
    if (QLabel* label = panel(key)) label->setPixmap(QPixmap::fromImage(picture));
}

void KeyedStatusBar::clearPanelPicture(const std::string& key) {
    if (QLabel* label = panel(key)) label->setPixmap(QPixmap());
}

void KeyedStatusBar::setPanelText(const std::string& key, const std::string& text) {
    // The fixed texts (the device's state words) have translations of their
    // own; the others come with theirs through showPanelText.
    showPanelText(key, text, QCoreApplication::translate("StatusPanel", text.c_str()).toStdString());
}

void KeyedStatusBar::showPanelText(const std::string& key, const std::string& text, const std::string& given) {
    texts_[key] = text;
    const QString shown = given != text ? QString::fromStdString(given)
                                        : QString::fromLocal8Bit(text.c_str(), static_cast<qsizetype>(text.size()));
    if (auto* elided = qobject_cast<ElidedLabel*>(panel(key))) elided->setFullText(shown);
    else if (QLabel* label = panel(key)) label->setText(shown);
}

std::string KeyedStatusBar::shownPanelText(const std::string& key) const {
    const QLabel* label = panel(key);
    return label ? label->text().toStdString() : std::string();
}

std::string KeyedStatusBar::panelText(const std::string& key) const {
    if (const auto given = texts_.find(key); given != texts_.end()) return given->second;
    const QLabel* label = panel(key);
    return label ? label->text().toLocal8Bit().toStdString() : std::string();
}

void KeyedStatusBar::setPanelTip(const std::string& key, const std::string& tip) {
    const QString text = QString::fromStdString(tip);
    if (auto* elided = qobject_cast<ElidedLabel*>(panel(key))) elided->setTip(text);
    else if (QLabel* label = panel(key)) label->setToolTip(plainForAutoText(text));
}

void KeyedStatusBar::setPanelVisible(const std::string& key, bool visible) {
    if (QLabel* label = panel(key)) {
        label->setVisible(visible);
        shown_[key] = visible;
    }
}

bool KeyedStatusBar::panelVisible(const std::string& key) const {
    const auto it = shown_.find(key);
    return it != shown_.end() && it->second;
}

ProgressBarView& KeyedStatusBar::progressBar() {
    if (!bar_) {
        if (!panel(panel::kProgress)) addPanel(panel::kProgress, kProgressPanelWidth, Fit::Fixed);
        picture_ = new PictureBox(this);
        bar_ = std::make_unique<ProgressBarEx>();
        bar_->setClient(picture_);
        bar_->setHost(this);
        bar_->setPanelKey(panel::kProgress);
        bar_->ResizeEx();
    }
    return *bar_;
}

void KeyedStatusBar::setPanelToolTip(const std::string& key, std::function<QString()> tip) {
    QLabel* label = panel(key);
    if (!label) return;
    tips_[label] = std::move(tip);
    label->installEventFilter(this);
}

bool KeyedStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        if (const auto tip = tips_.find(watched); tip != tips_.end()) {
            const auto* help = static_cast<QHelpEvent*>(event);
            QToolTip::showText(help->globalPos(), plainForAutoText(tip->second()), static_cast<QWidget*>(watched));
            return true;
        }
    }
    return QStatusBar::eventFilter(watched, event);
}

}  // namespace kelbo::ui
