#include "base/settings/SettingsAssignment.h"

#include "base/common/Cp1252.h"
#include "base/common/NumericValue.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"
#include "base/settings/SettingsValues.h"

#include <QRegularExpression>

namespace kestrova {

namespace {

QString fieldOf(const SettingsRow& row) {
    return QStringLiteral("„%1“").arg(QString::fromUtf8(row.fieldName));
}

bool isOneOf(const QString& text, std::initializer_list<const char*> allowed) {
    for (const char* candidate : allowed) {
        if (text == QLatin1String(candidate)) {
            return true;
        }
    }
    return false;
}

// Line 8 as the form packs its two pin fields: "4/6-" or the stored "46-0".
std::optional<QString> pinLineFor(const QString& text) {
    static const QRegularExpression twoFields(QStringLiteral("^([47])/([1689])(-?)$"));
    const QRegularExpressionMatch match = twoFields.match(text.trimmed());
    if (match.hasMatch()) {
        return packPinLine(match.captured(1), match.captured(2) + match.captured(3)).line;
    }
    const PinLine pins = unpackPinLine(text);
    if (text.size() == 4 && isOneOf(pins.pttText, {"4", "7"}) &&
        isOneOf(pins.squelchText, {"1-", "6-", "8-", "9-", "1 ", "6 ", "8 ", "9 "}) &&
        packPinLine(pins.pttText, pins.squelchText).line == text) {
        return text;
    }
    return std::nullopt;
}

// What the form would take for the row, as the line's text; the German reason otherwise.
struct Taken {
    QString text;
    QString refusal;
};

Taken takeValue(const SettingsRow& row, const QString& value) {
    const QString field = fieldOf(row);
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')) ||
        decodeCp1252(encodeCp1252(value)) != value) {
        return {{}, field + QStringLiteral(": Der Wert muss eine Zeile in der Windows-Codepage 1252 sein.")};
    }
    const QString key = QString::fromLatin1(row.key);
    if (key == QStringLiteral("recordingCount")) {
        return {{}, field + QStringLiteral(" zählt das Programm selbst.")};
    }
    if (key == QStringLiteral("pins")) {
        const std::optional<QString> line = pinLineFor(value);
        if (!line) {
            return {{},
                    field + QStringLiteral(": PTT-Pin 4 oder 7, Squelch-Pin 1, 6, 8 oder 9, etwa 4/6- "
                                           "(„-“: umgekehrt) oder 46-0.")};
        }
        return {*line, {}};
    }
    const bool isFlag = row.rule.kind == SettingsRuleKind::Flag || key == QStringLiteral("parrot");
    if (isFlag && !isOneOf(value, {"0", "1"})) {
        return {{}, field + QStringLiteral(": 1 für ein, 0 für aus.")};
    }
    if (key == QStringLiteral("channel") &&
        !QRegularExpression(QStringLiteral("^[0-9]+$")).match(value).hasMatch()) {
        return {{}, field + QStringLiteral(": die Stelle des Geräts in der Liste, 0 für das erste.")};
    }
    if (row.rule.kind == SettingsRuleKind::Choice && !readingTakes(row, value)) {
        QStringList choices;
        for (const char* choice : row.rule.choices) {
            choices << QString::fromLatin1(choice);
        }
        return {{}, field + QStringLiteral(": nur ") + choices.join(QStringLiteral(", ")) + QLatin1Char('.')};
    }
    const QString formSays = formRefusal(row, value);
    if (!formSays.isEmpty()) {
        // The form's message box breaks its lines with CR; a terminal wants sentences.
        return {{}, formSays.split(QLatin1Char('\r'), Qt::SkipEmptyParts).join(QLatin1Char(' '))};
    }
    if (!readingTakes(row, value)) {
        return {{}, field + QStringLiteral(": Dieser Wert ist ungültig.")};
    }
    return {value, {}};
}

} // namespace

const SettingsRow* settingsRowNamed(const QString& name) {
    QString wanted = name.trimmed();
    // The main window labels the start level's slider so, and the operator sets it there.
    if (wanted.compare(QStringLiteral("Schwelle"), Qt::CaseInsensitive) == 0) {
        wanted = QStringLiteral("startLevel");
    }
    for (const SettingsRow& row : settingsRows()) {
        if (wanted.compare(QLatin1String(row.key), Qt::CaseInsensitive) == 0 ||
            wanted.compare(QString::fromUtf8(row.fieldName), Qt::CaseInsensitive) == 0) {
            return &row;
        }
    }
    return nullptr;
}

AssignedSettings assignSettings(const QStringList& lines, const QStringList& assignments) {
    QStringList result = lines;
    while (result.size() < kSettingsLineCount) {
        result << QString();
    }
    for (const QString& assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            return {lines, QStringLiteral("„%1“ ist keine Zuweisung NAME=WERT.").arg(assignment)};
        }
        const SettingsRow* row = settingsRowNamed(assignment.left(equals));
        if (row == nullptr) {
            return {lines, QStringLiteral("Eine Einstellung „%1“ gibt es nicht; kestrova --einstellungen "
                                          "nennt alle.")
                               .arg(assignment.left(equals).trimmed())};
        }
        const Taken taken = takeValue(*row, assignment.mid(equals + 1));
        if (!taken.refusal.isEmpty()) {
            return {lines, taken.refusal};
        }
        result[row->line - 1] = taken.text;
    }
    for (const SettingsRow& row : settingsRows()) {
        if (!readingTakes(row, result.at(row.line - 1))) {
            return {lines, fieldOf(row) + QStringLiteral(" (Zeile %1) ist in der Datei ungültig: „%2“. Bitte "
                                                         "mit --setze richtigstellen.")
                                              .arg(row.line)
                                              .arg(result.at(row.line - 1))};
        }
    }
    return {result, {}};
}

QString settingsListing(const QStringList& lines) {
    QString out;
    for (const SettingsRow& row : settingsRows()) {
        out += QStringLiteral("%1 %2 (%3) = %4\n     %5\n")
                   .arg(row.line, 2)
                   .arg(QString::fromUtf8(row.fieldName), QString::fromLatin1(row.key),
                        lines.value(row.line - 1), QString::fromUtf8(row.meaning));
    }
    return out;
}

} // namespace kestrova
