#pragma once

#include <QLabel>

namespace kelbo::ui {

// A status-bar panel's label that gives way when the bar is short: it asks
// for `preferredWidth` (or its text's width) but shrinks to a few letters,
// drawing its text cut with "…"; its tooltip is the full text unless it
// is given one of its own. Both show their text as written, never as markup.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(int preferredWidth, QWidget* parent = nullptr);

    void setFullText(const QString& text);
    // Empty gives the tooltip back to the full text.
    void setTip(const QString& tip);
    // The text as drawn at the label's present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int leastWidth() const;

    int preferredWidth_;
    QString tip_;
};

}  // namespace kelbo::ui
