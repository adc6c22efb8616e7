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
        } else if (argument.startsWith(QStringLiteral("--program-folder="))) {
            line.programFolder = argument.section(QLatin1Char('='), 1);
        } else {
            line.error = QStringLiteral("unknown option: ") + argument;
            return line;
        }
    }
    return line;
}

QString helpText(const QString& executable) {
    return QStringLiteral(
               "Usage: %1 [options]\n"
               "Records the voice traffic of a radio circuit.\n\n"
               "Options:\n"
               "  --program-folder DIR  keep Kestrova.ini, the recordings folder W, rx.wav and the\n"
               "                        help in DIR (default: the folder of the program; when that\n"
               "                        cannot be written, the user's own data folder)\n"
               "  --input-file FILE     offer FILE.wav as the first input device: it plays the\n"
               "                        file in real time, then silence (try the program\n"
               "                        without a receiver)\n"
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

ProgramFolderChoice chooseProgramFolder(const QString& requested, const QString& executableFolder,
                                        const QString& userDataFolder) {
    if (!requested.isEmpty()) {
        return {QDir::cleanPath(QFileInfo(requested).absoluteFilePath()), false};
    }
    if (isWritableFolder(executableFolder)) {
        return {QDir::cleanPath(executableFolder), false};
    }
    QDir().mkpath(userDataFolder);
    return {QDir::cleanPath(userDataFolder), true};
}

QString programFolderNotice(const ProgramFolderChoice& choice) {
    if (!choice.fellBack) {
        return {};
    }
    return QStringLiteral("Der Programmordner ist schreibgeschützt; Einstellungen und Aufnahmen liegen in ") +
           QDir::toNativeSeparators(choice.folder);
}

} // namespace kestrova
