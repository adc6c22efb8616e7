#include "base/program/ConsoleCommands.h"

#include "base/common/ProgramIdentity.h"
#include "base/desktop/SystemClock.h"
#include "base/integrity/Verification.h"
#include "base/program/SettingsCommand.h"
#include "base/program/WebPasswordCommand.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTextStream>

namespace kestrova {

QStringList commandArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

ProgramFolderChoice programFolderFor(const CommandLine& line) {
    return chooseProgramFolder({line.programFolder, QCoreApplication::applicationDirPath(),
                                QStringLiteral(KESTROVA_INSTALL_BINDIR),
                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)});
}

std::optional<int> runConsoleCommand(const CommandLine& line, int& argc, char** argv) {
    const MessageLanguage language = messageLanguage();
    QTextStream out(stdout);
    if (!line.error.isEmpty()) {
        QTextStream(stderr) << line.error << "\n" << helpText(QStringLiteral("kestrova"), language);
        return 2;
    }
    if (line.showVersion) {
        const ProgramIdentity identity;
        out << identity.programTitle << ' ' << identity.versionText << '\n';
        return 0;
    }
    if (line.showHelp) {
        out << helpText(QStringLiteral("kestrova"), language);
        return 0;
    }
    if (!line.verifyFolder.isEmpty()) {
        // Beside a running recorder: no folder lock, no display.
        return static_cast<int>(line.lastHashOnly ? printLastHashes(line.verifyFolder, out)
                                                  : verifyRecordings(line.verifyFolder, out,
                                                                     SystemClock().now(), line.notedHash));
    }
    if (line.exportWanted) {
        const QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
        // Beside a running recorder, as --verify: it only reads the archive.
        return runExportCommand(programFolderFor(line).folder, line.exportRequest, SystemClock().now(), out);
    }
    if (line.setWebPassword) {
        const QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
        return setWebPasswordCommand(programFolderFor(line).folder);
    }
    if (line.settingsCommand) {
        const QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
        QTextStream err(stderr);
        return runSettingsCommand(programFolderFor(line).folder, {line.confirmSettings, line.assignments},
                                  SystemClock().now(), out, err);
    }
    return std::nullopt;
}

} // namespace kestrova
