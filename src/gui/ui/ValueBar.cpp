#include "gui/ui/ValueBar.h"

#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <qdrawutil.h>

namespace kestrova {

ValueBar::ValueBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ValueBar::setValue(int value) {
    const bool emptyRange = minimum_ == 0 && maximum_ == 0;
    if (value == value_ || ((value < minimum_ || value > maximum_) && !emptyRange)) {
        return;
    }
    value_ = value;
    if (moved()) {
        update();
    }
}

void ValueBar::setRange(int minimum, int maximum) {
    if (minimum == minimum_ && std::max(minimum, maximum) == maximum_) {
        return;
    }
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    if (static_cast<qint64>(value_) < static_cast<qint64>(minimum_) - 1 || value_ > maximum_) {
        value_ = minimum_ == INT_MIN ? minimum_ : minimum_ - 1;
    }
    update();
}

void ValueBar::setOrientation(Qt::Orientation orientation) {
    if (orientation == orientation_) {
        return;
    }
    orientation_ = orientation;
    setSizePolicy(sizePolicy().transposed());
    updateGeometry();
    update();
}

void ValueBar::setTextVisible(bool visible) {
    if (visible != textVisible_) {
        textVisible_ = visible;
        update();
    }
}

// At the ends always, elsewhere once the change covers a pixel or, with the text
// shown, at every change.
bool ValueBar::moved() const {
    if (value_ == painted_) {
        return false;
    }
    if (value_ <= minimum_ || value_ == maximum_ || painted_ <= minimum_) {
        return true;
    }
    if (textVisible_) {
        return true;
    }
    const qint64 steps = static_cast<qint64>(maximum_) - minimum_;
    const qint64 length = orientation_ == Qt::Horizontal ? width() : height();
    return std::llabs(static_cast<qint64>(value_) - painted_) * length >= steps;
}

QSize ValueBar::sizeHint() const {
    const QSize horizontal(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12,
                           fontMetrics().height() + 4);
    return orientation_ == Qt::Horizontal ? horizontal : horizontal.transposed();
}

QSize ValueBar::minimumSizeHint() const {
    const QSize horizontal(fontMetrics().height(), fontMetrics().height());
    return horizontal;
}

QString ValueBar::text() const {
    const qint64 steps = static_cast<qint64>(maximum_) - minimum_;
    if (value_ < minimum_ || steps == 0) {
        return {};
    }
    const auto percent =
        static_cast<int>((static_cast<qint64>(value_) - minimum_) * 100.0 / static_cast<double>(steps));
    return locale().toString(percent) + QLatin1Char('%');
}

// Drawn here rather than by the style: a sunken groove and a plain bar are quick
// to paint, where the style's bar with its gradients and rounded ends took as long
// as the rest of a wake-up, and every pixel is painted, so nothing behind it is.
void ValueBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect whole = rect();
    painter.fillRect(whole, palette().color(QPalette::Base));
    qDrawShadePanel(&painter, whole, palette(), true, 1);
    const QRect inside = whole.adjusted(1, 1, -1, -1);
    const qint64 steps = static_cast<qint64>(maximum_) - minimum_;
    const bool horizontal = orientation_ == Qt::Horizontal;
    const qint64 length = horizontal ? inside.width() : inside.height();
    qint64 filled = 0;
    if (value_ >= minimum_) {
        filled = steps == 0 ? length : (static_cast<qint64>(value_) - minimum_) * length / steps;
    }
    const int shown = static_cast<int>(std::clamp<qint64>(filled, 0, length));
    const QRect bar = horizontal ? QRect(inside.left(), inside.top(), shown, inside.height())
                                 : QRect(inside.left(), inside.bottom() + 1 - shown, inside.width(), shown);
    painter.fillRect(bar, palette().color(QPalette::Highlight));
    if (textVisible_) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(inside, Qt::AlignCenter, text());
    }
    painted_ = value_;
}

} // namespace kestrova
