#include "base/program/ControlRoomCommand.h"

#include "base/common/ProgramIdentity.h"
#include "base/desktop/StderrEventLog.h"
#include "base/desktop/SystemClock.h"
#include "base/desktop/TerminationSignals.h"
#include "base/program/ConsoleCommands.h"
#include "base/program/ControlRoomPage.h"

#include <QCoreApplication>
#include <vector>

namespace kestrova {

int runControlRoom(const CommandLine& line, int& argc, char** argv) {
    readLocalZoneOnce();
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
    StderrEventLog events(standardErrorIsJournal() ? EventLineStyle::Journal : EventLineStyle::Terminal);
    const ProgramIdentity identity;
    events.record(EventPriority::Notice,
                  identity.programTitle + QLatin1Char(' ') + identity.versionText +
                      QStringLiteral(" zeigt als Leitstelle %1 Funkkreise").arg(line.circuitFolders.size()));
    std::vector<ControlRoomCircuit> circuits;
    for (const QString& folder : line.circuitFolders) {
        circuits.push_back(readControlRoomCircuit(folder));
    }
    const SystemClock clock;
    ControlRoomPage page(std::move(circuits), clock, events);
    const QString error = page.start(line.webAddress, programFolderFor(line).folder);
    if (!error.isEmpty()) {
        events.record(EventPriority::Error, error);
        return 1;
    }
    const TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::terminationRequested, &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

} // namespace kestrova
