#include "transport_bar.h"

#include "vector_icons.h"

#include "common/settings_keys.h"

#include <QToolButton>

namespace kelbo::ui {

namespace {

constexpr int kTwips = settings::kTwipsPerPixel;

struct Command {
    int index;
    Glyph glyph;
    const char* toolTip;
    const char* accessibleName;
};

const Command kCommands[] = {
    {4, Glyph::Stop, QT_TRANSLATE_NOOP("kelbo::ui::TransportBar", "Stop current recording immediately"),
     QT_TRANSLATE_NOOP("kelbo::ui::TransportBar", "Stop")},
    {8, Glyph::Add, QT_TRANSLATE_NOOP("kelbo::ui::TransportBar", "Add an item to the recording schedule"),
     QT_TRANSLATE_NOOP("kelbo::ui::TransportBar", "Add")},
    {9, Glyph::Delete,
     QT_TRANSLATE_NOOP("kelbo::ui::TransportBar", "Delete the selected item from the recording schedule"),
     QT_TRANSLATE_NOOP("kelbo::ui::TransportBar", "Delete")},
};

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
        b->setIcon(glyphIcon(command.glyph));
        b->setToolTip(tr(command.toolTip));
        b->setAccessibleName(tr(command.accessibleName));
        b->show();
    }
}

}  // namespace kelbo::ui
