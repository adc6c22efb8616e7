#include "app/CommandLine.h"
#include "app/HeadlessStart.h"
#include "app/Program.h"
#include "app/RealPlatform.h"
#include "app/SettingsCommand.h"
#include "app/WebPasswordCommand.h"
#include "app/WebServing.h"
#include "integrity/ManifestLookup.h"
#include "integrity/Verification.h"
#include "platform/EventLog.h"
#include "platform/OpenFileLimit.h"
#include "platform/QtGermanTexts.h"
#include "platform/StandardDescriptors.h"
#include "platform/SystemClock.h"
#include "platform/TerminationSignals.h"
#include "recorder/Recorder.h"
#include "services/ProgramIdentity.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char** argv) {
    // Before any file is opened: a closed standard error must not lend its number to one.
    kestrova::openClosedStandardDescriptors();
    // The recorder's files and the web page's visitors need more than the usual 1024.
    kestrova::raiseOpenFileLimit();
    // Version and help are answered before the windowing system is touched, so
    // they work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const kestrova::ProgramIdentity identity;
    const kestrova::MessageLanguage language = kestrova::messageLanguage();
    const kestrova::CommandLine line = kestrova::parseCommandLine(arguments, language);
    QTextStream out(stdout);
    if (!line.error.isEmpty()) {
        QTextStream(stderr) << line.error << "\n" << kestrova::helpText(QStringLiteral("kestrova"), language);
        return 2;
    }
    if (line.showVersion) {
        out << identity.programTitle << ' ' << identity.versionText << '\n';
        return 0;
    }
    if (line.showHelp) {
        out << kestrova::helpText(QStringLiteral("kestrova"), language);
        return 0;
    }
    const auto folderOf = [&line] {
        return kestrova::chooseProgramFolder(
            {line.programFolder, QCoreApplication::applicationDirPath(),
             QStringLiteral(KESTROVA_INSTALL_BINDIR),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)});
    };
    if (!line.verifyFolder.isEmpty()) {
        // Beside a running recorder: no folder lock, no display.
        return static_cast<int>(
            line.lastHashOnly
                ? kestrova::printLastHashes(line.verifyFolder, out)
                : kestrova::verifyRecordings(line.verifyFolder, out, kestrova::SystemClock().now()));
    }
    if (line.setWebPassword) {
        const QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
        return kestrova::setWebPasswordCommand(folderOf().folder);
    }
    if (line.settingsCommand) {
        const QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
        QTextStream err(stderr);
        return kestrova::runSettingsCommand(folderOf().folder, {line.confirmSettings, line.assignments},
                                            kestrova::SystemClock().now(), out, err);
    }
    if (line.headless) {
        kestrova::chooseOffscreenWindowing();
    }
    kestrova::readLocalZoneOnce();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrova"));
    QApplication::setQuitOnLastWindowClosed(false);
    const kestrova::QtGermanTexts germanDialogs;
    const kestrova::ProgramFolderChoice folder = folderOf();
    if (folder.fellBack) {
        out << "The program folder cannot be written; using " << folder.folder << '\n';
        out.flush();
    }
    kestrova::RealPlatform devices(identity.programTitle, folder.folder, line.inputFile, line.headless);
    if (line.headless) {
        devices.events().record(kestrova::EventPriority::Notice,
                                kestrova::headlessStartLine(identity, folder.folder));
    }
    kestrova::Program program(devices.platform(), {folder.folder, line.headless});
    program.startNotice = kestrova::programFolderNotice(folder);
    // A message box still open (one of the start, say) must not keep an ended program
    // alive: quit() alone does not reach a dialog's own event loop.
    program.onEnded = [&devices] {
        devices.dismissDialogs();
        QApplication::quit();
    };
    // Every way the desktop ends the program saves a running recording first. An
    // ended program may still show a box (that another one runs on the folder, say):
    // it is closed, so that the end is not left waiting for an answer.
    auto shutDown = [&program, &devices] {
        if (program.hasEnded()) {
            devices.dismissDialogs();
        } else {
            program.recorder().stopRecorder();
        }
    };
    kestrova::TerminationSignals terminations;
    QObject::connect(&terminations, &kestrova::TerminationSignals::terminationRequested, &app, shutDown);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, shutDown);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, shutDown);
    // A signal that comes while the start runs stops it from switching anything on;
    // the event loop then ends the program.
    program.endRequested = [&terminations] { return terminations.arrived(); };
    // Up before the start, whose messages may wait for an answer.
    // The page shows each recording's hash as its manifest holds it.
    kestrova::ManifestLookup manifests;
    const std::unique_ptr<kestrova::WebServing> web = kestrova::WebServing::startIfAsked(
        program, line.webAddress, folder.folder,
        [&manifests](const QString& path) { return manifests.hashOf(path); });
    program.main();
    if (program.folderInUse()) {
        return 1;
    }
    return program.hasEnded() ? 0 : QApplication::exec();
}
