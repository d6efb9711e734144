#include "vector_icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <functional>

namespace kelbo::ui {

namespace {

// Paints on a 16-unit square scaled to the size asked for, so that a
// picture stays sharp at 2x and on large tray icons.
class DrawnIconEngine : public QIconEngine {
public:
    // With a base icon, the drawing is a badge in its lower right corner.
    DrawnIconEngine(QIcon base, std::function<void(QPainter&)> draw)
        : base_(std::move(base)), draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QRectF area = rect;
        if (!base_.isNull()) {
            base_.paint(painter, rect, Qt::AlignCenter, mode, state);
            area = QRectF(rect.x() + rect.width() * 0.45, rect.y() + rect.height() * 0.45,
                          rect.width() * 0.55, rect.height() * 0.55);
        }
        painter->translate(area.topLeft());
        painter->scale(area.width() / 16.0, area.height() / 16.0);
        draw_(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(base_, draw_); }

private:
    QIcon base_;
    std::function<void(QPainter&)> draw_;
};

void drawGlyph(QPainter& p, Glyph glyph) {
    switch (glyph) {
    case Glyph::Stop:
        p.fillRect(QRectF(3.5, 3.5, 9, 9), QGuiApplication::palette().color(QPalette::ButtonText));
        break;
    case Glyph::Add:
        p.setPen(QPen(QColor(30, 140, 60), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
        break;
    case Glyph::Delete:
        p.setPen(QPen(QColor(200, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
}

void drawBadge(QPainter& p, TrayImage image) {
    p.setPen(QPen(QColor(40, 40, 40), 1));
    switch (image) {
    case TrayImage::Paused:  // waiting for the next programme
        p.setBrush(QColor(230, 160, 20));
        p.drawRect(QRectF(3, 2, 3.5, 12));
        p.drawRect(QRectF(9.5, 2, 3.5, 12));
        break;
    case TrayImage::Recording:
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        break;
    case TrayImage::Stopped:
        p.setBrush(QColor(130, 130, 130));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        break;
    }
}

const char* themeName(Glyph glyph) {
    switch (glyph) {
    case Glyph::Stop: return "media-playback-stop";
    case Glyph::Add: return "list-add";
    case Glyph::Delete: return "list-remove";
    }
    return "";
}

}  // namespace

QIcon glyphIcon(Glyph glyph) {
    const QIcon drawn(new DrawnIconEngine({}, [glyph](QPainter& p) { drawGlyph(p, glyph); }));
    return QIcon::fromTheme(themeName(glyph), drawn);
}

QIcon badgedIcon(const QIcon& base, TrayImage image) {
    return QIcon(new DrawnIconEngine(base, [image](QPainter& p) { drawBadge(p, image); }));
}

}  // namespace kelbo::ui
