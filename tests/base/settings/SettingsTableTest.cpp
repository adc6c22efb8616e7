// The table of the settings lines: its rows against each other and the reading.
#include "base/settings/SettingsTable.h"

#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsValues.h"

#include <QDateTime>
#include <QSet>
#include <gtest/gtest.h>
#include <utility>

namespace kestrova {
namespace {

TEST(SettingsTable, OneRowPerLineWhoseDefaultsItsOwnRulesTake) {
    QSet<QString> keys;
    int line = 2;
    for (const SettingsRow& row : settingsRows()) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.line, line++);
        EXPECT_FALSE(keys.contains(QLatin1String(row.key)));
        keys.insert(QLatin1String(row.key));
        EXPECT_EQ(settingsRow(QString::fromLatin1(row.key)), &row);
        for (const char* value : {row.newFileDefault, row.damagedFileDefault}) {
            if (value != nullptr) {
                EXPECT_TRUE(readingTakes(row, QString::fromUtf8(value)));
                EXPECT_EQ(formRefusal(row, QString::fromUtf8(value)), QString());
            }
        }
    }
    EXPECT_EQ(line, kSettingsLineCount + 1);
}

TEST(SettingsTable, ReadingTakesAWholeFileOrNothing) {
    const QDateTime now(QDate(2012, 8, 17), QTime(9, 5, 7));
    QStringList lines = defaultSettingsLines(DefaultSet::NewFile, QStringLiteral("/opt/k"), now);
    lines[21] = QStringLiteral("25");
    lines[25] = QStringLiteral("4.5");
    SettingsValues values;
    SettingsGuesses guesses;
    ASSERT_TRUE(readSettingsValues(lines, values, guesses));
    EXPECT_EQ(values.meterInterval, 25);
    EXPECT_EQ(values.cqPause, 4500);
    EXPECT_EQ(values.circuitNumber, 1);
    EXPECT_EQ(values.outputLevel, 32767);

    // A damaged last line: nothing of the lines before it is taken either.
    lines[1] = QStringLiteral("/srv/funk");
    lines[29] = QStringLiteral("99999999999");
    EXPECT_FALSE(readSettingsValues(lines, values, guesses));
    EXPECT_EQ(values.docFolder, QStringLiteral("/opt/k"));
    EXPECT_FALSE(readSettingsValues(lines.mid(0, 29), values, guesses));
}

// A stand-in 0 of a line that is no number is read, but named: it holds the deletions.
TEST(SettingsTable, ANonNumberForADayCountMinimumOrMeterIntervalIsAGuess) {
    const QDateTime now(QDate(2012, 8, 17), QTime(9, 5, 7));
    const QStringList good = defaultSettingsLines(DefaultSet::NewFile, QStringLiteral("/opt/k"), now);
    SettingsValues values;
    SettingsGuesses guesses;
    ASSERT_TRUE(readSettingsValues(good, values, guesses));
    EXPECT_EQ(guessedValues(guesses), QString());
    for (const auto& [line, field] :
         {std::pair{10, "Aufnahme mindestens"}, std::pair{14, "Aufnahmen behalten"},
          std::pair{22, "Pegel-Intervall"}}) {
        SCOPED_TRACE(line);
        QStringList lines = good;
        lines[line - 1] = QStringLiteral("abc");
        guesses = {};
        ASSERT_TRUE(readSettingsValues(lines, values, guesses));
        EXPECT_TRUE(guessedValues(guesses).startsWith(QStringLiteral("„%1“").arg(QString::fromUtf8(field))));
    }
    // The meter goes on at the interval of a new file: a transmission is still heard.
    EXPECT_EQ(values.meterInterval, 10);
}

} // namespace
} // namespace kestrova
