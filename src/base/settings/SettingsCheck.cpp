#include "base/settings/SettingsCheck.h"

#include "base/common/NumericValue.h"

#include <QRegularExpression>
#include <cmath>

namespace kestrova {

namespace {
bool isPlainNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    return number.match(text).hasMatch() && isCountableNumber(text);
}

bool isOneDigit(const QString& text) {
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}

QString allowed(const NumberRule& rule) {
    // A whole number above the low one starts at the next: 0 refused says "von 1".
    const bool counted = rule.whole || rule.oneDigit;
    const QString low = numberText(counted && rule.aboveLow ? std::floor(rule.low) + 1 : rule.low);
    const QString high = numberText(rule.high);
    if (rule.oneDigit) {
        return QStringLiteral("eine einzelne Ziffer von %1 bis %2").arg(low, high);
    }
    if (rule.whole) {
        return QStringLiteral("eine ganze Zahl von %1 bis %2").arg(low, high);
    }
    if (rule.aboveLow) {
        return QStringLiteral("eine Zahl größer als %1 und höchstens %2 (Dezimalpunkt \".\")").arg(low, high);
    }
    return QStringLiteral("eine Zahl von %1 bis %2 (Dezimalpunkt \".\")").arg(low, high);
}

bool withinRule(double value, const NumberRule& rule) {
    if (rule.whole && value != std::floor(value)) {
        return false;
    }
    const bool aboveLow = rule.aboveLow ? value > rule.low : value >= rule.low;
    return aboveLow && value <= rule.high;
}
} // namespace

QString numberFieldRefusal(const QString& text, const NumberRule& rule) {
    const QString trimmed = text.trimmed();
    QString problem;
    if (trimmed.isEmpty()) {
        problem = QStringLiteral("Das Feld \"%1\" ist leer.").arg(rule.fieldName);
    } else if (!isPlainNumber(trimmed)) {
        problem = QStringLiteral("Im Feld \"%1\" steht keine Zahl: \"%2\".").arg(rule.fieldName, trimmed);
    } else if (!withinRule(numericValue(trimmed), rule)) {
        problem = QStringLiteral("Im Feld \"%1\" steht %2.").arg(rule.fieldName, trimmed);
    } else if (rule.oneDigit && !isOneDigit(text)) {
        problem = QStringLiteral("Im Feld \"%1\" steht \"%2\".").arg(rule.fieldName, text);
    } else {
        return {};
    }
    return problem + QStringLiteral("\rErlaubt ist ") + allowed(rule) +
           QStringLiteral(".\r\rDie Einstellungen wurden nicht gespeichert.");
}

} // namespace kestrova
