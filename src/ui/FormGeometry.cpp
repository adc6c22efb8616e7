#include "ui/FormGeometry.h"

#include <QWidget>
#include <cmath>

namespace kestrova {

int twipsToPixels(int twips) {
    return int(std::lround(double(twips) / kTwipsPerPixel));
}

int leftTwips(const QWidget* window) {
    return window ? pixelsToTwips(window->pos().x()) : 0;
}

int topTwips(const QWidget* window) {
    return window ? pixelsToTwips(window->pos().y()) : 0;
}

int widthTwips(const QWidget* window) {
    return window ? pixelsToTwips(window->frameGeometry().width()) : 0;
}

int heightTwips(const QWidget* window) {
    return window ? pixelsToTwips(window->frameGeometry().height()) : 0;
}

void setLeftTwips(QWidget* window, int left) {
    if (window) {
        window->move(twipsToPixels(left), window->pos().y());
    }
}

void setTopTwips(QWidget* window, int top) {
    if (window) {
        window->move(window->pos().x(), twipsToPixels(top));
    }
}

void setHeightTwips(QWidget* window, int height) {
    if (!window) {
        return;
    }
    // Title bar and borders are not part of QWidget::height().
    const int decoration = window->frameGeometry().height() - window->height();
    const int clientHeight = qMax(0, twipsToPixels(height) - decoration);
    if (window->minimumHeight() == window->maximumHeight()) {
        window->setFixedHeight(clientHeight);
    } else {
        window->resize(window->width(), clientHeight);
    }
}

void moveTwips(QWidget* window, int left, int top) {
    if (window) {
        window->move(twipsToPixels(left), twipsToPixels(top));
    }
}

} // namespace kestrova
