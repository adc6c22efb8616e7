#include "gui/app/ProgramWebPage.h"

#include "gui/app/Program.h"

namespace kestrova {

WebSources webPageSources(Program& program) {
    WebSources sources = program.circuit().webSources();
    sources.report = [&program](const QString& message) {
        program.startNotice =
            program.startNotice.isEmpty() ? message : program.startNotice + QStringLiteral(" – ") + message;
    };
    return sources;
}

} // namespace kestrova
