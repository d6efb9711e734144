#pragma once

class QLabel;
class QWidget;

namespace kelbo::ui {

// Makes `label` the buddy of `field` (its mnemonic moves the focus there)
// and gives the field, and its companion such as a spinner, the label's
// text as the name a screen reader says.
void nameAfterLabel(QLabel& label, QWidget& field, QWidget* companion = nullptr);

}  // namespace kelbo::ui
