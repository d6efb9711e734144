#include "transport_bar.h"

#include "common/settings_keys.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace kelbo::ui {

namespace {

constexpr int kTwips = settings::kTwipsPerPixel;

enum class Picture { Stop, Add, Delete };

struct Command {
    int index;
    Picture picture;
    const char* toolTip;
};

const Command kCommands[] = {
    {4, Picture::Stop, "Stop current recording immediately"},
    {8, Picture::Add, "Add an item to the recording schedule"},
    {9, Picture::Delete, "Delete the selected item from the recording schedule"},
};

// Drawn rather than taken from the icon theme, which differs from desktop
// to desktop and has no picture for some of the commands.
QIcon drawn(Picture picture, const QPalette& palette) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case Picture::Stop:
        // The buttons' own text colour: dark on a light palette, light on a dark one.
        p.fillRect(QRectF(3.5, 3.5, 9, 9), palette.color(QPalette::ButtonText));
        break;
    case Picture::Add:
        p.setPen(QPen(QColor(30, 140, 60), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
        break;
    case Picture::Delete:
        p.setPen(QPen(QColor(200, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
    return QIcon(pixmap);
}

}  // namespace

TransportBar::TransportBar(QWidget* parent) : QWidget(parent) {
    setObjectName("TransportControls");
    const int step = kButtonWidthTwips + kGapTwips;
    setFixedSize(((kButtons - 1) * step + kButtonWidthTwips) / kTwips, kButtonHeightTwips / kTwips);
    for (int i = 0; i < kButtons; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName("TransportControl");
        button->setProperty("index", i);
        button->setGeometry(i * step / kTwips, 0, kButtonWidthTwips / kTwips, kButtonHeightTwips / kTwips);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(false);
        button->hide();
        connect(button, &QToolButton::clicked, this, [this, i] { emit clicked(i); });
        buttons_[static_cast<size_t>(i)] = button;
    }
    for (const Command& command : kCommands) {
        QToolButton* b = button(command.index);
        b->setToolTip(command.toolTip);
        b->show();
    }
    drawPictures();
}

void TransportBar::drawPictures() {
    for (const Command& command : kCommands) button(command.index)->setIcon(drawn(command.picture, palette()));
}

void TransportBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A dark theme chosen while the program runs.
    if (event->type() == QEvent::PaletteChange) drawPictures();
}

}  // namespace kelbo::ui
