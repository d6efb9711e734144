#pragma once

#include "recorder/device/preview_frame.h"

#include <QImage>
#include <QWidget>

namespace kelbo::ui {

// Shows the device's preview pictures, each scaled once to the size the
// widget has when it arrives.
class PreviewWidget : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWidget(QWidget* parent = nullptr);

    void showFrame(const PreviewFrame& frame);
    const QImage& shownImage() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage shown_;
};

}  // namespace kelbo::ui
