#pragma once

#include <QColor>
#include <QtGlobal>

class QWidget;

namespace kestrova {

// Colours are kept as the program stores them: 0x00BBGGRR, or 0x800000NN for a system colour.
inline constexpr quint32 kColorRed = 0x0000FF;
inline constexpr quint32 kColorDarkRed = 0x0000A0;
inline constexpr quint32 kColorIdleLamp = 0x7FBFBF;
inline constexpr quint32 kColorLightGreen = 0x00FF80;
inline constexpr quint32 kColorButtonFace = 0x8000000F;
inline constexpr quint32 kColorWindowText = 0x80000008;
// Pale yellow behind notes that stay until their cause is gone.
inline constexpr quint32 kColorNote = 0xC4F3FF;
// A system index that names no colour; shown as mid grey.
inline constexpr quint32 kColorUndefinedSystem = 0x800000FF;

inline constexpr bool isSystemColor(quint32 value) {
    return (value & 0x80000000u) != 0;
}

// System colours are taken from the application palette at the time of the call.
QColor toQColor(quint32 value);

// Paint the widget's background / text and remember the raw value for backColor() / foreColor().
void setBackColor(QWidget* widget, quint32 value);
void setForeColor(QWidget* widget, quint32 value);

// The raw value last set; button face / window text if never set.
quint32 backColor(const QWidget* widget);
quint32 foreColor(const QWidget* widget);

} // namespace kestrova
