#include "gui/ui/Lamp.h"

#include <QEvent>
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
    const std::pair<int, int> frame(frameStyle(), lineWidth());
    if (frame != looksFrame_) {
        looks_.clear();
        looksFrame_ = frame;
    }
    auto look = looks_.find(fill.rgba());
    if (look == looks_.end()) {
        look = looks_.insert(fill.rgba(), drawn(fill));
    }
    QPainter(this).drawPixmap(0, 0, look.value());
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

// A look is drawn for a size, a frame and a palette: any change draws them anew.
void Lamp::resizeEvent(QResizeEvent* event) {
    looks_.clear();
    QLabel::resizeEvent(event);
}

void Lamp::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        looks_.clear();
    }
    QLabel::changeEvent(event);
}

} // namespace kestrova
