#pragma once

#include <QColor>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QSize>
#include <tuple>

namespace kestrova {

// A lamp of the main window: a sunken panel in one colour. The recording lamp
// blinks for as long as a transmission lasts, so a new colour is only a value and
// a repaint, not a new palette for the widget, and each colour's look is drawn
// once and then only copied.
class Lamp : public QLabel {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);

    // `value` is the colour as the program's colour settings write it.
    void setColor(const QColor& color, quint32 value);
    quint32 colorValue() const { return value_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What a look is drawn for besides its colour: the size, the frame (style and
    // width), the pixel ratio of the screen and the palette of the edge.
    using LooksFor = std::tuple<QSize, int, int, qreal, qint64>;

    LooksFor looksFor() const;
    QPixmap drawn(const QColor& fill) const;

    QHash<QRgb, QPixmap> looks_;
    LooksFor looksDrawnFor_;
    QColor color_;
    quint32 value_ = 0;
};

} // namespace kestrova
