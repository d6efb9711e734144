#include "transport_bar.h"

#include "common/settings_keys.h"

#include <QStyle>
#include <QToolButton>

namespace kelbo::ui {

namespace {

constexpr int kTwips = settings::kTwipsPerPixel;

struct Command {
    int index;
    QStyle::StandardPixmap picture;
    const char* theme;
    const char* toolTip;
};

const Command kCommands[] = {
    {4, QStyle::SP_MediaStop, "media-playback-stop", "Stop current recording immediately"},
    {8, QStyle::SP_FileIcon, "list-add", "Add an item to the recording schedule"},
    {9, QStyle::SP_TrashIcon, "edit-delete", "Delete the selected item from the recording schedule"},
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
        b->setIcon(QIcon::fromTheme(command.theme, style()->standardIcon(command.picture)));
        b->setToolTip(command.toolTip);
        b->show();
    }
}

}  // namespace kelbo::ui
