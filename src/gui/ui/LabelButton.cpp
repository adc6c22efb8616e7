#include "gui/ui/LabelButton.h"

#include "gui/ui/Colors.h"

namespace kestrova {

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAlignment(Qt::AlignCenter);
    setBorder(LabelBorder::Flat);
}

void LabelButton::setBorder(LabelBorder border) {
    border_ = border;
    switch (border) {
    case LabelBorder::Flat:
        setFrameStyle(QFrame::NoFrame);
        setLineWidth(1);
        break;
    case LabelBorder::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(2);
        break;
    case LabelBorder::Sunken:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
        break;
    case LabelBorder::Hover:
        // A plain one-pixel box in the text colour, clearly not a raised or sunken button.
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        break;
    }
}

void showReleased(LabelButton* button) {
    if (!button) {
        return;
    }
    button->setBorder(LabelBorder::Raised);
    setBackColor(button, kColorButtonFace);
}

void showPressed(LabelButton* button) {
    if (!button) {
        return;
    }
    setBackColor(button, kColorLightGreen);
    button->setBorder(LabelBorder::Sunken);
}

bool isPressed(const LabelButton* button) {
    return button && button->border() == LabelBorder::Sunken;
}

} // namespace kestrova
