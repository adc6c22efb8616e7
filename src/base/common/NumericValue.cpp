#include "base/common/NumericValue.h"

#include <cmath>
#include <limits>
#include <optional>

namespace kestrova {

namespace {
// The number at the start of the text, infinite when it overflows; nothing when
// the text does not start with one.
std::optional<double> leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    const qsizetype start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : std::numeric_limits<double>::infinity();
}
} // namespace

double numericValue(const QString& text) {
    const std::optional<double> value = leadingNumber(text);
    return value && std::isfinite(*value) ? *value : 0.0;
}

bool isCountableNumber(const QString& text) {
    const std::optional<double> value = leadingNumber(text);
    return value && std::fabs(*value) <= std::numeric_limits<int>::max();
}

namespace {
long long clampToLongLong(double value) {
    constexpr double limit = 9.0e18;
    if (!std::isfinite(value)) {
        return 0;
    }
    if (value > limit) {
        return static_cast<long long>(limit);
    }
    if (value < -limit) {
        return static_cast<long long>(-limit);
    }
    return static_cast<long long>(value);
}
} // namespace

long long roundToWhole(double value) {
    return clampToLongLong(std::nearbyint(value));
}

long long wholePart(double value) {
    return clampToLongLong(std::floor(value));
}

QString numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return QString::number(static_cast<long long>(value));
    }
    return QString::number(value, 'g', 15);
}

} // namespace kestrova
