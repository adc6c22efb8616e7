#pragma once

#include <QLabel>

namespace kestrova {

enum class LabelBorder { Flat, Raised, Sunken, Hover };

// A label that the program drives as a button: it only changes its border on request.
class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(const QString& text = QString(), QWidget* parent = nullptr);

    void setBorder(LabelBorder border);
    LabelBorder border() const { return border_; }

private:
    LabelBorder border_ = LabelBorder::Flat;
};

// Raised border on button face.
void showReleased(LabelButton* button);
// Light green, then sunken border.
void showPressed(LabelButton* button);
bool isPressed(const LabelButton* button);

} // namespace kestrova
