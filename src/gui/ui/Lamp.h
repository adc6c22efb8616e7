#pragma once

#include <QColor>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <utility>

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
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap drawn(const QColor& fill) const;

    QHash<QRgb, QPixmap> looks_;
    // The frame the looks were drawn with: QFrame tells no change of it.
    std::pair<int, int> looksFrame_;
    QColor color_;
    quint32 value_ = 0;
};

} // namespace kestrova
