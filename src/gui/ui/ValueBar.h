#pragma once

#include <QWidget>
#include <algorithm>

namespace kestrova {

// A progress bar for values that change many times a second (the level meters and
// the recording's bars): a new value costs a comparison, and a repaint, with the
// others of the same wake-up, only when the bar moves by a pixel. The value rules
// are those of QProgressBar.
class ValueBar : public QWidget {
    Q_OBJECT
public:
    explicit ValueBar(QWidget* parent = nullptr);

    int value() const { return value_; }
    // A value outside the range is ignored, as by QProgressBar.
    void setValue(int value);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setMinimum(int minimum) { setRange(minimum, std::max(minimum, maximum_)); }
    void setMaximum(int maximum) { setRange(std::min(minimum_, maximum), maximum); }
    void setRange(int minimum, int maximum);
    Qt::Orientation orientation() const { return orientation_; }
    void setOrientation(Qt::Orientation orientation);
    // The percentage, drawn by the style as on a progress bar; off by default.
    bool isTextVisible() const { return textVisible_; }
    void setTextVisible(bool visible);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool moved() const;
    QString text() const;

    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = -1; // below the minimum: empty, as a reset QProgressBar
    int painted_ = -1;
    Qt::Orientation orientation_ = Qt::Horizontal;
    bool textVisible_ = false;
};

} // namespace kestrova
