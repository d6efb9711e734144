#pragma once

#include "recorder/device/preview_frame.h"

#include <QImage>
#include <QWidget>

namespace kelbo::ui {

// Shows the device's preview pictures. The device is asked to make them at
// the widget's size, so they are painted as they come; one that arrives at
// another size (the widget was just resized) is scaled once, fast.
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
