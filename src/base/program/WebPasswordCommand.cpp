#include "base/program/WebPasswordCommand.h"

#include "base/desktop/PasswordPrompt.h"
#include "base/files/FolderOwner.h"
#include "base/program/MissingProgramFolder.h"
#include "base/web/PasswordHash.h"
#include "base/web/WebSettings.h"

#include <QDir>
#include <QTextStream>

namespace kestrova {

namespace {
constexpr int kShortestPassword = 8;
} // namespace

int setWebPasswordCommand(const QString& programFolder) {
    QTextStream err(stderr);
    // Said before the password is asked for, not after it was typed twice.
    const QString missing = missingProgramFolder(programFolder);
    if (!missing.isEmpty()) {
        err << missing << "\nNichts geändert.\n";
        return 1;
    }
    const QString path = webSettingsPath(programFolder);
    // Its other lines would be lost: a file that cannot be read is left alone.
    const QString readError = readWebSettings(path).readError;
    if (!readError.isEmpty()) {
        err << readError << " Nichts geändert.\n";
        return 1;
    }
    const std::optional<QString> first = readSecretLine(QStringLiteral("Neues Passwort der Webseite: "));
    const std::optional<QString> second = readSecretLine(QStringLiteral("Noch einmal: "));
    if (!first || !second) {
        err << "Kein Passwort eingegeben; nichts geändert.\n";
        return 1;
    }
    if (*first != *second) {
        err << "Die beiden Eingaben sind verschieden; nichts geändert.\n";
        return 1;
    }
    if (first->size() < kShortestPassword) {
        err << "Das Passwort ist zu kurz (mindestens " << kShortestPassword
            << " Zeichen); nichts geändert.\n";
        return 1;
    }
    if (!storePasswordHash(path, hashPassword(*first))) {
        err << "Die Datei " << QDir::toNativeSeparators(path)
            << " lässt sich nicht schreiben; nichts geändert.\n";
        return 1;
    }
    // Set by the administrator for the system service: the service's user must read it.
    const QString ownerError = handToFolderOwner(path, programFolder);
    if (!ownerError.isEmpty()) {
        err << ownerError << '\n';
        return 1;
    }
    err << "Das Passwort der Webseite ist gespeichert in " << QDir::toNativeSeparators(path)
        << ". Ein laufendes Kestrova übernimmt es beim nächsten Start.\n";
    return 0;
}

} // namespace kestrova
