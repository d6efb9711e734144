#pragma once

#include <QWidget>

#include <array>

class QToolButton;

namespace kelbo::ui {

// The ten picture buttons `TransportControl` 0..9 between the list and the
// detail frame. Only 4 (stop), 8 (add) and 9 (delete) carry a command; the
// others are hidden. Button i stands i × 395 twips from the bar's left edge.
class TransportBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtons = 10;
    static constexpr int kButtonWidthTwips = 375;
    static constexpr int kButtonHeightTwips = 275;
    static constexpr int kGapTwips = 20;

    explicit TransportBar(QWidget* parent = nullptr);

    QToolButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

signals:
    void clicked(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void drawPictures();

    std::array<QToolButton*, kButtons> buttons_{};
};

}  // namespace kelbo::ui
