#pragma once

#include <QString>

namespace kestrova {

// What a number field of the settings form may hold.
struct NumberRule {
    QString fieldName; // as the form labels the field
    double low = 0;
    double high = 0;
    bool aboveLow = false; // low itself is refused
    bool whole = false;
    // Exactly one digit, as typed: names and folders carry the text itself, so
    // "01" or "+1" would not be the same as "1".
    bool oneDigit = false;
};

// Why the form refuses the text of a number field, in German and naming the
// field; empty when the text is a number within the rule. A text the settings
// would read as 0 (empty, letters) is refused: 0 days keeps no recording at all.
QString numberFieldRefusal(const QString& text, const NumberRule& rule);

} // namespace kestrova
