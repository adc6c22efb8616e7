#pragma once

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace kestrova {

// A label for a short figure that changes many times a second (the input level):
// each figure is laid out once and drawn from then on as it was laid out, instead
// of being shaped anew at every repaint.
class FigureLabel : public QLabel {
    Q_OBJECT
public:
    explicit FigureLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const QStaticText& laidOut(const QString& text);

    QHash<QString, QStaticText> laidOut_;
};

} // namespace kestrova
