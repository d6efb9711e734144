#include "plain_text.h"

#include <QTextDocument>

namespace kelbo::ui {

QString plainForAutoText(const QString& text) {
    // The same test the tooltip and the balloon make, so that what they
    // read as plain text is left alone.
    if (!Qt::mightBeRichText(text)) return text;
    return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace kelbo::ui
