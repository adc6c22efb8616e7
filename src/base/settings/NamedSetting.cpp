#include "base/settings/NamedSetting.h"

#include <algorithm>

namespace kestrova {

namespace {

// A reader splits its file at line breaks: a value holding one would add lines of
// its own, past the row's check. Other control characters have no place in a line.
bool holdsControlCharacter(const QString& value) {
    return std::any_of(value.cbegin(), value.cend(),
                       [](const QChar character) { return character.category() == QChar::Other_Control; });
}

} // namespace

QString NamedSetting::refusal(const QString& value) const {
    if (value.isEmpty()) {
        return {};
    }
    if (holdsControlCharacter(value)) {
        return QStringLiteral("„%1“: Der Wert muss eine Zeile ohne Steuerzeichen sein.").arg(name);
    }
    return check(value);
}

} // namespace kestrova
