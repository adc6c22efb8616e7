#include "base/common/ProgramIdentity.h"
#include "base/desktop/ProcessHandOver.h"
#include "base/desktop/QtGermanTexts.h"
#include "base/desktop/SystemClock.h"
#include "base/desktop/TerminationSignals.h"
#include "base/files/OpenFileLimit.h"
#include "base/files/StandardDescriptors.h"
#include "base/program/ConsoleCommands.h"
#include "base/program/FrontEnds.h"
#include "gui/app/Program.h"
#include "gui/app/ProgramWebPage.h"
#include "gui/app/RealPlatform.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    // Before any file is opened: a closed standard error must not lend its number to one.
    kestrova::openClosedStandardDescriptors();
    // The recorder's files and the web page's visitors need more than the usual 1024.
    kestrova::raiseOpenFileLimit();
    const kestrova::CommandLine line =
        kestrova::parseCommandLine(kestrova::commandArguments(argc, argv), kestrova::messageLanguage());
    if (line.headless || line.controlRoom) {
        // A program that has Qt's widgets loaded cannot unload them: the service
        // is a program of its own, which takes over this process.
        const QString failure = kestrova::handOverToSibling(QStringLiteral("kestrova-headless"), argv);
        QTextStream(stderr) << "Kestrova ohne Bildschirm kann nicht starten: " << failure << '\n';
        return 1;
    }
    // Version and help are answered before the windowing system is touched, so
    // they work without a display.
    if (const std::optional<int> code = kestrova::runConsoleCommand(line, argc, argv)) {
        return *code;
    }
    kestrova::readLocalZoneOnce();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrova"));
    QApplication::setQuitOnLastWindowClosed(false);
    const kestrova::QtGermanTexts germanDialogs;
    const kestrova::ProgramFolderChoice folder = kestrova::programFolderFor(line);
    if (folder.fellBack) {
        QTextStream(stdout) << "The program folder cannot be written; using " << folder.folder << '\n';
    }
    const kestrova::ProgramIdentity identity;
    kestrova::RealPlatform devices(identity.programTitle, folder.folder, line.inputFile);
    kestrova::Program program(devices.platform(), {folder.folder});
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
            program.shutDown();
        }
    };
    kestrova::TerminationSignals terminations;
    QObject::connect(&terminations, &kestrova::TerminationSignals::terminationRequested, &app, shutDown);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, shutDown);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, shutDown);
    // A signal that comes while the start runs stops it from switching anything on;
    // the event loop then ends the program.
    program.endRequested = [&terminations] { return terminations.arrived(); };
    // Before anything with an effect beyond this program: a second one on the folder
    // ends here.
    if (!program.takeFolder()) {
        return 1;
    }
    // Up before the start, whose messages may wait for an answer.
    kestrova::FrontEnds frontEnds(program.circuit(), kestrova::webPageSources(program), line.webAddress);
    // After the shutdown above: the recording it saved last is passed on too.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&frontEnds] { frontEnds.finish(); });
    program.start();
    frontEnds.start();
    program.showStartMessages();
    return program.hasEnded() ? 0 : QApplication::exec();
}
