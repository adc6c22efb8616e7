#include "ui/Lamp.h"

#include <QPainter>

namespace kestrova {

Lamp::Lamp(QWidget* parent) : QLabel(parent) {
    // Every pixel is painted here: nothing behind the lamp needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Lamp::setColor(const QColor& color, quint32 value) {
    value_ = value;
    if (color != color_) {
        color_ = color;
        update();
    }
}

void Lamp::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), color_.isValid() ? color_ : palette().color(QPalette::Window));
    drawFrame(&painter);
}

} // namespace kestrova
