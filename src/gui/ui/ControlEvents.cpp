#include "gui/ui/ControlEvents.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace kestrova {

int mouseButtonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) {
        code |= mousebutton::Left;
    }
    if (buttons & Qt::RightButton) {
        code |= mousebutton::Right;
    }
    if (buttons & Qt::MiddleButton) {
        code |= mousebutton::Middle;
    }
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) {
        code |= shiftstate::Shift;
    }
    if (modifiers & Qt::ControlModifier) {
        code |= shiftstate::Ctrl;
    }
    if (modifiers & Qt::AltModifier) {
        code |= shiftstate::Alt;
    }
    return code;
}

int keyCode(int qtKey) {
    // Qt's own codes for special keys lie above 0x01000000 and would, cut to 16 bits, land on
    // printable ASCII (Shift on space, F1 on '0'); they get the codes of the old keyboard API.
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return keycode::Enter;
    case Qt::Key_Escape:
        return keycode::Escape;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return 112 + (qtKey - Qt::Key_F1);
    }
    if (qtKey >= 0x01000000) {
        // Any other special key: no code rather than a false letter or digit.
        return 0;
    }
    // Qt already uses ASCII for space, digits and upper-case letters.
    return qtKey & 0xFFFF;
}

// ---------------------------------------------------------------------------------------------

MouseEvents::MouseEvents(QWidget* widget) : QObject(widget), widget_(widget) {
    if (widget) {
        widget->installEventFilter(this);
    }
}

bool MouseEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_ || delivering_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        // Let the widget (and any later filters) handle the event first, then report it.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointer<MouseEvents> self(this);
        delivering_ = true;
        QCoreApplication::sendEvent(watched, event);
        if (!self) {
            return true;
        }
        delivering_ = false;
        report(mouse);
        // The nested delivery already propagated to the parents; stop the outer one.
        event->accept();
        return true;
    }
    case QEvent::MouseMove:
        report(static_cast<QMouseEvent*>(event));
        return false;
    default:
        return false;
    }
}

void MouseEvents::report(QMouseEvent* event) {
    const int shift = shiftCode(event->modifiers());
    const QPoint pos = event->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        leftPressed_ = event->button() == Qt::LeftButton;
        afterDoubleClick_ = false;
        emit mouseDown(mouseButtonCode(event->button()), shift, pos.x(), pos.y());
        break;
    case QEvent::MouseButtonDblClick:
        leftPressed_ = false;
        afterDoubleClick_ = true;
        if (event->button() == Qt::LeftButton) {
            emit doubleClicked();
        }
        break;
    case QEvent::MouseButtonRelease: {
        const bool click =
            leftPressed_ && event->button() == Qt::LeftButton && widget_ && widget_->rect().contains(pos);
        leftPressed_ = false;
        afterDoubleClick_ = false;
        emit mouseUp(mouseButtonCode(event->button()), shift, pos.x(), pos.y());
        if (click) {
            emit clicked();
        }
        break;
    }
    case QEvent::MouseMove:
        emit mouseMove(mouseButtonCode(event->buttons()), shift, pos.x(), pos.y());
        break;
    default:
        break;
    }
}

MouseEvents* watchMouse(QWidget* widget) {
    if (!widget) {
        return nullptr;
    }
    const auto existing = widget->findChildren<MouseEvents*>(QString(), Qt::FindDirectChildrenOnly);
    for (MouseEvents* m : existing) {
        if (m->widget() == widget) {
            return m;
        }
    }
    widget->setMouseTracking(true);
    return new MouseEvents(widget);
}

// ---------------------------------------------------------------------------------------------

KeyEvents::KeyEvents(QWidget* widget) : QObject(widget) {
    if (widget) {
        widget->installEventFilter(this);
    }
}

bool KeyEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched != parent()) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        emit keyDown(keyCode(key->key()), shiftCode(key->modifiers()));
    } else if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        emit keyUp(keyCode(key->key()), shiftCode(key->modifiers()));
    }
    return false;
}

KeyEvents* watchKeys(QWidget* widget) {
    if (!widget) {
        return nullptr;
    }
    if (auto* existing = widget->findChild<KeyEvents*>(QString(), Qt::FindDirectChildrenOnly)) {
        return existing;
    }
    return new KeyEvents(widget);
}

// ---------------------------------------------------------------------------------------------

namespace {

// The character code the program sees for a key press, or 0 if the key is not a character.
int typedCode(const QKeyEvent* key) {
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return 0;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        return keycode::Enter;
    }
    const QString text = key->text();
    if (text.size() != 1 || !text.at(0).isPrint()) {
        return 0;
    }
    return text.at(0).unicode();
}

int qtKeyFor(int code) {
    if (code == keycode::Enter) {
        return Qt::Key_Return;
    }
    if (code >= 'a' && code <= 'z') {
        return code - 'a' + 'A';
    }
    if (code > 0 && code < 0x7F) {
        return code;
    }
    return Qt::Key_unknown;
}

} // namespace

KeyPressFilter::KeyPressFilter(QWidget* widget, Handler handler)
    : QObject(widget), handler_(std::move(handler)) {
    if (widget) {
        widget->installEventFilter(this);
    }
}

bool KeyPressFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || replaying_ || !handler_) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const int original = typedCode(key);
    if (original == 0) {
        return false;
    }
    int code = original;
    handler_(code);
    if (code == original) {
        return false;
    }
    if (code == 0) {
        return true;
    }
    const QString text = code == keycode::Enter ? QStringLiteral("\r") : QString(QChar(char16_t(code)));
    QKeyEvent replacement(QEvent::KeyPress, qtKeyFor(code), Qt::NoModifier, text);
    replaying_ = true;
    QCoreApplication::sendEvent(watched, &replacement);
    replaying_ = false;
    return true;
}

} // namespace kestrova
