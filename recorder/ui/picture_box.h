#pragma once

#include <QImage>
#include <QWidget>

namespace kelbo::ui {

// A hidden drawing surface: what is painted into it is kept as an image,
// which a status-bar panel can show.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }
    void setForeColor(const QColor& colour) { fore_ = colour; }
    void setBackColor(const QColor& colour) { back_ = colour; }
    const QColor& foreColor() const { return fore_; }
    const QColor& backColor() const { return back_; }

    // Size of the drawing in pixels; the picture is cleared when it changes.
    void setPictureSize(int width, int height);
    int pictureWidth() const { return image_.width(); }
    int pictureHeight() const { return image_.height(); }

    void clear();
    // A filled box from (x1, y1) to (x2, y2), both corners included.
    void fillBox(int x1, int y1, int x2, int y2, const QColor& colour);

private:
    QImage image_;
    QColor fore_;
    QColor back_;
};

}  // namespace kelbo::ui
