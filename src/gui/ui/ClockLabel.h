#pragma once

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace kestrova {

// The status bar's date and time, new every second for as long as the program runs.
// A plain label shapes its whole text again at every paint, which was most of what
// the idle window cost; this one lays out each character once and then only places
// the laid-out characters. The text is read and set as with any label.
class ClockLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClockLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Glyph {
        QStaticText text;
        qreal advance = 0;
    };
    const Glyph& glyph(QChar character);

    QHash<QChar, Glyph> glyphs_;
};

} // namespace kestrova
