#include "gui/ui/ClockLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace kestrova {

ClockLabel::ClockLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

const ClockLabel::Glyph& ClockLabel::glyph(QChar character) {
    auto found = glyphs_.find(character);
    if (found == glyphs_.end()) {
        Glyph made{QStaticText(QString(character)), QFontMetricsF(font()).horizontalAdvance(character)};
        made.text.setTextFormat(Qt::PlainText);
        made.text.prepare(QTransform(), font());
        found = glyphs_.insert(character, made);
    }
    return found.value();
}

// Left-aligned and centred in height, as a label without a frame places its text.
void ClockLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const QFontMetricsF metrics(font());
    const QPointF origin(area.left(), area.top() + (area.height() - metrics.height()) / 2);
    qreal x = origin.x();
    for (const QChar character : text()) {
        const Glyph& shown = glyph(character);
        painter.drawStaticText(QPointF(x, origin.y()), shown.text);
        x += shown.advance;
    }
}

// Laid-out characters belong to a font: a new one lays them out anew.
void ClockLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        glyphs_.clear();
    }
    QLabel::changeEvent(event);
}

} // namespace kestrova
