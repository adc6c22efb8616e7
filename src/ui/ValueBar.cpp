#include "ui/ValueBar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace kestrova {

ValueBar::ValueBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
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

// As QProgressBar decides: at the ends always, elsewhere once the change covers
// more than one of the style's chunks or, with the text shown, at every change.
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
    const qint64 chunk = std::max(1, style()->pixelMetric(QStyle::PM_ProgressBarChunkWidth, nullptr, this));
    return std::llabs(static_cast<qint64>(value_) - painted_) * length > chunk * steps;
}

QSize ValueBar::sizeHint() const {
    const QSize horizontal(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12,
                           style()->pixelMetric(QStyle::PM_ProgressBarChunkWidth, nullptr, this) + 8);
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

void ValueBar::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.minimum = minimum_;
    option.maximum = maximum_;
    option.progress = value_;
    option.textVisible = textVisible_;
    option.text = textVisible_ ? text() : QString();
    option.textAlignment = Qt::AlignLeft;
    if (orientation_ == Qt::Horizontal) {
        option.state |= QStyle::State_Horizontal;
    }
    painter.drawControl(QStyle::CE_ProgressBar, option);
    painted_ = value_;
}

} // namespace kestrova
