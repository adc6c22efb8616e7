#pragma once

#include <QString>

namespace kestrova {

// The numeric value of a text: the decimal number at its start after leading
// blanks, "." as decimal point, 0 when there is none. Every setting that is a
// number goes through here.
double numericValue(const QString& text);

// True when the text starts with a number (after blanks) that a 32-bit whole
// number can hold: not so for "abc", an empty text or a run of 400 nines, whose
// numeric value 0 is only a stand-in.
bool isCountableNumber(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour, as the
// controls did when they were given a fractional value.
long long roundToWhole(double value);

// The whole part of a number, rounding down (also for negative numbers).
long long wholePart(double value);

// A number as the settings file and captions show it: "67", "7.5", "-3".
QString numberText(double value);

} // namespace kestrova
