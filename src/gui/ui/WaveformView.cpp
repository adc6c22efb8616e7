#include "gui/ui/WaveformView.h"

#include "gui/ui/ControlEvents.h"

#include <QPainter>

namespace kestrova {

WaveformView::WaveformView(QWidget* parent) : QWidget(parent), image_(kWidth, kHeight, QImage::Format_RGB32) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_.fill(Qt::black);
    mouse_ = watchMouse(this);
}

void WaveformView::clear() {
    image_.fill(Qt::black);
    update();
}

void WaveformView::drawLine(QPoint from, QPoint to, QColor color) {
    {
        QPainter p(&image_);
        p.setPen(QPen(color, 0));
        p.drawLine(from, to);
    }
    // Make sure the end points are set whatever the raster engine does with the last pixel.
    const QRgb rgb = color.rgb();
    if (image_.rect().contains(from)) {
        image_.setPixel(from, rgb);
    }
    if (image_.rect().contains(to)) {
        image_.setPixel(to, rgb);
    }
    update();
}

void WaveformView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

} // namespace kestrova
