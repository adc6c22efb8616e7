#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace kestrova {

class MouseEvents;

// A fixed black drawing area the program draws the waveform into, line by line.
class WaveformView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 296;
    static constexpr int kHeight = 65;

    explicit WaveformView(QWidget* parent = nullptr);

    void clear();
    // Both end points are drawn; parts outside the area are clipped.
    void drawLine(QPoint from, QPoint to, QColor color);

    const QImage& image() const { return image_; }
    MouseEvents* mouseEvents() const { return mouse_; }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    MouseEvents* mouse_ = nullptr;
};

} // namespace kestrova
