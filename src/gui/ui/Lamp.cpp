#include "gui/ui/Lamp.h"

#include <QPainter>
#include <algorithm>
#include <qdrawutil.h>

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
    // The panel's edge drawn directly: through the style it cost as much as the rest.
    if (frameShape() != QFrame::NoFrame) {
        qDrawShadePanel(&painter, rect(), palette(), frameShadow() == QFrame::Sunken,
                        std::max(1, lineWidth()));
    }
}

} // namespace kestrova
