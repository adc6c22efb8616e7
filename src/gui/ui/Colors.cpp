#include "gui/ui/Colors.h"

#include "gui/ui/Lamp.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

namespace kestrova {

namespace {

const char* const kBackProperty = "kestrovaBackColor";
const char* const kForeProperty = "kestrovaForeColor";

// Old system colour indices as far as a Qt palette has a counterpart.
QColor systemColor(quint32 index) {
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 0: // scroll bar
        return pal.color(QPalette::Button);
    case 1:  // desktop
    case 4:  // menu
    case 10: // active border
    case 11: // inactive border
        return pal.color(QPalette::Window);
    case 2:  // active caption
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 3: // inactive caption
        return pal.color(QPalette::Inactive, QPalette::Highlight);
    case 5: // window
        return pal.color(QPalette::Base);
    case 6:  // window frame
    case 21: // 3D dark shadow
        return pal.color(QPalette::Shadow);
    case 7: // menu text
    case 8: // window text
        return pal.color(QPalette::WindowText);
    case 9:  // caption text
    case 14: // highlight text
        return pal.color(QPalette::HighlightedText);
    case 12: // application workspace
    case 16: // button shadow
        return pal.color(QPalette::Dark);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return pal.color(QPalette::ButtonText);
    case 19: // inactive caption text
        return pal.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: // button highlight
        return pal.color(QPalette::Light);
    case 22: // 3D light
        return pal.color(QPalette::Midlight);
    case 23: // tooltip text
        return pal.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return pal.color(QPalette::ToolTipBase);
    default:
        return QColor(128, 128, 128);
    }
}

// Edit fields and lists paint their content in Base, buttons in Button; everything else in Window.
bool paintsBase(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w);
}

quint32 rawValue(const QWidget* widget, const char* property, quint32 fallback) {
    if (!widget) {
        return fallback;
    }
    const QVariant v = widget->property(property);
    return v.isValid() ? v.value<quint32>() : fallback;
}

} // namespace

QColor toQColor(quint32 value) {
    if (isSystemColor(value)) {
        return systemColor(value & 0x00FFFFFFu);
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setBackColor(QWidget* widget, quint32 value) {
    if (!widget) {
        return;
    }
    const QColor c = toQColor(value);
    if (auto* lamp = qobject_cast<Lamp*>(widget)) {
        lamp->setColor(c, value);
        return;
    }
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, c);
    if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget)) {
        pal.setColor(QPalette::Button, c);
    }
    if (paintsBase(widget)) {
        pal.setColor(QPalette::Base, c);
    }
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
    widget->setProperty(kBackProperty, QVariant::fromValue(value));
}

void setForeColor(QWidget* widget, quint32 value) {
    if (!widget) {
        return;
    }
    const QColor c = toQColor(value);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    pal.setColor(QPalette::ButtonText, c);
    widget->setPalette(pal);
    widget->setProperty(kForeProperty, QVariant::fromValue(value));
}

quint32 backColor(const QWidget* widget) {
    if (const auto* lamp = qobject_cast<const Lamp*>(widget)) {
        return lamp->colorValue();
    }
    return rawValue(widget, kBackProperty, kColorButtonFace);
}

quint32 foreColor(const QWidget* widget) {
    return rawValue(widget, kForeProperty, kColorWindowText);
}

} // namespace kestrova
