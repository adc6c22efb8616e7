#include "app/Settings.h"

#include "app/Program.h"
#include "app/SettingsControls.h"
#include "app/SettingsEffects.h"
#include "archive/Archive.h"
#include "automation/AutoCq.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"
#include "platform/RegularFile.h"
#include "platform/SafeSaveFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTable.h"
#include "transmit/Transmitter.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QLabel>

namespace kestrova {

Settings::Settings(Program& program) : program_(program) {}

QString Settings::filePath() const {
    return settingsFilePath(program_.programFolder());
}

void Settings::createSettingsFile() {
    if (QFile::exists(filePath())) {
        return;
    }
    writeLines(
        defaultSettingsLines(DefaultSet::NewFile, program_.programFolder(), program_.platform().clock.now()));
}

bool Settings::writeLines(const QStringList& lines, const QString& consequence) {
    if (writeSettingsLines(filePath(), lines)) {
        return true;
    }
    program_.platform().dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(filePath()) +
                                            QStringLiteral("] kann nicht geschrieben werden!") + consequence,
                                        QString(), MessageButtons::Ok, MessageIcon::Stop);
    return false;
}

QString Settings::guessMarkerPath() const {
    return settingsGuessMarkerPath(program_.programFolder());
}

QString Settings::deletionHold() const {
    const QString prefix = QStringLiteral("Alte Aufnahmen werden nicht gelöscht: ");
    if (damagedDefaults_) {
        return prefix +
               QStringLiteral("Es gilt die Grundeinstellung, bis die Einstellungen gespeichert sind.");
    }
    if (guesses_.retention) {
        return prefix + QStringLiteral("Die Anzahl der Tage ist keine gültige Zahl.");
    }
    if (guesses_.minimum) {
        return prefix + QStringLiteral("Die minimale Aufnahmezeit ist keine gültige Zahl.");
    }
    return {};
}

void Settings::readSettings() {
    program_.autoCq().haltForSettings();

    const bool missing = !QFile::exists(filePath());
    createSettingsFile();
    const SettingsFileRead read = readSettingsFile(filePath());
    std::optional<QStringList> lines = read.lines;
    if (missing && !lines) {
        // The folder cannot be written: run on the new-file defaults all the same.
        lines = defaultSettingsLines(DefaultSet::NewFile, program_.programFolder(),
                                     program_.platform().clock.now());
    }
    if (!lines || !applyLines(*lines)) {
        handleDamagedFile(read.notAFile);
    }
    damagedDefaults_ = damagedDefaults_ || QFile::exists(guessMarkerPath());
    // Without a desktop nobody could switch the recorder on.
    if (program_.options().headless) {
        values.autoStart = 1;
    }
    // Said at every reading while it lasts: a service has no form to save from.
    const QString hold = deletionHold();
    if (!hold.isEmpty()) {
        program_.platform().events.record(
            EventPriority::Warning,
            hold + QStringLiteral(
                       " Beenden: im Einstellungsfenster „Speichern“, oder "
                       "kestrova --einstellungen --bestaetigen (Werte ändern mit --setze NAME=WERT)."));
    }
    runClosingSteps();
}

void Settings::handleDamagedFile(bool notAFile) {
    damagedDefaults_ = true;
    // Written beside, never opened in place: a FIFO by that name would block.
    SafeSaveFile marker(guessMarkerPath());
    if (marker.open(QIODevice::WriteOnly)) {
        marker.write("Kestrova.ini enthält die Grundeinstellung nach einer fehlerhaften Datei.\r\n");
        marker.commit();
    }
    const QString fault =
        notAFile ? QStringLiteral("] ist keine gewöhnliche Datei!") : QStringLiteral("] ist fehlerhaft!");
    Dialogs& dialogs = program_.platform().dialogs;
    dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(filePath()) + fault +
                        QStringLiteral("\r\rProgramm startet in der Grundeinstellung."),
                    QString(), MessageButtons::Ok, MessageIcon::None);

    // Keep what the user had entered before the defaults replace it; only a plain
    // file is copied, as only such a file is read.
    copyRegularFile(filePath(), filePath() + QStringLiteral(".bak"));
    const QStringList defaults = defaultSettingsLines(DefaultSet::DamagedFile, program_.programFolder(),
                                                      program_.platform().clock.now());
    writeLines(defaults);
    // A second failure does not start another rewrite: the defaults always apply.
    const std::optional<QStringList> reread = readSettingsLines(filePath());
    if (!reread || !applyLines(*reread)) {
        applyLines(defaults);
    }
}

bool Settings::applyLines(const QStringList& lines) {
    if (!readSettingsValues(lines, values, guesses_)) {
        return false;
    }
    for (const SettingsRow& row : settingsRows()) {
        showOnControl(program_, row, lines.at(row.line - 1));
    }
    applySettingsEffects(program_, values);
    return true;
}

void Settings::runClosingSteps() {
    // A message box of the reading may have been open when the end came.
    if (program_.hasEnded()) {
        return;
    }
    MainForm& main = *program_.frm_DoKu;
    program_.transmitter().openControlPort();
    main.lbl_LoadWave->setFixedWidth(static_cast<int>(main.lbl_LoadWave->text().size()) * 105 / 15);
    program_.archive().refreshRecordingList();
    program_.statusBar().buildStatusBar();
    // Opened again only if it opened: a port that failed is reported once.
    if (program_.transmitter().hasControlPort()) {
        program_.transmitter().openControlPort();
    }
}

QStringList Settings::currentLines() {
    QStringList lines{saveNote(program_.programFolder(), program_.platform().clock.now())};
    for (const SettingsRow& row : settingsRows()) {
        // A line no control shows is kept by the program itself.
        std::optional<QString> text = controlText(program_, row);
        lines.append(text ? *std::move(text) : row.value.give(values));
    }
    return lines;
}

bool Settings::saveSettings() {
    if (!QFile::exists(filePath())) {
        return true;
    }
    const bool saved =
        writeLines(currentLines(), QStringLiteral("\r\rDie bisherige Datei bleibt unverändert."));
    // Saved from the form: the settings in force are now the user's own.
    if (saved) {
        damagedDefaults_ = false;
        QFile::remove(guessMarkerPath());
    }
    program_.frm_DoKu->lblrsp->hide();
    return saved;
}

} // namespace kestrova
