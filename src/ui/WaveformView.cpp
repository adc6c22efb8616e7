#include "ui/WaveformView.h"

#include "ui/ControlEvents.h"

#include <QPainter>

namespace kestrova {

WaveformView::WaveformView(QWidget* parent)
    : QWidget(parent), m_image(kWidth, kHeight, QImage::Format_RGB32) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_image.fill(Qt::black);
    m_mouse = watchMouse(this);
}

void WaveformView::clear() {
    m_image.fill(Qt::black);
    update();
}

void WaveformView::drawLine(QPoint from, QPoint to, QColor color) {
    {
        QPainter p(&m_image);
        p.setPen(QPen(color, 0));
        p.drawLine(from, to);
    }
    // Make sure the end points are set whatever the raster engine does with the last pixel.
    const QRgb rgb = color.rgb();
    if (m_image.rect().contains(from)) {
        m_image.setPixel(from, rgb);
    }
    if (m_image.rect().contains(to)) {
        m_image.setPixel(to, rgb);
    }
    update();
}

void WaveformView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

} // namespace kestrova
