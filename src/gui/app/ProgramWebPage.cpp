#include "gui/app/ProgramWebPage.h"

#include "base/archive/Archive.h"
#include "gui/app/Program.h"
#include "gui/app/Settings.h"

namespace kestrova {

std::unique_ptr<WebServing> startWebPage(Program& program, const QString& address,
                                         const QString& programFolder, HashLookup hash) {
    const WebSources sources{
        .recorder = program.recorder(),
        .list = program.archive().recordingList(),
        .settings = program.settings().values,
        .events = program.platform().events,
        .report =
            [&program](const QString& message) {
                program.startNotice = program.startNotice.isEmpty()
                                          ? message
                                          : program.startNotice + QStringLiteral(" – ") + message;
            },
    };
    return WebServing::startIfAsked(sources, address, programFolder, std::move(hash));
}

} // namespace kestrova
