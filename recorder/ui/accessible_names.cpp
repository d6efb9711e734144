#include "accessible_names.h"

#include <QLabel>
#include <QRegularExpression>

namespace kelbo::ui {

void nameAfterLabel(QLabel& label, QWidget& field, QWidget* companion) {
    label.setBuddy(&field);
    // "&&" is a shown ampersand, a single "&" marks the mnemonic.
    QString name = label.text();
    name.replace(QRegularExpression("&(.)"), "\\1");
    field.setAccessibleName(name);
    if (companion) companion->setAccessibleName(name);
}

}  // namespace kelbo::ui
