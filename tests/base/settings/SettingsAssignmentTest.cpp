#include "base/settings/SettingsAssignment.h"

#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

QStringList defaults() {
    return defaultSettingsLines(DefaultSet::NewFile, QStringLiteral("/srv/k"), QDateTime());
}

TEST(SettingsAssignment, SetsByGermanNameOrKeyWithTheFormsRules) {
    const AssignedSettings set =
        assignSettings(defaults(), {QStringLiteral("aufnahmen behalten=7"), QStringLiteral("circuitNumber=2"),
                                    QStringLiteral("PTT- und Squelch-Leitung=7/9"),
                                    QStringLiteral("Abtastrate=8000"), QStringLiteral("Schwelle=40")});
    ASSERT_TRUE(set.refusal.isEmpty()) << set.refusal.toStdString();
    EXPECT_EQ(set.lines.at(13), QStringLiteral("7"));
    EXPECT_EQ(set.lines.at(5), QStringLiteral("2"));
    EXPECT_EQ(set.lines.at(7), QStringLiteral("79 1"));
    EXPECT_EQ(set.lines.at(3), QStringLiteral("8000"));
    EXPECT_EQ(set.lines.at(8), QStringLiteral("40")); // the main window's name of the start level
    EXPECT_EQ(settingsListing(set.lines).count(QLatin1Char('\n')), 2 * (kSettingsLineCount - 1));
}

// Any refusal names the field and leaves every line as it was, the good ones too.
TEST(SettingsAssignment, RefusesWhatTheFormRefusesAndChangesNothing) {
    const QStringList before = defaults();
    for (const char* wrong :
         {"Funkkreis=01", "Funkkreis=1.0", "Aufnahme mindestens=abc", "Abtastrate=12000",
          "Recorder automatisch starten=2", "pins=5/6", "recordingCount=9", "Kanal=-1", "unbekannt=1",
          "ohne Gleichheitszeichen", "Dokumentationsordner=", "docFolder= "}) {
        SCOPED_TRACE(wrong);
        const AssignedSettings set =
            assignSettings(before, {QStringLiteral("Aufnahmen behalten=9"), QString::fromUtf8(wrong)});
        EXPECT_FALSE(set.refusal.isEmpty());
        EXPECT_FALSE(set.refusal.contains(QLatin1Char('\r')));
        EXPECT_EQ(set.lines, before);
    }
    EXPECT_TRUE(assignSettings(before, {QStringLiteral("Funkkreis=01")})
                    .refusal.contains(QStringLiteral("Funkkreis")));
    // A value must stay one line of the file's code page.
    EXPECT_FALSE(assignSettings(before, {QStringLiteral("docFolder=/a\r\n/b")}).refusal.isEmpty());
    EXPECT_FALSE(assignSettings(before, {QStringLiteral("circuitName=\u4e00")}).refusal.isEmpty());
    // A damaged line the command does not set is named, not written back.
    QStringList damaged = before;
    damaged[3] = QStringLiteral("12345");
    const AssignedSettings onDamaged = assignSettings(damaged, {QStringLiteral("Aufnahmen behalten=9")});
    EXPECT_TRUE(onDamaged.refusal.contains(QStringLiteral("Abtastrate")));
    EXPECT_TRUE(assignSettings(damaged, {QStringLiteral("Abtastrate=22050")}).refusal.isEmpty());
}

} // namespace
} // namespace kestrova
