#include "app/CommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace kestrova {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QStringLiteral("--version") || argument == QStringLiteral("-v")) {
            line.showVersion = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            line.showHelp = true;
        } else if (argument == QStringLiteral("--headless")) {
            line.headless = true;
        } else if (argument == QStringLiteral("--program-folder")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--program-folder needs a folder");
                return line;
            }
            line.programFolder = arguments.at(++i);
        } else if (argument == QStringLiteral("--input-file")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--input-file needs a WAV file");
                return line;
            }
            line.inputFile = arguments.at(++i);
        } else if (argument == QStringLiteral("--verify")) {
            if (i + 1 < arguments.size() && arguments.at(i + 1) == QStringLiteral("--letzter-hash")) {
                line.lastHashOnly = true;
                ++i;
            }
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--verify needs a folder");
                return line;
            }
            line.verifyFolder = arguments.at(++i);
        } else if (argument == QStringLiteral("--letzter-hash")) {
            line.lastHashOnly = true;
        } else if (argument == QStringLiteral("--web")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--web needs ADDRESS:PORT");
                return line;
            }
            line.webAddress = arguments.at(++i);
        } else if (argument == QStringLiteral("--set-web-password")) {
            line.setWebPassword = true;
        } else if (argument.startsWith(QStringLiteral("--program-folder="))) {
            line.programFolder = argument.section(QLatin1Char('='), 1);
        } else {
            line.error = QStringLiteral("unknown option: ") + argument;
            return line;
        }
    }
    if (line.lastHashOnly && line.verifyFolder.isEmpty()) {
        line.error = QStringLiteral("--letzter-hash goes with --verify FOLDER");
    }
    return line;
}

QString helpText(const QString& executable) {
    return QStringLiteral(
               "Usage: %1 [options]\n"
               "Records the voice traffic of a radio circuit.\n\n"
               "Options:\n"
               "  --program-folder DIR  keep Kestrova.ini, KV.DAT, the recordings folder W and\n"
               "                        rx.wav in DIR (default: the folder of the program; for an\n"
               "                        installed program, or when that folder cannot be written,\n"
               "                        the user's own data folder ~/.local/share/Kestrova)\n"
               "  --input-file FILE     offer FILE.wav as the first input device: it plays the\n"
               "                        file in real time, then silence (try the program\n"
               "                        without a receiver)\n"
               "  --verify FOLDER       check the recordings below the documentation folder\n"
               "                        FOLDER against their manifests, print what differs\n"
               "                        and the last hash of each manifest, and end; exit\n"
               "                        status 0 all good, 1 findings, 2 nothing to check\n"
               "                        against (no such folder, no manifest)\n"
               "  --verify --letzter-hash FOLDER\n"
               "                        print only the last hash of the manifests' chain, one\n"
               "                        line per circuit (\"hash  manifest\"), to note elsewhere\n"
               "  --headless            run without a display: the recorder starts at once and\n"
               "                        every event goes to standard error, one line each\n"
               "  --web ADDRESS:PORT    show the recordings on a web page at ADDRESS:PORT (say\n"
               "                        127.0.0.1:8080; an address other than 127.x.y.z or\n"
               "                        [::1] needs a password)\n"
               "  --set-web-password    set the web page's password (asked twice) and end\n"
               "  --version             print the version and end\n"
               "  --help                print this text and end\n")
        .arg(executable);
}

bool isWritableFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kestrova-write-test-XXXXXX")));
    return probe.open();
}

namespace {

QString comparablePath(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

} // namespace

// Everything below /usr belongs to the system's packages or to the local
// administrator; the configured prefix covers installations elsewhere (/opt).
bool isInstalledProgramFolder(const QString& executableFolder, const QString& installBinFolder) {
    if (executableFolder.isEmpty()) {
        return false;
    }
    const QString folder = comparablePath(executableFolder);
    if (folder == QStringLiteral("/usr") || folder.startsWith(QStringLiteral("/usr/"))) {
        return true;
    }
    return !installBinFolder.isEmpty() && folder == comparablePath(installBinFolder);
}

ProgramFolderChoice chooseProgramFolder(const ProgramFolderCandidates& candidates) {
    if (!candidates.requested.isEmpty()) {
        return {QDir::cleanPath(QFileInfo(candidates.requested).absoluteFilePath()), false, false};
    }
    const bool installed = isInstalledProgramFolder(candidates.executableFolder, candidates.installBinFolder);
    if (!installed && isWritableFolder(candidates.executableFolder)) {
        return {QDir::cleanPath(candidates.executableFolder), false, false};
    }
    QDir().mkpath(candidates.userDataFolder);
    return {QDir::cleanPath(candidates.userDataFolder), !installed, installed};
}

QString programFolderNotice(const ProgramFolderChoice& choice) {
    const QString where = QDir::toNativeSeparators(choice.folder);
    if (choice.installed) {
        // Said at every start: an operator who started from the desktop menu must
        // still learn where the recordings go.
        return QStringLiteral("Einstellungen und Aufnahmen liegen in ") + where;
    }
    if (!choice.fellBack) {
        return {};
    }
    return QStringLiteral("Der Programmordner ist schreibgeschützt; Einstellungen und Aufnahmen liegen in ") +
           where;
}

} // namespace kestrova
