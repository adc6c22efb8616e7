#include "base/settings/SettingsStore.h"

#include "base/desktop/Clock.h"
#include "base/desktop/Dialogs.h"
#include "base/desktop/EventLog.h"
#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"

#include <QDir>
#include <QFile>
#include <utility>

namespace kestrova {

SettingsStore::SettingsStore(const Platform& platform, QString programFolder)
    : platform_(platform), programFolder_(std::move(programFolder)) {}

QString SettingsStore::filePath() const {
    return settingsFilePath(programFolder_);
}

QString SettingsStore::guessMarkerPath() const {
    return settingsGuessMarkerPath(programFolder_);
}

void SettingsStore::createSettingsFile() {
    if (QFile::exists(filePath())) {
        return;
    }
    writeLines(defaultSettingsLines(DefaultSet::NewFile, programFolder_, platform_.clock.now()));
}

bool SettingsStore::writeLines(const QStringList& lines, const QString& consequence) {
    if (writeSettingsLines(filePath(), lines)) {
        return true;
    }
    platform_.dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(filePath()) +
                                  QStringLiteral("] kann nicht geschrieben werden!") + consequence,
                              QString(), MessageButtons::Ok, MessageIcon::Stop);
    return false;
}

QString SettingsStore::deletionHold() const {
    QStringList reasons;
    if (damagedDefaults_) {
        reasons << QStringLiteral("Es gilt die Grundeinstellung, bis die Einstellungen gespeichert sind.");
    }
    const QString guessed = guessedValues(guesses_);
    if (!guessed.isEmpty()) {
        reasons << guessed;
    }
    return reasons.isEmpty()
               ? QString()
               : QStringLiteral("Alte Aufnahmen werden nicht gelöscht: ") + reasons.join(QLatin1Char(' '));
}

void SettingsStore::readSettings() {
    const bool missing = !QFile::exists(filePath());
    createSettingsFile();
    const SettingsFileRead read = readSettingsFile(filePath());
    std::optional<QStringList> lines = read.lines;
    if (missing && !lines) {
        // The folder cannot be written: run on the new-file defaults all the same.
        lines = defaultSettingsLines(DefaultSet::NewFile, programFolder_, platform_.clock.now());
    }
    if (!lines || !applyLines(*lines)) {
        handleDamagedFile(read.notAFile);
    }
    damagedDefaults_ = damagedDefaults_ || QFile::exists(guessMarkerPath());
    // Said at every reading while it lasts: a service has no form to save from.
    const QString hold = deletionHold();
    if (!hold.isEmpty()) {
        platform_.events.record(EventPriority::Warning, hold + holdAdvice());
    }
}

// A value that is no number ends its hold only with a number in its place, which
// neither the form nor --bestaetigen takes as it stands; the defaults after a
// damaged file end theirs once they are taken as the user's own.
QString SettingsStore::holdAdvice() const {
    if (!guessedValues(guesses_).isEmpty()) {
        return QStringLiteral(
            " Beenden: den Wert im Einstellungsfenster richtigstellen und „Speichern“, oder "
            "kestrova --setze NAME=WERT.");
    }
    return QStringLiteral(" Beenden: im Einstellungsfenster „Speichern“, oder kestrova --einstellungen "
                          "--bestaetigen (Werte ändern mit --setze NAME=WERT).");
}

void SettingsStore::handleDamagedFile(bool notAFile) {
    damagedDefaults_ = true;
    // Written beside, never opened in place: a FIFO by that name would block.
    SafeSaveFile marker(guessMarkerPath());
    if (marker.open(QIODevice::WriteOnly)) {
        marker.write("Kestrova.ini enthält die Grundeinstellung nach einer fehlerhaften Datei.\r\n");
        marker.commit();
    }
    const QString fault =
        notAFile ? QStringLiteral("] ist keine gewöhnliche Datei!") : QStringLiteral("] ist fehlerhaft!");
    platform_.dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(filePath()) + fault +
                                  QStringLiteral("\r\rProgramm startet in der Grundeinstellung."),
                              QString(), MessageButtons::Ok, MessageIcon::None);

    // Keep what the user had entered before the defaults replace it; only a plain
    // file is copied, as only such a file is read.
    copyRegularFile(filePath(), filePath() + QStringLiteral(".bak"));
    const QStringList defaults =
        defaultSettingsLines(DefaultSet::DamagedFile, programFolder_, platform_.clock.now());
    writeLines(defaults);
    // A second failure does not start another rewrite: the defaults always apply.
    const std::optional<QStringList> reread = readSettingsLines(filePath());
    if (!reread || !applyLines(*reread)) {
        applyLines(defaults);
    }
}

bool SettingsStore::applyLines(const QStringList& lines) {
    SettingsValues read = values_;
    if (!readSettingsValues(lines, read, guesses_)) {
        return false;
    }
    apply(read);
    emit linesTaken(lines);
    return true;
}

void SettingsStore::apply(const SettingsValues& next) {
    const SettingsValues before = std::exchange(values_, next);
    for (const SettingsRow& row : settingsRows()) {
        if (row.value.differs != nullptr && row.value.differs(before, next)) {
            emit changed(QString::fromLatin1(row.key));
        }
    }
}

void SettingsStore::change(const std::function<void(SettingsValues& values)>& edit) {
    SettingsValues next = values_;
    edit(next);
    apply(next);
}

bool SettingsStore::saveLines(const QStringList& lines) {
    const bool saved = writeLines(lines, QStringLiteral("\r\rDie bisherige Datei bleibt unverändert."));
    if (saved) {
        damagedDefaults_ = false;
        QFile::remove(guessMarkerPath());
    }
    return saved;
}

} // namespace kestrova
