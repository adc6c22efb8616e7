#include "gui/ui/FormGeometry.h"

#include <QEvent>
#include <QWidget>
#include <cmath>
#include <utility>

namespace kestrova {

namespace {

// Title bar and borders are not part of QWidget::height().
int decorationHeight(const QWidget* window) {
    return window->frameGeometry().height() - window->height();
}

void applyOuterHeight(QWidget* window, int height, int decoration) {
    const int clientHeight = qMax(0, twipsToPixels(height) - decoration);
    if (window->minimumHeight() == window->maximumHeight()) {
        window->setFixedHeight(clientHeight);
    } else {
        window->resize(window->width(), clientHeight);
    }
}

// Holds an outer height set before the window was framed and sets it again at the
// first event of the window after which the frame is known.
class FrameHeightRetry : public QObject {
    Q_OBJECT

public:
    static FrameHeightRetry& of(QWidget* window) {
        auto* retry = window->findChild<FrameHeightRetry*>(QString(), Qt::FindDirectChildrenOnly);
        return retry ? *retry : *new FrameHeightRetry(window);
    }

    // A negative height forgets the one held.
    void remember(int height) { height_ = height; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (height_ >= 0 && isGeometryEvent(event->type())) {
            auto* window = static_cast<QWidget*>(watched);
            const int decoration = decorationHeight(window);
            if (decoration > 0) {
                const int height = std::exchange(height_, -1);
                applyOuterHeight(window, height, decoration);
            }
        }
        return false;
    }

private:
    explicit FrameHeightRetry(QWidget* window) : QObject(window) { window->installEventFilter(this); }

    static bool isGeometryEvent(QEvent::Type type) {
        return type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize;
    }

    int height_ = -1;
};

} // namespace

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
    const int decoration = decorationHeight(window);
    applyOuterHeight(window, height, decoration);
    if (window->isWindow()) {
        // Until the window system has framed the window its title bar and borders
        // read as 0, and the window ends up taller by them: applied once more when known.
        FrameHeightRetry::of(window).remember(decoration == 0 ? height : -1);
    }
}

void moveTwips(QWidget* window, int left, int top) {
    if (window) {
        window->move(twipsToPixels(left), twipsToPixels(top));
    }
}

} // namespace kestrova

#include "FormGeometry.moc"
