#pragma once

#include <QString>

namespace kestrova {

struct ProgramOptions {
    // Holds Kestrova.ini, the W folder, rx.wav and the help; also the folder in
    // which captures are saved and the schedule file KV.DAT is looked for.
    QString programFolder;
};

} // namespace kestrova
