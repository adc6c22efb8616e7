#pragma once

#include "gui/ui/ControlCodes.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QMouseEvent;
class QKeyEvent;

namespace kestrova {

int mouseButtonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);
// Letters as upper-case ASCII, digits, space, Enter 13, Escape 27; Backspace, Tab, Shift, Ctrl, Alt,
// navigation and F keys as on the old keyboard API (8, 9, 16, 17, 18, 33..40, 45, 46, 112..);
// other special keys 0; anything else Qt key & 0xFFFF.
int keyCode(int qtKey);

// Reports the mouse on one widget as mouseDown/mouseUp/mouseMove/clicked/doubleClicked.
// For a QAbstractItemView watch its viewport.
//
// Press, release and double-click are first delivered to the widget itself and only then
// reported, so a handler already sees the widget's reaction (a list's current row is the
// clicked one when mouseDown fires). Nothing is swallowed.
// Order as the program expects it: mouseDown, mouseUp, clicked; on a double click
// doubleClicked follows the first click and the second release gives mouseUp only.
class MouseEvents : public QObject {
    Q_OBJECT
public:
    explicit MouseEvents(QWidget* widget);

    QWidget* widget() const { return widget_; }

signals:
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void mouseMove(int button, int shift, int x, int y);
    void clicked();
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report(QMouseEvent* event);

    QPointer<QWidget> widget_;
    bool delivering_ = false;
    bool leftPressed_ = false;
    bool afterDoubleClick_ = false;
};

// The widget's MouseEvents, created (and parented to it) on first use. Also enables mouse
// tracking so mouseMove comes without a button held.
MouseEvents* watchMouse(QWidget* widget);

// Reports key presses and releases of one widget before the widget handles them.
class KeyEvents : public QObject {
    Q_OBJECT
public:
    explicit KeyEvents(QWidget* widget);

signals:
    void keyDown(int keyCode, int shift);
    void keyUp(int keyCode, int shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The widget's KeyEvents, created (and parented to it) on first use.
KeyEvents* watchKeys(QWidget* widget);

// Lets the program see and change each typed character before an (editable) widget gets it.
// The handler receives the character code (Enter = 13); setting it to 0 swallows the key,
// another value is typed instead. Keys with Ctrl/Alt/Meta, navigation, Backspace, Delete,
// Tab and Escape pass untouched. Without a handler everything passes.
class KeyPressFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int& keyAscii)>;

    explicit KeyPressFilter(QWidget* widget, Handler handler = {});

    void setHandler(Handler handler) { handler_ = std::move(handler); }
    const Handler& handler() const { return handler_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
    bool replaying_ = false;
};

} // namespace kestrova
