#include "settings/SettingsCheck.h"

#include "common/NumericValue.h"

#include <QRegularExpression>
#include <cmath>

namespace kestrova {

namespace {
bool isPlainNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    return number.match(text).hasMatch() && isCountableNumber(text);
}

QString allowed(const NumberRule& rule) {
    const QString low = numberText(rule.low);
    const QString high = numberText(rule.high);
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
    } else {
        return {};
    }
    return problem + QStringLiteral("\rErlaubt ist ") + allowed(rule) +
           QStringLiteral(".\r\rDie Einstellungen wurden nicht gespeichert.");
}

} // namespace kestrova
