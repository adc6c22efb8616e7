// kestrova-headless: the recorder as a service runs it, on Qt Core alone.
// `kestrova --headless` hands its process over to this program.
#include "base/common/ProgramIdentity.h"
#include "base/desktop/SystemClock.h"
#include "base/desktop/TerminationSignals.h"
#include "base/files/OpenFileLimit.h"
#include "base/files/StandardDescriptors.h"
#include "base/platform/MachineDevices.h"
#include "base/program/ConsoleCommands.h"
#include "base/program/ControlRoomCommand.h"
#include "base/program/FrontEnds.h"
#include "base/program/HeadlessStart.h"
#include "base/program/ServiceProgram.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    kestrova::openClosedStandardDescriptors();
    kestrova::raiseOpenFileLimit();
    const kestrova::CommandLine line =
        kestrova::parseCommandLine(kestrova::commandArguments(argc, argv), kestrova::messageLanguage());
    if (const std::optional<int> code = kestrova::runConsoleCommand(line, argc, argv)) {
        return *code;
    }
    if (line.controlRoom) {
        return kestrova::runControlRoom(line, argc, argv);
    }
    kestrova::readLocalZoneOnce();
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
    const kestrova::ProgramFolderChoice folder = kestrova::programFolderFor(line);
    if (folder.fellBack) {
        QTextStream(stdout) << "The program folder cannot be written; using " << folder.folder << '\n';
    }
    kestrova::MachineDevices devices(folder.folder, line.inputFile, true,
                                     kestrova::MachineDevices::InputListing::AlsaNames);
    devices.events().record(kestrova::EventPriority::Notice,
                            kestrova::headlessStartLine(kestrova::ProgramIdentity{}, folder.folder));
    kestrova::ServiceProgram program(devices.platform(), folder.folder);
    QObject::connect(&program, &kestrova::ServiceProgram::ended, &app, &QCoreApplication::quit);
    // SIGTERM saves a running recording first; so does any other end of the loop.
    kestrova::TerminationSignals terminations;
    QObject::connect(&terminations, &kestrova::TerminationSignals::terminationRequested, &program,
                     [&program] { program.shutDown(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, [&program] { program.shutDown(); });
    // A signal that comes while the start runs stops it from switching anything on.
    program.endRequested = [&terminations] { return terminations.arrived(); };
    // Before anything with an effect beyond this program: a second one on the folder
    // ends here.
    if (!program.takeFolder()) {
        return 1;
    }
    kestrova::FrontEnds frontEnds(program.circuit(), program.circuit().webSources(), line.webAddress);
    // After the program's own end: the recording it saved last is passed on too.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, [&frontEnds] { frontEnds.finish(); });
    if (!program.start()) {
        return 1;
    }
    frontEnds.start();
    if (program.hasEnded()) {
        return 0;
    }
    program.reportReady();
    return QCoreApplication::exec();
}
