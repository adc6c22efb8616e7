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
    const QColor fill = color_.isValid() ? color_ : palette().color(QPalette::Window);
    // Checked at each paint, as QFrame announces no change of its frame and a move
    // to another screen no change of the pixel ratio.
    const LooksFor now = looksFor();
    if (now != looksDrawnFor_) {
        looks_.clear();
        looksDrawnFor_ = now;
    }
    auto look = looks_.find(fill.rgba());
    if (look == looks_.end()) {
        look = looks_.insert(fill.rgba(), drawn(fill));
    }
    QPainter(this).drawPixmap(0, 0, look.value());
}

Lamp::LooksFor Lamp::looksFor() const {
    return {size(), frameStyle(), lineWidth(), devicePixelRatioF(), palette().cacheKey()};
}

QPixmap Lamp::drawn(const QColor& fill) const {
    QPixmap look(size() * devicePixelRatioF());
    look.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&look);
    painter.fillRect(rect(), fill);
    // The panel's edge drawn directly: through the style it cost as much as the rest.
    if (frameShape() != QFrame::NoFrame) {
        qDrawShadePanel(&painter, rect(), palette(), frameShadow() == QFrame::Sunken,
                        std::max(1, lineWidth()));
    }
    return look;
}

} // namespace kestrova
