#include "base/program/SettingsCommand.h"

#include "base/aftercommand/AfterCommandSettings.h"
#include "base/alarm/AlarmSettings.h"
#include "base/files/FolderLock.h"
#include "base/mqtt/MqttSettings.h"
#include "base/program/InputDevices.h"
#include "base/program/NamedSettings.h"
#include "base/settings/SettingsFile.h"
#include "base/web/WebSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

class SettingsCommandTest : public ::testing::Test {
protected:
    int run(const SettingsCommand& command, const QString& programFolder = {}) {
        output.clear();
        errors.clear();
        QTextStream out(&output);
        QTextStream err(&errors);
        return runSettingsCommand(programFolder.isEmpty() ? folder.path() : programFolder, command,
                                  QDateTime(QDate(2026, 12, 8), QTime(12, 0)), out, err);
    }
    QByteArray fileBytes() const {
        QFile file(settingsFilePath(folder.path()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString marker() const { return settingsGuessMarkerPath(folder.path()); }

    QTemporaryDir folder;
    QString output;
    QString errors;
};

TEST_F(SettingsCommandTest, SetsSavesAndEndsTheDeletionHoldOrChangesNothing) {
    ASSERT_EQ(run({false, {QStringLiteral("Aufnahmen behalten=7")}}), 0) << errors.toStdString();
    const std::optional<QStringList> lines = readSettingsLines(settingsFilePath(folder.path()));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->at(13), QStringLiteral("7"));
    EXPECT_TRUE(fileBytes().endsWith("\r\n"));

    // A refusal leaves the file as it was, to the byte, and the hold where it was.
    QFile(marker()).open(QIODevice::WriteOnly);
    const QByteArray before = fileBytes();
    EXPECT_EQ(run({false, {QStringLiteral("Aufnahmen behalten=8"), QStringLiteral("Funkkreis=01")}}), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("Funkkreis")));
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(QFile::exists(marker()));

    EXPECT_EQ(run({}), 0);
    EXPECT_TRUE(output.contains(QStringLiteral("Aufnahmen behalten (keepDays) = 7")));
    EXPECT_TRUE(output.contains(QStringLiteral("--bestaetigen")));
    EXPECT_EQ(run({true, {}}), 0);
    EXPECT_FALSE(QFile::exists(marker()));
}

// A service's folder before its first start: named, with how to make it; nothing is made.
TEST_F(SettingsCommandTest, NamesAMissingProgramFolderAndMakesNothing) {
    const QString missing = folder.filePath(QStringLiteral("kreis2"));
    EXPECT_EQ(
        run({false, {QStringLiteral("Funkkreis=2"), QStringLiteral("web.adresse=0.0.0.0:8082")}}, missing),
        1);
    EXPECT_TRUE(errors.contains(QStringLiteral("Den Programmordner [%1] gibt es nicht").arg(missing)));
    EXPECT_TRUE(errors.contains(QStringLiteral("install -d -o kestrova")));
    EXPECT_FALSE(QFile::exists(missing));
}

// The lines of the other files are set by their file's prefix, beside those of
// Kestrova.ini, all or nothing, and the file holding them is its owner's alone.
TEST_F(SettingsCommandTest, SetsTheNamedLinesOfTheOtherFilesAllOrNothing) {
    const QString web = webSettingsPath(folder.path());
    EXPECT_EQ(run({false, {QStringLiteral("web.adresse=nirgends"), QStringLiteral("Aufnahmen behalten=7")}}),
              1);
    EXPECT_TRUE(errors.contains(QStringLiteral("web.adresse")));
    EXPECT_FALSE(QFile::exists(web));
    EXPECT_FALSE(QFile::exists(settingsFilePath(folder.path())));

    ASSERT_EQ(
        run({false, {QStringLiteral("WEB.adresse=127.0.0.1:8081"), QStringLiteral("Aufnahmen behalten=7")}}),
        0)
        << errors.toStdString();
    EXPECT_EQ(readWebSettings(web).address, QStringLiteral("127.0.0.1:8081"));
    EXPECT_EQ(QFile(web).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    EXPECT_EQ(readSettingsLines(settingsFilePath(folder.path()))->at(13), QStringLiteral("7"));
    ASSERT_EQ(run({}), 0);
    EXPECT_TRUE(output.contains(QStringLiteral("web.adresse = 127.0.0.1:8081")));
    ASSERT_EQ(run({false, {QStringLiteral("web.adresse=")}}), 0);
    EXPECT_TRUE(readWebSettings(web).address.isEmpty());

    // MQTT's lines with its own file's checks; a password is not shown again.
    EXPECT_EQ(run({false, {QStringLiteral("mqtt.port=neunzig")}}), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("port")));
    ASSERT_EQ(
        run({false, {QStringLiteral("mqtt.broker=127.0.0.1"), QStringLiteral("mqtt.passwort=geheim1234")}}),
        0);
    EXPECT_FALSE(output.contains(QStringLiteral("geheim1234")));
    EXPECT_EQ(readMqttSettings(mqttSettingsPath(folder.path())).broker, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(run({false, {QStringLiteral("nach_aufnahme.gleichzeitig=3")}}), 1);
    ASSERT_EQ(run({false, {QStringLiteral("nach_aufnahme=rclone copyto \"$KESTROVA_DATEI\" ziel:funk/")}}),
              0);
    EXPECT_EQ(readAfterCommandSettings(afterCommandSettingsPath(folder.path())).command,
              QStringLiteral("rclone copyto \"$KESTROVA_DATEI\" ziel:funk/"));

    // The alarms' lines: a count that is no number is refused in German, and nothing is written.
    const QString alarms = alarmSettingsPath(folder.path());
    EXPECT_EQ(
        run({false,
             {QStringLiteral("alarm.ohne_aufnahme_stunden=6"), QStringLiteral("alarm.tage_frei=acht")}}),
        1);
    EXPECT_TRUE(errors.contains(QStringLiteral("alarm.tage_frei=acht wird nicht übernommen")))
        << errors.toStdString();
    EXPECT_FALSE(QFile::exists(alarms));
    ASSERT_EQ(run({false,
                   {QStringLiteral("alarm.ohne_aufnahme_stunden=6"),
                    QStringLiteral("alarm.bei_alarm=logger \"$KESTROVA_ALARM_TEXT\"")}}),
              0)
        << errors.toStdString();
    const AlarmSettings alarm = readAlarmSettings(alarms);
    EXPECT_EQ(alarm.quietHours, 6);
    EXPECT_EQ(alarm.daysFree, 7);
    EXPECT_EQ(alarm.command, QStringLiteral("logger \"$KESTROVA_ALARM_TEXT\""));
}

// Each part declares its own lines; --setze knows them by the names it always had,
// each in the file its part reads, and the part takes every key --setze writes.
TEST_F(SettingsCommandTest, EachPartsLinesKeepTheirNamesAndReachTheirReader) {
    QStringList names;
    QByteArray mqttLines;
    for (const NamedSetting& setting : namedSettings()) {
        names << setting.name;
        if (setting.name.startsWith(QStringLiteral("mqtt."))) {
            mqttLines += setting.key.toUtf8() + "=\n";
        }
    }
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              QStringLiteral("dienst.eingang web.adresse web.zertifikat web.schluessel mqtt.broker mqtt.port "
                             "mqtt.tls mqtt.ca_datei mqtt.benutzer mqtt.passwort mqtt.praefix mqtt.kreis "
                             "mqtt.homeassistant mqtt.warteschlange nach_aufnahme nach_aufnahme.zeitlimit "
                             "nach_aufnahme.gleichzeitig alarm.ohne_aufnahme_stunden alarm.tage_frei "
                             "alarm.bei_alarm"));
    QFile mqtt(mqttSettingsPath(folder.path()));
    ASSERT_TRUE(mqtt.open(QIODevice::WriteOnly));
    mqtt.write(mqttLines + "qos=1\n");
    mqtt.close();
    EXPECT_EQ(readMqttSettings(mqtt.fileName()).problems.filter(QStringLiteral("unbekannt")).join(QString()),
              QStringLiteral("KestrovaMqtt.ini: der Schlüssel \"qos\" ist unbekannt und bleibt unbeachtet."));

    ASSERT_EQ(run({false,
                   {QStringLiteral("dienst.eingang=USB"), QStringLiteral("web.schluessel=/k.pem"),
                    QStringLiteral("nach_aufnahme.zeitlimit=30")}}),
              0)
        << errors.toStdString();
    EXPECT_EQ(chosenInputDevice(folder.path()), QStringLiteral("USB"));
    EXPECT_EQ(readWebSettings(webSettingsPath(folder.path())).keyFile, QStringLiteral("/k.pem"));
    EXPECT_EQ(readAfterCommandSettings(afterCommandSettingsPath(folder.path())).timeLimit,
              std::chrono::seconds(30));
}

// What the readers would not read back whole, or would read as more lines than
// one, is refused before anything is written.
TEST_F(SettingsCommandTest, RefusesValuesTheReadersWouldNotReadBack) {
    const QString tooLong(65536, QLatin1Char('x'));
    const QString mqtt = mqttSettingsPath(folder.path());
    for (const QString& assignment :
         {QStringLiteral("Name des Funkkreises=") + tooLong, QStringLiteral("mqtt.passwort=") + tooLong,
          QStringLiteral("mqtt.passwort=geheim\nbroker=evil.example"),
          QStringLiteral("nach_aufnahme=true\nzeitlimit=99999999"),
          QStringLiteral("dienst.eingang=U\x01SB")}) {
        EXPECT_EQ(run({false, {assignment, QStringLiteral("mqtt.broker=127.0.0.1")}}), 1)
            << assignment.left(40).toStdString();
        EXPECT_TRUE(errors.contains(QStringLiteral("Nichts geändert"))) << errors.toStdString();
        EXPECT_FALSE(QFile::exists(mqtt));
        EXPECT_FALSE(QFile::exists(settingsFilePath(folder.path())));
        QFile::remove(mqtt);
        QFile::remove(settingsFilePath(folder.path()));
    }
    EXPECT_TRUE(errors.contains(QStringLiteral("dienst.eingang")));
}

// The program writes the file itself while it runs: nothing is set under it.
TEST_F(SettingsCommandTest, LeavesTheFileAloneWhileTheProgramRunsOnTheFolder) {
    ASSERT_EQ(run({false, {QStringLiteral("Aufnahmen behalten=7")}}), 0);
    const QByteArray before = fileBytes();
    FolderLock running(folder.path());
    ASSERT_EQ(running.tryLock(), FolderLock::Result::Locked);
    EXPECT_EQ(run({false, {QStringLiteral("Aufnahmen behalten=9")}}), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("läuft")));
    EXPECT_EQ(fileBytes(), before);
}

} // namespace
} // namespace kestrova
