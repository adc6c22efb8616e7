#include "gui/ui/FigureLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace kestrova {

namespace {
// Levels run from 0 to a little over 100; anything else is let go now and then.
constexpr qsizetype kMaxLaidOut = 256;
} // namespace

FigureLabel::FigureLabel(QWidget* parent) : QLabel(parent) {}

const QStaticText& FigureLabel::laidOut(const QString& text) {
    auto found = laidOut_.find(text);
    if (found == laidOut_.end()) {
        if (laidOut_.size() >= kMaxLaidOut) {
            laidOut_.clear();
        }
        QStaticText figure(text);
        figure.setTextFormat(Qt::PlainText);
        figure.prepare(QTransform(), font());
        found = laidOut_.insert(text, figure);
    }
    return *found;
}

void FigureLabel::paintEvent(QPaintEvent* event) {
    // Anything beyond a plain figure is drawn as any label draws it.
    if (frameShape() != QFrame::NoFrame || textFormat() == Qt::RichText ||
        text().contains(QLatin1Char('\n'))) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QStaticText& figure = laidOut(text());
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QRect placed = QStyle::alignedRect(layoutDirection(), alignment(), figure.size().toSize(), area);
    painter.drawStaticText(placed.topLeft(), figure);
}

void FigureLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        laidOut_.clear();
    }
    QLabel::changeEvent(event);
}

} // namespace kestrova
